// Each command run end to end on the sample and the real data, its outputs pinned by
// checksums of what the program wrote when they were checked.
#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "tests/features/E00Text.h"

#include <QImage>
#include <QString>

#include <sstream>

namespace gw {
namespace {

using test::Has;
using test::Md5Hex;
using test::ReadFile;
using test::RunCli;
using test::SamplePath;
using test::SharedPath;

// The checksums of the files NAME followed by each ending, in order.
std::string Digests(const std::string& name, std::initializer_list<const char*> endings) {
    std::string digests;
    for (const char* ending : endings) {
        if (!digests.empty()) digests += ' ';
        digests += Md5Hex(ReadFile(name + ending));
    }
    return digests;
}

// The checksum of a PNG's pixels, row by row as RGB, and its size.
std::string PixelDigest(const std::string& path) {
    const QImage image = QImage(QString::fromStdString(path), "PNG").convertToFormat(QImage::Format_RGB888);
    std::string bytes;
    for (int y = 0; y < image.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), std::size_t(image.width()) * 3);
    }
    return std::to_string(image.width()) + "x" + std::to_string(image.height()) + " " + Md5Hex(bytes);
}

// Any change to the bytes of the terrain, index, MEA, description or palette files shows here.
TEST(CliOutputs, GenerateWritesTheKnownFilesOfTheSampleAndTheRealDems) {
    test::TempDir dir;
    const auto run = RunCli("generate " + SamplePath() + " " + dir.Path("c.l2") + " --segments 32 --map " +
                            test::SampleDir() + "/coast.pal");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Digests(dir.Path("c"), {".l2", ".o2", ".txt", ".map", ".mea"}),
              "6a8bb7051b2c5e5db24cd4fd65d63abf fde70d3dbbc4ab89d41428a7a818e7a5 3102814d06ce6b95fcf361619e51a575 "
              "ec5d088d2613425341cb8e0f633fec71 e70b0d714256ffde1aed34f6aa5635d1");
    SKIP_WITHOUT_SHARED_DATA();
    const std::tuple<std::string, std::string, std::string> runs[] = {
        {"fr_it_etopo2", "",
         "14dd99a086a00f6c3b29248737358ed7 73a3a3b8fea0b349b6b2dca251cb3d81 200e27ac0b7e24b387c99e9ae5eb0702 "
         "166830807e176c978325556e30096f73"},
        {"benelux_gtopo30", " --segments 40,24 --unit km --resolution 0.2 --center 51.9,6.1",
         "4305fb6e571153db40b3518adfcf5df5 9a5b95945d02e3247de4a999cdbda914 a56d1df445123176a6a80cd9b6001e3d "
         "4ab7dca006e49151ea5e1c2a2d51b462"},
        {"alps_etopo2_feet", " --segments 17 --large --unit ft --resolution 2000",
         "f207588d89e8faf9e3a25897cbd42350 1807335038b17b47e2e7f494abf51552 0784492a9127ce3f934c6c32f4e7f844 "
         "759c6bbdae672addadcbcd4bd0766da3"},
    };
    for (const auto& [name, args, digests] : runs) {
        const auto real = RunCli("generate " + SharedPath("dem/" + name + ".hdr ") + dir.Path(name + ".l2") + args,
                                 "LC_ALL=de_DE.UTF-8");
        ASSERT_EQ(real.status, 0) << name << "\n" << real.err;
        EXPECT_EQ(Digests(dir.Path(name), {".l2", ".o2", ".mea", ".txt"}), digests) << name;
    }
}

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

