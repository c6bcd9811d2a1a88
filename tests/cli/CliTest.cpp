// The command line as a face: refusals and exit statuses, the summaries, the settings it
// reads. What the written files hold is pinned in CliOutputsTest.
#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "tests/gdalio/TestRasters.h"

#include <sys/stat.h>

namespace gw {
namespace {

using test::Has;
using test::Md5Hex;
using test::Replaced;
using test::RunCli;
using test::RunCommand;
using test::SamplePath;

TEST(Cli, RefusedCommandLinesExitWithTheirStatusSayWhyAndWriteNothing) {
    test::TempDir dir;
    const std::string fifo = dir.Path("pipe"), none = dir.Path("none"), hdr = dir.Path("d.hdr");
    const std::string gen = "generate " + SamplePath() + " " + dir.Path("t.l2");
    const std::string pre = "preview " + SamplePath() + " " + dir.Path("p.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test::WriteFile(dir.Path("bad.pal"), "JASC-PAL\n0100\n16\n");
    test::WriteFile(dir.Path("empty.ini"), "[Other]\nx=1\n");
    test::WriteFile(dir.Path("none.txt"), "# nothing\n");
    test::DemSpec flat;
    flat.left = flat.right = flat.upper = flat.lower = 5;
    const std::string flatDem = test::WriteDem(dir, "flat", flat);
    const std::string plain = test::WriteGeoTiff(dir.Path("plain.tif"), test::TestRaster().Srs(""));
    struct Case {
        std::string args;
        int status;
        std::string says;
        std::string env = "";
    };
    const Case cases[] = {
        {"", 2, "subcommand"},
        {"frobnicate x", 2, "unknown command \"frobnicate\""},
        {"import", 2, "preview and import-dem"},
        {"info", 2, "DEM.hdr is required"},
        {gen + " --bogus", 2, "--bogus"},
        {gen + " --obr r.obr", 2, "--obr requires --objectives"},
        {gen + " --e00 a.e00 b.e00", 2, "--e00 takes one file; repeat it for more"},
        {gen + " --vector a.shp b.shp", 2, "--vector takes one layer"},
        {gen + " --vector =RIVER", 2, "the file is empty in \"=RIVER\""},
        {pre + " --vector a.shp=", 2, "the rule after '=' is empty"},
        {gen + " --unit parsecs", 2, "parsecs"},
        {gen + " --center 95,10", 2, "within 90 degrees"},
        {gen + " --center 89,10", 2, "pass a pole"},
        {gen + " --center 45", 2, "--center takes LAT,LON"},
        {gen + " --segments 0", 2, "segments must be from 1"},
        {gen + " --resolution 0", 2, "resolution must be above 0"},
        {gen + " --rules a.ini --builtin-rules", 2, "excludes"},
        {gen + " --objectives", 2, "SOURCE_DATE_EPOCH must be a whole number", "SOURCE_DATE_EPOCH=soon"},
        {"generate " + SamplePath() + " " + dir.Path("a.ter"), 2, "must contain \".l2\""},
        {"generate " + none + ".hdr " + dir.Path("t.l2"), 1, none + ".hdr"},
        {"generate " + SamplePath() + " " + dir.Path("no/such/a.l2"), 1, dir.Path("no/such/a.l2")},
        {gen + " --map " + none + ".pal", 1, none + ".pal"},
        {gen + " --map " + dir.Path("bad.pal"), 1, "bad.pal: the number of colours is not 256"},
        {gen + " --map " + fifo, 1, "not a regular file"},
        {gen + " --e00 " + none + ".e00", 1, none + ".e00"},
        {gen + " --objectives --obr " + none + ".obr", 1, none + ".obr"},
        {gen + " --rules " + dir.Path("empty.ini"), 1, "holds no E00 rules"},
        {gen + " --vector " + none + ".shp,roads=ROAD", 1, "cannot open " + none + ".shp: No such file or directory"},
        {"e00 " + fifo, 1, fifo + " is a pipe, not a regular file"},
        {"e00 --dem " + none + ".hdr " + fifo, 1, none + ".hdr"},
        {"obr " + none + ".obr", 1, none + ".obr"},
        {"obr " + dir.Path("none.txt"), 0, "holds no objective rule"},
        {"rules --rules " + none + ".ini", 1, none + ".ini"},
        {"vector " + dir.Path("none.txt"), 1, "cannot open " + dir.Path("none.txt") + " as vector data: "},
        {pre + " --height 12x", 2, "--height takes a whole number"},
        {pre + " --height 9000", 2, "height must be from 1 to 8192"},
        {"preview " + none + ".hdr " + dir.Path("p.png"), 1, "cannot open DEM"},
        {"preview " + SamplePath() + " " + dir.Path("no/such.png"), 1, "cannot create"},
        {"preview " + flatDem + " " + dir.Path("p.png"), 1, "no extent"},
        {"import-dem " + plain + " " + hdr + " --bounds 1,2,3", 2, "--bounds takes WEST,SOUTH,EAST,NORTH in degrees, not \"1,2,3\""},
        {"import-dem " + plain + " " + hdr + " --bounds 20,35,-6,52", 2, "the bounds 20,35,-6,52 enclose nothing"},
        {"import-dem " + plain + " " + hdr + " --spacing 1..2", 2, "--spacing takes a number of degrees, not \"1..2\""},
        {"import-dem " + plain + " " + hdr + " --resampling lanczos", 2,
         "--resampling takes bilinear, average, nearest or cubic, not \"lanczos\""},
        {"import-dem " + hdr, 2, "import-dem takes one or more sources and then OUT.hdr"},
        {"import-dem " + plain + " " + hdr, 1, "plain.tif: it has no coordinate system"},
    };
    const std::set<std::string> inputs = test::FilesIn(dir.Path(""));
    for (const Case& c : cases) {
        const auto run = RunCli(c.args, c.env + " timeout 20");
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_TRUE(Has(run.err, c.says)) << c.args << "\n" << run.err;
    }
    EXPECT_EQ(test::FilesIn(dir.Path("")), inputs) << "nothing may be written";

    const auto version = RunCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("gridwright-cli ", 0), 0u) << version.out;
    const auto full = RunCommand("sh -c '" + test::CliPath() + " info " + SamplePath() + " >/dev/full'");
    EXPECT_EQ(full.status, 1) << "a listing that could not be written is a failure";
    EXPECT_TRUE(Has(full.err, "cannot write standard output")) << full.err;
}

// Pinned listings of the sample: the header, its starting layout and the raster's extremes.
TEST(Cli, InfoListsTheHeaderAndTheStartingLayout) {
    const auto text = RunCli("info " + SamplePath()), json = RunCli("info --json --stats " + SamplePath());
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(Md5Hex(Replaced(text.out, test::SampleDir(), "SAMPLE")), "c6023c03f3eb8041d803dbd34fea2a57")
        << text.out;
    EXPECT_EQ(Md5Hex(Replaced(json.out, test::SampleDir(), "SAMPLE")), "85664656fbfc76078f4924804ce296c3")
        << json.out;
}

// The summary lists every file written with its size, the features and the heights.
TEST(Cli, GenerateSummarisesTheRunAsTextOrJson) {
    test::TempDir dir;
    const auto text = RunCli("generate " + SamplePath() + " " + dir.Path("t.l2") + " --segments 8 --quiet");
    const auto json = RunCli("generate " + SamplePath() + " " + dir.Path("j.l2") + " --segments 8 --json");
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(Replaced(text.out, dir.Path(""), "DIR/"), 
              "wrote DIR/t.l2 (75264 bytes)\nwrote DIR/t.o2 (256 bytes)\nwrote DIR/t.txt (387 bytes)\n"
              "wrote DIR/t.mea (512 bytes)\nlowest point: 0 ft\nhighest point: 1633 ft\n");
    EXPECT_EQ(Replaced(json.out, dir.Path(""), "DIR/"), 
              R"({"status": 0, "files": [{"job": "L2", "path": "DIR/j.l2", "bytes": 75264, "outcome": "written"}, )"
              R"({"job": "L2", "path": "DIR/j.o2", "bytes": 256, "outcome": "written"}, {"job": "TXT", "path": )"
              R"("DIR/j.txt", "bytes": 387, "outcome": "written"}, {"job": "MEA", "path": "DIR/j.mea", "bytes": 512, )"
              R"("outcome": "written"}], "e00": [], "vector": [], "features": {}, "earlier_files": [], )"
              R"("lowest_point_ft": 0, "highest_point_ft": 1633})" "\n");
    EXPECT_FALSE(Has(json.err, "off the DEM")) << "an 8-segment theater lies on the sample DEM";
    const auto wide = RunCli("generate " + SamplePath() + " " + dir.Path("w.l2") + " --quiet --no-mea");
    EXPECT_TRUE(Has(wide.err, "% of the theater lies off the DEM")) << wide.err;

    const auto upper = RunCli("generate " + SamplePath() + " " + dir.Path("U.L2") + " --segments 4 --quiet");
    EXPECT_EQ(upper.status, 1) << "the description and MEA file were asked for and not written";
    EXPECT_TRUE(test::Exists(dir.Path("U.L2")) && test::Exists(dir.Path("U.o2")));
    EXPECT_FALSE(test::Exists(dir.Path("U.mea")));
}

TEST(Cli, RulesComeFromTheStoreABuiltInTableOrAFile) {
    test::TempDir dir;
    const std::string rule = "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"dnnet.e00,ff,WATER,,,,,0\"\n";
    test::WriteFile(dir.Path("r.ini"), rule);
    EXPECT_TRUE(Has(RunCli("rules --builtin-rules").out,
                    "source: built-in (--builtin-rules)\ncount: 7\nrule: dnnet.e00,906800,RIVER,"));
    EXPECT_EQ(RunCli("rules --json --rules " + dir.Path("r.ini")).out,
              "{\"source\": \"" + dir.Path("r.ini") +
                  "\", \"rules\": [{\"File\": \"dnnet.e00\", \"Colour\": \"0000ff\", \"Keyword\": \"WATER\", "
                  "\"Info\": \"\", \"IndexField\": \"\", \"NameField\": \"\", \"TypeField\": \"\", \"Label\": 0}]}\n");
    std::filesystem::create_directories(test::ConfigHome() + "/Orvane");
    test::WriteFile(test::ConfigHome() + "/Orvane/Gridwright.conf", rule);
    const auto stored = RunCli("rules");
    std::filesystem::remove(test::ConfigHome() + "/Orvane/Gridwright.conf");
    EXPECT_TRUE(Has(stored.out, "count: 1\nrule: dnnet.e00,ff,WATER,")) << stored.out;
}

TEST(Cli, ObjectiveRulesFilesArePrintedAsTheyAreRead) {
    test::TempDir dir;
    test::WriteFile(dir.Path("r.obr"), "BaseId 500\nType Town\nPriority 7\nIds 1, 2\nGenerates Town 1-3\n");
    EXPECT_EQ(RunCli("obr " + dir.Path("r.obr")).out,
              "# r.obr: 1 rules\r\n# Objective rules\r\nBaseId 500\r\nIgnoreNoNames 0\r\n\r\n"
              "Type Town\r\nPriority 7\r\nIds 1, 2\r\nGenerates Town 1-3\r\n");
    const auto defaults = RunCli("obr --defaults");
    EXPECT_TRUE(Has(defaults.out, "Type Airport\r\nPriority 40\r\nIds 1779\r\n"));
    test::WriteFile(dir.Path("d.obr"), defaults.out);
    const auto reread = RunCli("obr " + dir.Path("d.obr"));
    EXPECT_EQ(reread.out.substr(reread.out.find('\n')), defaults.out.substr(defaults.out.find('\n')))
        << "the defaults as printed read back as the same rules";
}

TEST(Cli, CtrlCEndsAnImportWith130AndLeavesNothingBehind) {
    test::TempDir dir, out;
    const std::string source =
        test::WriteGeoTiff(dir.Path("src.tif"), test::TestRaster().Size(1000, 1000).Grid({{0, 0.01, 0, 10, 0, -0.01}}));
    // 400 million posts: far more than can be warped before the interrupt arrives.
    const auto run = RunCommand("timeout 60 sh -c '" + test::CliPath() + " import-dem " + source + " " +
                                out.Path("d.hdr") + " --spacing 0.0005 & p=$!; until ls -a " + out.Path("") +
                                " | grep -q part || ! kill -0 $p 2>/dev/null; do sleep 0.01; done; kill -INT $p; wait $p'");
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_TRUE(Has(run.err, "cancelled")) << run.err;
    EXPECT_TRUE(test::FilesIn(out.Path("")).empty());
}

}  // namespace
}  // namespace gw
