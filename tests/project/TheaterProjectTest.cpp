#include "core/project/TheaterProject.h"
#include "core/features/E00Rules.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>

namespace gw {
namespace {

using Json = nlohmann::ordered_json;

TheaterProject EveryPart(const test::TempDir& dir) {
    TheaterProject p;
    p.dem = dir.Path("data/coast.hdr");
    p.layout = {"Côte \"Nord\"", 40, 24, false, 2, 0.1348576453577105 / 3, 51.9, -6.100000000000001, true};
    p.layers = {{false, dir.Path("data/rivers.e00")}, {true, "/elsewhere/roads.gpkg", "roads", 1}};
    p.rules = BuiltInE00Rules();
    p.heights = {{-5, 0x123456, 7}, {32767, 0xffffffff, 4000000000u}};
    p.objectiveRules = dir.Path("r.obr");
    p.objectiveSettings = {-7, 1};
    p.palette = "/elsewhere/p.pal";
    p.output = dir.Path("out/t.l2");
    p.build = {false, true, true, false, true};
    return p;
}

// A project reads back as it was saved; paths below its folder are stored relative to
// it, others absolute, and relative ones are opened from the folder the project is in.
TEST(TheaterProject, ReadsBackWhatItSaved) {
    test::TempDir dir;
    const TheaterProject project = EveryPart(dir);
    const std::string text = *FormatTheaterProject(project, dir.Path("t.gwtheater"));
    EXPECT_TRUE(test::Has(text, R"("dem": "data/coast.hdr")")) << text;
    EXPECT_TRUE(test::Has(text, R"("vector": "/elsewhere/roads.gpkg")"));
    const StatusOr<TheaterProject> read = ParseTheaterProject(text, dir.Path("t.gwtheater"));
    ASSERT_TRUE(read.ok()) << read.status().message();
    EXPECT_TRUE(*read == project);
    EXPECT_EQ(read->demLine, 3);
    EXPECT_EQ(read->layers[1].line, 20);
    EXPECT_EQ(ParseTheaterProject(text, "t.gwtheater")->dem, "data/coast.hdr");
}

// Each fault is refused, naming the project and the key or line at fault.
TEST(TheaterProject, RefusesBadProjectsNamingTheKey) {
    test::TempDir dir;
    const Json good = Json::parse(*FormatTheaterProject(EveryPart(dir), "t.gwtheater"));
    const std::pair<std::function<void(Json&)>, std::string> cases[] = {
        {[](Json& j) { j = Json::array(); }, "t.gwtheater: the project must be an object, not []"},
        {[](Json& j) { j["version"] = 2; }, "format version 2 by a newer Gridwright; this one reads up to version 1"},
        {[](Json& j) { j.erase("output"); }, "\"output\" is missing"},
        {[](Json& j) { j["layers"][1]["rules"] = 1; }, "\"layers[1].rules\" is no key of a theater project"},
        {[](Json& j) { j["layout"]["segments_x"] = "64"; }, "\"layout.segments_x\" must be a whole number from 1 to 4096, not \"64\""},
        {[](Json& j) { j["layout"]["segments_y"] = 0; }, "\"layout.segments_y\" must be a whole number from 1 to 4096, not 0"},
        {[](Json& j) { j["layout"]["segments_x"] = 4097; }, "not 4097"},
        {[](Json& j) { j["layout"]["square"] = true; }, "\"layout.segments_y\" must be segments_x (40) when square, not 24"},
        {[](Json& j) { j["layout"]["unit"] = "yd"; }, "\"layout.unit\" must be nm, mi, km, ft or m"},
        {[](Json& j) { j["layout"]["resolution_nm"] = 0; }, "\"layout.resolution_nm\" must be a number above 0"},
        {[](Json& j) { j["layout"]["center_lat"] = -90.5; }, "\"layout.center_lat\" must be a latitude from -90 to 90"},
        {[](Json& j) { j["layout"]["large"] = 1; }, "\"layout.large\" must be true or false, not 1"},
        {[](Json& j) { j["e00_rules"][2]["colour"] = "#ff"; }, "\"e00_rules[2].colour\" must be a colour of up to 8"},
        {[](Json& j) { j["e00_rules"] = Json::array(); }, "\"e00_rules\" must hold at least one rule"},
        {[](Json& j) { j["heights"][0]["altitude"] = 32768; }, "\"heights[0].altitude\" must be a whole number from -32768"},
        {[](Json& j) { j["heights"][1]["tile_code"] = -1; }, "\"heights[1].tile_code\""},
        {[](Json& j) { j["layers"][1]["rule"] = 7; }, "\"layers[1].rule\" must be a whole number from 0 to 6"},
        {[](Json& j) { j["palette"] = nullptr; }, "\"build.map\" must be false when no palette is named"},
        {[](Json& j) { j["layers"][0]["vector"] = "x.gpkg"; }, "\"layers[0]\" must name an \"e00\" file or a \"vector\" source, not both"},
        {[](Json& j) { j["layers"] = Json::parse(std::string(65, '[') + std::string(65, ']')); }, "t.gwtheater is no theater project: it nests lists and objects deeper than 64"},
    };
    for (const auto& [spoil, message] : cases) {
        Json bad = good;
        spoil(bad);
        const StatusOr<TheaterProject> read = ParseTheaterProject(bad.dump(1), "t.gwtheater");
        ASSERT_FALSE(read.ok()) << message;
        EXPECT_TRUE(test::Has(read.status().message(), message)) << read.status().message();
    }
    EXPECT_EQ(ParseTheaterProject(R"({"version": 1e999})", "t.gwtheater").status().message(),
              "t.gwtheater is no theater project: number overflow parsing '1e999'");
    EXPECT_TRUE(test::Has(ParseTheaterProject(std::string(100000, '['), "t.gwtheater").status().message(),
                          "deeper than 64"));
    const std::string broken = good.dump(1).substr(0, 200);
    EXPECT_EQ(ParseTheaterProject(broken, "t.gwtheater").status().message(),
              "t.gwtheater is no theater project: it is not JSON (line " +
                  std::to_string(std::count(broken.begin(), broken.end(), '\n') + 1) + ")");
}

// A project whose DEM or layer is not there is refused, naming the path and its line; a
// palette no MAP is built with need not be there.
TEST(TheaterProject, NamesTheMissingFileAndItsLine) {
    test::TempDir dir;
    TheaterProject project = EveryPart(dir);
    project.palette = dir.Path("gone.pal");
    project.objectiveRules.reset();
    project.build.map = false;
    project.layers.pop_back();
    std::filesystem::create_directory(dir.Path("data"));
    test::WriteFile(dir.Path("data/coast.hdr"), "");
    ASSERT_TRUE(SaveTheaterProject(project, dir.Path("t.gwtheater")).ok());
    EXPECT_EQ(LoadTheaterProject(dir.Path("t.gwtheater")).status().message(),
              dir.Path("t.gwtheater") + " line 17: the layer " + dir.Path("data/rivers.e00") + " is not there");
    test::WriteFile(dir.Path("data/rivers.e00"), "");
    EXPECT_TRUE(LoadTheaterProject(dir.Path("t.gwtheater")).ok());
    std::filesystem::remove(dir.Path("data/coast.hdr"));
    EXPECT_TRUE(test::Has(LoadTheaterProject(dir.Path("t.gwtheater")).status().message(),
                          " line 3: the DEM " + dir.Path("data/coast.hdr") + " is not there"));
}

// A title or path that is not UTF-8 cannot stand in a project: the save says so and
// writes nothing.
TEST(TheaterProject, RefusesToSaveTextThatIsNotUtf8) {
    test::TempDir dir;
    TheaterProject project = EveryPart(dir);
    project.layout.title = "C\xf4te";
    const Status saved = SaveTheaterProject(project, dir.Path("t.gwtheater"));
    EXPECT_TRUE(test::Has(saved.message(),
                          dir.Path("t.gwtheater") + ": a theater project holds UTF-8 text only"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("t.gwtheater")));
}

}  // namespace
}  // namespace gw