TEST(CliOutputs, PreviewDrawsTheLayoutAndTheFeatures) {
    test::TempDir dir;
    const std::vector<std::vector<std::pair<double, double>>> rivers = {{{11, 42}, {15.5, 44.25}, {17, 46.5}}};
    test::WriteFile(dir.Path("rivers.e00"), test::LineCoverage("/X/DNNET.E00", rivers));
    test::WriteFile(dir.Path("rivers.geojson"), Lines(rivers));
    const std::string sample = SamplePath(), png = " " + dir.Path("p.png") + " ";
    std::vector<std::pair<std::string, std::string>> cases = {
        {sample + png + "--segments 32", "400x300 9d201c7281d22abeb3fd10476d9d9ed1"},
        {sample + png + "--no-outline --no-features", "400x300 27052dea3348517666b0ae0704a41e4a"},
        {sample + png + "--height 151 --no-outline", "201x151 333c79a6155472fedb7bf74015e704f0"},
        {sample + png + "--segments 16 --center 46,11", "400x300 98f59dc7bc02b0d51708404f9e1090b0"},
        {sample + png + "--builtin-rules --height 100 --e00 " + dir.Path("rivers.e00"), "133x100 a1f70ce31eb89700ec38a3c9ffc4a508"},
        {sample + png + "--builtin-rules --height 100 --vector " + dir.Path("rivers.geojson") + "=0", "133x100 a1f70ce31eb89700ec38a3c9ffc4a508"},
    };
    if (!test::SharedDataDir().empty()) {
        const std::string fr = SharedPath("dem/fr_it_etopo2.hdr") + png + "--builtin-rules --e00 " +
                               SharedPath("e00/dcw/dnnet.e00") + " --e00 " + SharedPath("e00/dcw/aepoint.e00");
        cases.push_back({fr, "400x261 858c6f1ea10788745b3947385792b5eb"});
        cases.push_back({fr + " --no-features", "400x261 476a79281a410503f03b73528a393f1a"});
    }
    for (const auto& [args, digest] : cases) {
        const auto run = RunCli("preview " + args);
        ASSERT_EQ(run.status, 0) << args << "\n" << run.err;
        EXPECT_TRUE(Has(run.out, "wrote " + dir.Path("p.png") + " (")) << run.out;
        EXPECT_EQ(PixelDigest(dir.Path("p.png")), digest) << args;
    }
}

TEST(CliOutputs, E00ListsWhatTheReaderHoldsAndWhereABrokenFileStops) {
    SKIP_WITHOUT_SHARED_DATA();
    test::TempDir dir;
    std::string text = test::LineCoverage("/X/DNNET.E00", {{{1.5, 2}, {3, -4}}});
    test::WriteFile(dir.Path("noend.e00"), text.substr(0, text.size() - 4));  // without "EOS\n"
    const std::string dem = " --dem " + SharedPath("dem/fr_it_etopo2.hdr ");
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {SharedPath("e00/testpoint.e00"), 0, "4f9cefd6b7e7b76bf203989255e8817a", ""},
        {"--json " + SharedPath("e00/compressed/compressed_e00conv_none.e00"), 1, "273c23fa29f1e9dad581463c2844047c",
         "line 14: the file ends inside the coordinates of an arc"},
        {dem + SharedPath("e00/dcw/dnnet.e00"), 0, "3c7f898bdb704c3a7f62deafe35e61d2", ""},
        {"--json" + dem + SharedPath("e00/dcw/aepoint.e00"), 0, "d0d7b914bc348840246650d61c942cf3", ""},
        {dir.Path("noend.e00"), 1, "63939142f1772e391a6b10c267c184c6", "line 5: the file ends without its EOS line"},
    };
    for (const auto& [args, status, digest, says] : cases) {
        const auto run = RunCli("e00 " + args);
        EXPECT_EQ(run.status, status) << args << "\n" << run.err;
        const std::string out = test::Replaced(test::Replaced(run.out, test::SharedDataDir(), "DATA"), dir.Path(""), "DIR/");
        EXPECT_EQ(Md5Hex(out), digest) << args << "\n" << out;
        EXPECT_TRUE(Has(run.err, says)) << run.err;
    }
}

