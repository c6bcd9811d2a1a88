#include "tests/TestSupport.h"
#include "tests/features/E00Text.h"

#include <sstream>

namespace gw {
namespace {

using test::ReadFile;
using test::RunCommand;

std::string Cli(const std::string& args) { return test::CliPath() + " " + args; }
std::string Sample() { return test::SampleDir() + "/coast.hdr"; }
// What --segments 4 gives on it: 64 x 64 tiles over 13.6..14.4 E, 43.71..44.29 N.
const std::string kSmallTheater = " --builtin-rules --no-mea --no-description --segments 4";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A GeoJSON file of one line feature per list of (x, y) points, in WGS 84.
std::string Lines(const std::vector<std::vector<std::pair<double, double>>>& lines) {
    std::ostringstream json;
    json << R"({"type": "FeatureCollection", "features": [)";
    for (std::size_t l = 0; l < lines.size(); ++l) {
        json << (l ? "," : "") << R"({"type": "Feature", "properties": {"id": )" << l
             << R"(}, "geometry": {"type": "LineString", "coordinates": [)";
        for (std::size_t p = 0; p < lines[l].size(); ++p) {
            json << (p ? "," : "") << "[" << lines[l][p].first << ", " << lines[l][p].second << "]";
        }
        json << "]}}";
    }
    return json.str() + "]}";
}

TEST(VectorCommand, ListsTheLayersWithTheirRules) {
    test::TempDir dir;
    test::WriteFile(dir.Path("dnnet.geojson"), Lines({{{11, 42}, {12, 43.5}}, {{20, 42}, {21, 43}}}));
    const auto text = RunCommand(Cli("vector --builtin-rules " + dir.Path("dnnet.geojson")));
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "source: " + dir.Path("dnnet.geojson") +
                            "\nrules: built-in (--builtin-rules)\nlayers: 1\nlayer:\n  name: dnnet\n"
                            "  geometry: Line String\n  features: 2\n  field: id (Integer)\n"
                            "  coordinate_system: WGS 84\n  extent: west 11, south 42, east 21, north 43.5\n"
                            "  rule: 0 dnnet.e00 (RIVER)\n");
    const auto json = RunCommand(Cli("vector --json --builtin-rules " + dir.Path("dnnet.geojson")));
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(Has(json.out, R"("layers": [{"name": "dnnet", "geometry": "Line String", "features": 2, )"
                              R"("fields": [{"name": "id", "type": "Integer"}], "coordinate_system": "WGS 84", )"
                              R"("extent": {"west": 11, "south": 42, "east": 21, "north": 43.5}, )"
                              R"("rule": {"index": 0, "File": "dnnet.e00", "Keyword": "RIVER"}}]})"))
        << json.out;

    test::WriteFile(dir.Path("notes.txt"), "not vector data\n");
    const auto refused = RunCommand(Cli("vector " + dir.Path("notes.txt")));
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Has(refused.err, "cannot open " + dir.Path("notes.txt") + " as vector data: ")) << refused.err;
}

