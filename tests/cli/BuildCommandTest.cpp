// Theater projects end to end: a generate run saved as a project, built again from it
// and from a copy of its folder moved elsewhere.
#include "tests/TestSupport.h"
#include "tests/features/E00Text.h"
#include "tests/gdalio/GeoJson.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gw {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

// What a command printed, without the line that says the project was saved.
std::string WithoutSavedLine(std::string out) {
    const std::size_t saved = out.find("saved the theater project ");
    return saved == std::string::npos ? out : out.erase(saved, out.find('\n', saved) + 1 - saved);
}

TEST(BuildCommand, BuildsTheFilesOfTheRunItWasSavedFrom) {
    test::TempDir dir;
    const std::string p = dir.Path("p/");
    for (const char* folder : {"p/data", "p/out", "o", "n"}) fs::create_directories(dir.Path(folder));
    for (const char* file : {"coast.hdr", "coast.bin", "coast.pal"}) fs::copy(test::SampleDir() + "/" + file, p + "data");
    test::WriteFile(p + "data/rivers.e00", test::LineCoverage("/X/DNNET.E00", {{{14, 44}, {14.1, 44.1}}}));
    test::WriteFile(p + "data/towns.geojson",
                    test::Collection(test::Feature(R"({"type": "Point", "coordinates": [14.05, 43.95]})",
                                                   R"({"name": "Town"})")));
    test::WriteFile(p + "data/r.obr", "Type Airport\r\nPriority 3\r\nIds 7\r\n");
    const std::string env = "SOURCE_DATE_EPOCH=86400";
    const auto generate = RunCli("generate " + p + "data/coast.hdr " + p + "out/t.l2 --segments 8,4 --unit km "
                                 "--resolution 0.3 --center 44.01,14.02 --large --map " + p + "data/coast.pal --e00 " +
                                 p + "data/rivers.e00 --vector " + p + "data/towns.geojson,towns=AIRPORT --builtin-rules "
                                 "--no-mea --objectives --obr " + p + "data/r.obr --save-theater " + p + "t.gwtheater",
                                 env);
    ASSERT_EQ(generate.status, 0) << generate.err;
    const auto written = test::Contents(p + "out");
    EXPECT_EQ(written.size(), 7u) << "tile, index, description, MAP, two TDF and the objectives files";

    for (const auto& [name, bytes] : written) fs::remove(p + "out/" + name);
    const auto build = RunCli("build " + p + "t.gwtheater", env);
    EXPECT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out, WithoutSavedLine(generate.out));
    EXPECT_EQ(build.err, generate.err);
    EXPECT_EQ(test::Contents(p + "out"), written);

    fs::rename(dir.Path("p"), dir.Path("moved"));
    const auto moved = RunCli("build " + dir.Path("moved/t.gwtheater") + " --quiet --output " + dir.Path("o/t.l2"), env);
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_EQ(test::Contents(dir.Path("o")), written);

    fs::remove(dir.Path("moved/data/towns.geojson"));
    const auto missing = RunCli("build " + dir.Path("moved/t.gwtheater") + " --output " + dir.Path("n/t.l2"), env);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(test::Has(missing.err, "t.gwtheater line 20: the layer " + dir.Path("moved/data/towns.geojson")))
        << missing.err;
    EXPECT_TRUE(fs::is_empty(dir.Path("n")));
}

}  // namespace
}  // namespace gw