TEST(CliOutputs, VectorListsTheLayersWithTheirRules) {
    test::TempDir dir;
    test::WriteFile(dir.Path("dnnet.geojson"), Lines({{{11, 42}, {12, 43.5}}, {{20, 42}, {21, 43}}}));
    EXPECT_EQ(RunCli("vector --builtin-rules " + dir.Path("dnnet.geojson")).out,
              "source: " + dir.Path("dnnet.geojson") +
                  "\nrules: built-in (--builtin-rules)\nlayers: 1\nlayer:\n  name: dnnet\n"
                  "  geometry: Line String\n  features: 2\n  field: id (Integer)\n"
                  "  coordinate_system: WGS 84\n  extent: west 11, south 42, east 21, north 43.5\n"
                  "  rule: 0 dnnet.e00 (RIVER)\n");
    EXPECT_TRUE(Has(RunCli("vector --json --builtin-rules " + dir.Path("dnnet.geojson")).out,
                    R"("layers": [{"name": "dnnet", "geometry": "Line String", "features": 2, )"
                    R"("fields": [{"name": "id", "type": "Integer"}], "coordinate_system": "WGS 84", )"
                    R"("extent": {"west": 11, "south": 42, "east": 21, "north": 43.5}, )"
                    R"("rule": {"index": 0, "File": "dnnet.e00", "Keyword": "RIVER"}}]})"));
}