// Layers and E00 files load in the order given; file names may hold ',' and '='.
TEST(VectorCommand, GenerateLoadsLayersInCommandLineOrder) {
    test::TempDir dir;
    const std::string odd = dir.Path("a,b=c.geojson");
    test::WriteFile(odd, Lines({{{14, 44}}}));
    test::WriteFile(dir.Path("rivers.e00"), test::LineCoverage("/X/DNNET.E00", {{{14, 44}, {14.1, 44.1}}}));
    test::WriteFile(dir.Path("dnnet.geojson"), Lines({{{14, 44}, {14.1, 44.1}, {14.2, 44.2}}}));
    const std::string vectors[] = {odd, dir.Path("dnnet.geojson") + "=WATER", odd + "=RIVER", odd + ",a,b=c=dnnet.e00"};
    const auto run = RunCommand(Cli("generate " + Sample() + " " + dir.Path("t.l2") + kSmallTheater + " --vector " + vectors[0] +
                                    " --e00 " + dir.Path("rivers.e00") + " --vector " + vectors[1] + " --vector " +
                                    vectors[2] + " --vector " + vectors[3] + " --json"));
    EXPECT_EQ(run.status, 1) << "the rule WATER does not exist";
    EXPECT_TRUE(Has(run.err, dir.Path("dnnet.geojson") + ": no E00 rule is named \"WATER\" by its File, its Keyword "
                             "or its position from 0; the rules know dnnet.e00 (RIVER), ponet.e00 (COAST)"))
        << run.err;
    EXPECT_TRUE(Has(run.out, R"("vector": [{"path": ")" + odd + R"(", "layer": "a,b=c", "rule": "", "keyword": "", )"
                             R"("loaded": false, "error": "layer \"a,b=c\" of )" + odd +
                             R"(: no E00 rule's File names the layer or the file; name the rule")"))
        << run.out;
    EXPECT_TRUE(Has(run.out, R"({"path": ")" + odd + R"(", "layer": "a,b=c", "rule": "dnnet.e00", "keyword": "RIVER", )"
                             R"("loaded": true, "error": "", "features": 1, "cancelled": false})"))
        << run.out;
    EXPECT_EQ(ReadFile(dir.Path("t-RIVER.tdf")), "RIVER 2 32,32 39,43 0\r\nRIVER 1 32,32 0\r\nRIVER 1 32,32 0\r\n")
        << "the E00 file's arc, then the layer named with =RIVER, then the one named with its layer";
}

TEST(VectorCommand, LayersThatCannotBeLoadedAreToldAndTheRunGoesOn) {
    test::TempDir dir;
    test::WriteFile(dir.Path("dnnet.geojson"), Lines({{{14, 44}, {14.1, 44.1}}}));
    test::WriteFile(dir.Path("plain.csv"), "WKT,id\n\"LINESTRING (14 44,14.1 44.1)\",1\n");
    const auto run = RunCommand(Cli("generate " + Sample() + " " + dir.Path("t.l2") + kSmallTheater + " --vector " +
                                    dir.Path("plain.csv") + "=RIVER --vector " + dir.Path("dnnet.geojson") +
                                    ",dnnet=LABEL --vector " + dir.Path("dnnet.geojson")));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "layer \"plain\" of " + dir.Path("plain.csv") + " has no coordinate system")) << run.err;
    EXPECT_TRUE(Has(run.err, "holds lines or polygons, but rule pppoint.e00 (LABEL) takes points")) << run.err;
    EXPECT_TRUE(Has(run.out, "loaded " + dir.Path("dnnet.geojson") + " (layer \"dnnet\" as RIVER): 1 features"));
    EXPECT_EQ(ReadFile(dir.Path("t-RIVER.tdf")), "RIVER 2 32,32 39,43 0\r\n");

    const auto missing = RunCommand(Cli("generate " + Sample() + " " + dir.Path("m.l2") + " --vector " +
                                        dir.Path("none.shp") + ",roads=ROAD"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Has(missing.err, "cannot open " + dir.Path("none.shp") + ": No such file or directory")) << missing.err;
    EXPECT_FALSE(test::Exists(dir.Path("m.l2"))) << "nothing is written";
}

TEST(VectorCommand, PreviewDrawsLayersAsTheSameE00FeaturesWouldBe) {
    test::TempDir dir;
    const std::vector<std::vector<std::pair<double, double>>> rivers = {{{11, 42}, {15.5, 44.25}, {17, 46.5}}};
    test::WriteFile(dir.Path("rivers.e00"), test::LineCoverage("/X/DNNET.E00", rivers));
    test::WriteFile(dir.Path("rivers.geojson"), Lines(rivers));
    const std::string common = " --builtin-rules --height 100 ";
    const auto e00 = RunCommand(Cli("preview " + Sample() + " " + dir.Path("e.png") + common + "--e00 " +
                                    dir.Path("rivers.e00")));
    const auto vector = RunCommand(Cli("preview " + Sample() + " " + dir.Path("v.png") + common + "--vector " +
                                       dir.Path("rivers.geojson") + "=0"));
    const auto none = RunCommand(Cli("preview " + Sample() + " " + dir.Path("n.png") + " --height 100"));
    ASSERT_EQ(e00.status, 0) << e00.err;
    ASSERT_EQ(vector.status, 0) << vector.err;
    EXPECT_EQ(ReadFile(dir.Path("v.png")), ReadFile(dir.Path("e.png")));
    EXPECT_NE(ReadFile(dir.Path("v.png")), ReadFile(dir.Path("n.png")));
}

}  // namespace
}  // namespace gw