// Layers and E00 files load in the order given; file names may hold ',' and '='; a layer
// that cannot be loaded is told, and the run goes on without it.
TEST(CliOutputs, GenerateLoadsLayersInCommandLineOrder) {
    test::TempDir dir;
    const std::string odd = dir.Path("a,b=c.geojson");
    test::WriteFile(odd, Lines({{{14, 44}}}));
    test::WriteFile(dir.Path("rivers.e00"), test::LineCoverage("/X/DNNET.E00", {{{14, 44}, {14.1, 44.1}}}));
    test::WriteFile(dir.Path("dnnet.geojson"), Lines({{{14, 44}, {14.1, 44.1}, {14.2, 44.2}}}));
    const auto run = RunCli("generate " + SamplePath() + " " + dir.Path("t.l2") +
                            " --builtin-rules --no-mea --no-description --segments 4 --json --vector " + odd +
                            " --e00 " + dir.Path("rivers.e00") + " --vector " + dir.Path("dnnet.geojson") +
                            "=WATER --vector " + odd + "=RIVER --vector " + odd + ",a,b=c=dnnet.e00");
    EXPECT_EQ(run.status, 1) << "the rule WATER does not exist";
    EXPECT_TRUE(Has(run.err, dir.Path("dnnet.geojson") + ": no E00 rule is named \"WATER\" by its File, its Keyword "
                             "or its position from 0; the rules know dnnet.e00 (RIVER), ponet.e00 (COAST)"));
    EXPECT_TRUE(Has(run.out, R"("vector": [{"path": ")" + odd + R"(", "layer": "a,b=c", "rule": "", "keyword": "", )"
                             R"("loaded": false, "error": "layer \"a,b=c\" of )" + odd +
                             R"(: no E00 rule's File names the layer or the file; name the rule")"))
        << run.out;
    EXPECT_TRUE(Has(run.out, R"({"path": ")" + odd + R"(", "layer": "a,b=c", "rule": "dnnet.e00", "keyword": "RIVER", )"
                             R"("loaded": true, "error": "", "features": 1, "cancelled": false})"));
    EXPECT_EQ(ReadFile(dir.Path("t-RIVER.tdf")), "RIVER 2 32,32 39,43 0\r\nRIVER 1 32,32 0\r\nRIVER 1 32,32 0\r\n")
        << "the E00 file's arc, then the layer named with =RIVER, then the one named with its layer";
}

// Real coverages on a real DEM: the TDF files and the objectives written from them. The
// export files converted by ogr2ogr into the formats theater builders bring give the same
// files. GDAL's E00 reading cuts the blanks that pad a name to its item's width; the
// Shapefile and the GeoPackage declare the width, and the names are padded back, but
// GeoJSON declares none, so only the names' blanks differ.
TEST(CliOutputs, E00FilesAndTheirConversionsGiveTheKnownTdfAndObjectivesFiles) {
    SKIP_WITHOUT_SHARED_DATA();
    test::TempDir dir;
    const std::tuple<std::string, std::string, std::string> coverages[] = {
        {"dnnet", "ARC", "RIVER"}, {"ponet", "ARC", "COAST"}, {"pppoint", "LAB", "LABEL"}, {"aepoint", "LAB", "AIRPORT"}};
    const bool converting = test::RunCommand("command -v ogr2ogr").status == 0;
    std::string e00, geojson, shapefile, geopackage;
    for (const auto& [name, layer, keyword] : coverages) {
        for (const auto& [format, ending] : {std::pair{"GeoJSON", ".geojson"}, {"ESRI Shapefile", ".shp"}, {"GPKG", ".gpkg"}}) {
            ASSERT_TRUE(!converting || test::RunCommand("ogr2ogr -f \"" + std::string(format) + "\" " + dir.Path(name + ending) +
                                                        " " + SharedPath("e00/dcw/" + name + ".e00") + " " + layer).status == 0);
        }
        e00 += " --e00 " + SharedPath("e00/dcw/" + name + ".e00");
        geojson += " --vector " + dir.Path(name + ".geojson");                                 // the rule by file name
        shapefile += " --vector " + dir.Path(name + ".shp") + "=" + keyword;                  // by keyword
        geopackage += " --vector " + dir.Path(name + ".gpkg") + "," + layer + "=" + name + ".e00";  // by File
    }
    const auto generate = [&](const std::string& out, const std::string& sources) {
        return RunCli("generate " + SharedPath("dem/fr_it_etopo2.hdr ") + dir.Path(out + ".l2") +
                          " --builtin-rules --no-mea --no-description --objectives" + sources,
                      "TZ=UTC SOURCE_DATE_EPOCH=86400");
    };
    const auto run = generate("e", e00);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "(PPPOINT.E00): 899 features")) << run.out;
    EXPECT_TRUE(Has(run.out, "objectives: 615\n")) << run.out;
    EXPECT_EQ(Digests(dir.Path("e-"), {"RIVER.tdf", "COAST.tdf", "AIRPORT.tdf", "LABEL.tdf", "obj.csv"}),
              "338648c4b16decea05a0826c35b1cd39 251a4adf9760113c4b0db7d4635b1c80 3c797ef0a7eb826e5062e4e4cd09e19c "
              "1c5adffd47745c386fe69cca8b23fe22 ed1b0e7f1e3b753782e8a61818ea25df");
    const auto noTdf = RunCli("generate " + SharedPath("dem/fr_it_etopo2.hdr ") + dir.Path("g.l2") +
                              " --no-tdf --segments 4 --e00 " + SharedPath("e00/dcw/dnnet.e00"));
    EXPECT_EQ(noTdf.status, 0);
    EXPECT_FALSE(test::Exists(dir.Path("g-RIVER.tdf")));
    if (!converting) GTEST_SKIP() << "no ogr2ogr (gdal-bin)";
    for (const auto& [format, sources] : {std::pair{"geojson", geojson}, {"shp", shapefile}, {"gpkg", geopackage}}) {
        ASSERT_EQ(generate(format, sources).status, 0) << format;
        for (const std::string file : {"-RIVER.tdf", "-COAST.tdf", "-LABEL.tdf", "-AIRPORT.tdf", "-obj.csv"}) {
            std::string expected = ReadFile(dir.Path("e" + file));
            if (format == std::string("geojson") && (file == "-LABEL.tdf" || file == "-AIRPORT.tdf")) {
                for (std::size_t at; (at = expected.find(" \r\n")) != std::string::npos;) expected.erase(at, 1);
            }
            EXPECT_TRUE(ReadFile(dir.Path(format + file)) == expected) << format << file;
        }
    }
}

}  // namespace
}  // namespace gw
