// The command line as a face: refusals and exit statuses, the summaries, the settings it
// reads, and what a careless or hostile user can point it at. What the written files
// hold is pinned in CliOutputsTest.
#include "core/generate/TheaterLock.h"
#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "tests/features/E00Text.h"
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

// Every refusal exits with its status, says why in the program's words (GDAL printing
// nothing of its own) and writes nothing. GDAL is kept off pipes hidden behind its
// formats, where it would wait for a writer for ever; a file a run reads, given as one
// of its outputs, is refused before anything is written.
TEST(Cli, RefusedCommandLinesExitWithTheirStatusSayWhyAndWriteNothing) {
    test::TempDir dir, out;
    const std::string fifo = dir.Path("pipe.tif"), pipe = dir.Path("pipe.csv"), none = dir.Path("none");
    const std::string hdr = dir.Path("d.hdr"), t = dir.Path("t.l2"), coast = test::SampleDir() + "/coast";
    const std::string gen = "generate " + SamplePath() + " " + t, pre = "preview " + SamplePath() + " ";
    const std::string vector = "generate " + SamplePath() + " " + out.Path("t.l2") + " --builtin-rules --vector ";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    test::WriteFile(dir.Path("bad.pal"), "JASC-PAL\n0100\n16\n");
    test::WriteFile(dir.Path("empty.ini"), "[Other]\nx=1\n");
    test::WriteFile(dir.Path("none.txt"), "# nothing\n");
    test::DemSpec flat;
    flat.left = flat.right = flat.upper = flat.lower = 5;
    const std::string flatDem = test::WriteDem(dir, "flat", flat);
    test::WriteFile(dir.Path("r.vrt"),
                    "<VRTDataset rasterXSize=\"10\" rasterYSize=\"10\"><SRS>EPSG:4326</SRS><GeoTransform>0, 0.1, 0, 1, 0,"
                    " -0.1</GeoTransform><VRTRasterBand dataType=\"Int16\" band=\"1\"><SimpleSource><SourceFilename "
                    "relativeToVRT=\"1\">pipe.tif</SourceFilename><SourceBand>1</SourceBand></SimpleSource>"
                    "</VRTRasterBand></VRTDataset>");
    test::WriteFile(dir.Path("v.vrt"), "<OGRVRTDataSource><OGRVRTLayer name=\"pipe\"><SrcDataSource relativeToVRT=\"1\">"
                                       "pipe.csv</SrcDataSource><GeometryType>wkbPoint</GeometryType><GeometryField "
                                       "encoding=\"PointFromColumns\" x=\"x\" y=\"y\"/></OGRVRTLayer></OGRVRTDataSource>");
    test::WriteFile(dir.Path("nan.vrt"), "<VRTDataset rasterXSize=\"10\" rasterYSize=\"10\"><SRS>EPSG:4326</SRS><Geo"
                                         "Transform>nan, 0.1, 0, 1, 0, -0.1</GeoTransform><VRTRasterBand dataType="
                                         "\"Int16\" band=\"1\"/></VRTDataset>");
    test::WriteFile(dir.Path("self.vrt"), "<OGRVRTDataSource><OGRVRTLayer name=\"self\"><SrcDataSource relativeToVRT="
                                          "\"1\">self.vrt</SrcDataSource></OGRVRTLayer></OGRVRTDataSource>");
    std::filesystem::copy_file(coast + ".hdr", dir.Path("t.l2.hdr"));
    std::filesystem::copy_file(coast + ".bin", dir.Path("t.l2.bin"));
    std::filesystem::copy_file(coast + ".pal", dir.Path("t.map"));
    test::WriteFile(dir.Path("t.txt"), "EXP  0 t.e00\nEOS\n");
    test::WriteFile(dir.Path("t.mea"), "{\"type\": \"FeatureCollection\", \"features\": []}");
    test::WriteFile(dir.Path("t-obj.csv"), "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"x.e00,ff,RIVER,,,,,0\"\n");
    test::WriteFile(dir.Path("t-RIVER.tdf"), "Type Town\n");
    struct Case {
        std::string args;
        int status;
        std::string says;
        std::string env = "";
    };
    const Case cases[] = {
        {"--version", 0, "gridwright-cli "},
        {"", 2, "subcommand"},
        {"frobnicate x", 2, "unknown command \"frobnicate\""},
        {"import", 2, "import-dem and inspect"},
        {"info", 2, "DEM.hdr is required"},
        {gen + " --bogus", 2, "--bogus"},
        {gen + " --obr r.obr", 2, "--obr requires --objectives"},
        {gen + " --e00 a.e00 b.e00", 2, "--e00 takes one file; repeat it for more"},
        {gen + " --vector a.shp b.shp", 2, "--vector takes one layer"},
        {gen + " --vector =RIVER", 2, "the file is empty in \"=RIVER\""},
        {pre + out.Path("p.png") + " --vector a.shp=", 2, "the rule after '=' is empty"},
        {gen + " --unit parsecs", 2, "parsecs"},
        {gen + " --center 95,10", 2, "within 90 degrees"},
        {gen + " --center 89,10", 2, "pass a pole"},
        {gen + " --center 45", 2, "--center takes LAT,LON"},
        {gen + " --segments 0", 2, "segments must be from 1"},
        {gen + " --resolution 0", 2, "resolution must be above 0"},
        {gen + " --rules a.ini --builtin-rules", 2, "excludes"},
        {gen + " --objectives", 2, "SOURCE_DATE_EPOCH must be a whole number", "SOURCE_DATE_EPOCH=soon"},
        {"generate " + SamplePath() + " " + dir.Path("a.ter"), 2, "must contain \".l2\""},
        {"generate " + none + ".hdr " + t, 1, none + ".hdr"},
        {"generate " + SamplePath() + " " + dir.Path("no/such/a.l2"), 1, dir.Path("no/such/a.l2")},
        {gen + " --map " + none + ".pal", 1, none + ".pal"},
        {gen + " --map " + dir.Path("bad.pal"), 1, "bad.pal: the number of colours is not 256"},
        {gen + " --map " + fifo, 1, "not a regular file"},
        {gen + " --e00 " + none + ".e00", 1, none + ".e00"},
        {gen + " --objectives --obr " + none + ".obr", 1, none + ".obr"},
        {gen + " --rules " + dir.Path("empty.ini"), 1, "holds no E00 rules"},
        {gen + " --vector " + none + ".shp,roads=ROAD", 1, "cannot open " + none + ".shp: No such file or directory"},
        {"e00 " + pipe, 1, pipe + " is a pipe, not a regular file"},
        {"e00 --dem " + none + ".hdr " + pipe, 1, none + ".hdr"},
        {"obr " + none + ".obr", 1, none + ".obr"},
        {"obr " + dir.Path("none.txt"), 0, "holds no objective rule"},
        {"rules --rules " + none + ".ini", 1, none + ".ini"},
        {"vector " + dir.Path("none.txt"), 1, "cannot open " + dir.Path("none.txt") + " as vector data: "},
        {"vector " + dir.Path("v.vrt"), 1, "pipe.csv is a pipe, not a regular file"},
        {vector + dir.Path("v.vrt") + "=RIVER", 1, "pipe.csv is a pipe, not a regular file"},
        {vector + dir.Path("self.vrt") + "=RIVER", 1, "cannot read layer \"self\""},
        {pre + out.Path("p.png") + " --height 12x", 2, "--height takes a whole number"},
        {pre + out.Path("p.png") + " --height 9000", 2, "height must be from 1 to 8192"},
        {"preview " + none + ".hdr " + out.Path("p.png"), 1, "cannot open DEM"},
        {pre + dir.Path("no/such.png"), 1, "cannot create"},
        {"preview " + flatDem + " " + out.Path("p.png"), 1, "no extent"},
        {"import-dem a.tif " + hdr + " --bounds 1,2,3", 2, "--bounds takes WEST,SOUTH,EAST,NORTH in degrees, not \"1,2,3\""},
        {"import-dem a.tif " + hdr + " --bounds 20,35,-6,52", 2, "the bounds 20,35,-6,52 enclose nothing"},
        {"import-dem a.tif " + hdr + " --spacing 1..2", 2, "--spacing takes a number of degrees, not \"1..2\""},
        {"import-dem a.tif " + hdr + " --resampling lanczos", 2,
         "--resampling takes bilinear, average, nearest or cubic, not \"lanczos\""},
        {"import-dem " + hdr, 2, "import-dem takes one or more sources and then OUT.hdr"},
        {"import-dem " + dir.Path("r.vrt") + " " + hdr, 1, "pipe.tif is a pipe, not a regular file"},
        {"import-dem " + dir.Path("nan.vrt") + " " + hdr, 1, "its geotransform does not place it on the globe"},
        {"generate " + dir.Path("t.l2.hdr") + " " + dir.Path("t.l2.hdr"), 2, "t.l2.hdr is the DEM header this run reads"},
        {"generate " + dir.Path("t.l2.hdr") + " " + dir.Path("t.l2.bin"), 2, "t.l2.bin is the DEM raster this run reads"},
        {gen + " --map " + dir.Path("t.map"), 2, "t.map is the palette this run reads"},
        {gen + " --e00 " + dir.Path("t.txt"), 2, "t.txt is an E00 file this run reads"},
        {gen + " --builtin-rules --vector " + dir.Path("t.mea") + "=RIVER", 2, "t.mea is a vector source this run reads"},
        {gen + " --objectives --rules " + dir.Path("t-obj.csv"), 2, "t-obj.csv is the E00 rules file this run reads"},
        {gen + " --objectives --tdf --obr " + dir.Path("t-RIVER.tdf"), 2, "t-RIVER.tdf is the objective rules file this"},
        {"preview " + dir.Path("t.l2.hdr") + " " + dir.Path("t.l2.bin"), 2, "t.l2.bin is the DEM raster this run reads"},
        {pre + dir.Path("t.mea") + " --builtin-rules --vector " + dir.Path("t.mea") + "=RIVER", 2,
         "t.mea is a vector source this run reads"},
    };
    const std::set<std::string> inputs = test::FilesIn(dir.Path(""));
    for (const Case& c : cases) {
        const auto run = RunCli(c.args, c.env + " timeout 20");
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_TRUE(Has(run.err + run.out, c.says)) << c.args << "\n" << run.err;
        EXPECT_FALSE(Has(run.err, "ERROR ")) << c.args << "\nGDAL printed on its own: " << run.err;
    }
    EXPECT_EQ(test::FilesIn(dir.Path("")), inputs) << "nothing may be written";

    // A link at the output that leads to no input is replaced, its target kept.
    std::filesystem::create_symlink(dir.Path("t.txt"), dir.Path("link.png"));
    EXPECT_EQ(RunCli(pre + dir.Path("link.png")).status, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(dir.Path("link.png")));
    EXPECT_EQ(test::ReadFile(dir.Path("t.txt")), "EXP  0 t.e00\nEOS\n");

    const auto full = RunCommand("sh -c '" + test::CliPath() + " info " + SamplePath() + " >/dev/full'");
    EXPECT_EQ(full.status, 1) << "a listing that could not be written is a failure";
    EXPECT_TRUE(Has(full.err, "cannot write standard output")) << full.err;
}

// Pinned listings of the sample: the header, its starting layout and the raster's extremes.
TEST(Cli, InfoListsTheHeaderAndTheStartingLayout) {
    const auto text = RunCli("info " + SamplePath()), json = RunCli("info --json --stats " + SamplePath());
    EXPECT_EQ(Md5Hex(Replaced(text.out, test::SampleDir(), "SAMPLE")), "c6023c03f3eb8041d803dbd34fea2a57")
        << text.out;
    EXPECT_EQ(Md5Hex(Replaced(json.out, test::SampleDir(), "SAMPLE")), "85664656fbfc76078f4924804ce296c3")
        << json.out;
}

// The summary lists every file written with its size, the features and the heights; a
// second run names the files of an earlier one that it did not write.
TEST(Cli, GenerateSummarisesTheRunAsTextOrJson) {
    test::TempDir dir;
    const auto text = RunCli("generate " + SamplePath() + " " + dir.Path("t.l2") + " --segments 8 --quiet");
    const auto json = RunCli("generate " + SamplePath() + " " + dir.Path("j.l2") + " --segments 8 --json");
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
    const auto wide = RunCli("generate " + SamplePath() + " " + dir.Path("t.l2") + " --quiet --no-mea");
    EXPECT_TRUE(Has(wide.err, "% of the theater lies off the DEM")) << wide.err;
    EXPECT_TRUE(Has(wide.err, dir.Path("t.mea") + " is from an earlier run: this run did not write it")) << wide.err;

    const auto upper = RunCli("generate " + SamplePath() + " " + dir.Path("U.L2") + " --segments 4 --quiet");
    EXPECT_EQ(upper.status, 1) << "the description and MEA file were asked for and not written";
    EXPECT_TRUE(test::Exists(dir.Path("U.L2")) && test::Exists(dir.Path("U.o2")));
    EXPECT_FALSE(test::Exists(dir.Path("U.mea")));
}

// The stored rules unless --builtin-rules or --rules says otherwise, as listed and as
// generate uses them; a coverage no rule names is told and left out.
TEST(Cli, TheRulesInEffectAreListedAndDecideTheTdfFiles) {
    test::TempDir dir;
    const std::string rule = "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"dnnet.e00,ff,WATER,,,,,0\"\n";
    const std::string stored = test::ConfigHome() + "/Orvane/Gridwright.conf";
    test::WriteFile(dir.Path("r.ini"), rule);
    for (const char* name : {"DNNET", "PONET"}) {
        test::WriteFile(dir.Path(name), test::LineCoverage(std::string("/X/") + name + ".E00", {{{14, 44}, {14.1, 44.1}}}));
    }
    const std::string generate = "generate " + SamplePath() + " --segments 8 --no-mea --e00 " + dir.Path("DNNET") + " ";
    std::filesystem::create_directories(test::ConfigHome() + "/Orvane");
    test::WriteFile(stored, rule);
    const auto listed = RunCli("rules"), fromStore = RunCli(generate + dir.Path("s.l2"));
    std::filesystem::remove(stored);
    EXPECT_TRUE(Has(listed.out, "count: 1\nrule: dnnet.e00,ff,WATER,")) << listed.out;
    EXPECT_EQ(fromStore.status, 0) << fromStore.err;
    EXPECT_TRUE(test::Exists(dir.Path("s-WATER.tdf")));
    EXPECT_TRUE(Has(RunCli("rules --builtin-rules").out,
                    "source: built-in (--builtin-rules)\ncount: 7\nrule: dnnet.e00,906800,RIVER,"));
    EXPECT_EQ(RunCli(generate + dir.Path("b.l2") + " --builtin-rules").status, 0);
    EXPECT_TRUE(test::Exists(dir.Path("b-RIVER.tdf")));
    EXPECT_EQ(RunCli("rules --json --rules " + dir.Path("r.ini")).out,
              "{\"source\": \"" + dir.Path("r.ini") +
                  "\", \"rules\": [{\"File\": \"dnnet.e00\", \"Colour\": \"0000ff\", \"Keyword\": \"WATER\", "
                  "\"Info\": \"\", \"IndexField\": \"\", \"NameField\": \"\", \"TypeField\": \"\", \"Label\": 0}]}\n");
    const auto file = RunCli(generate + dir.Path("f.l2") + " --rules " + dir.Path("r.ini") + " --e00 " + dir.Path("PONET"));
    EXPECT_EQ(file.status, 1) << "PONET matches no rule of the file";
    EXPECT_TRUE(Has(file.err, "PONET: no E00 rule names its coverage \"PONET.E00\"; the rules know dnnet.e00"))
        << file.err;
    EXPECT_TRUE(test::Exists(dir.Path("f-WATER.tdf")));
}

TEST(Cli, ObjectiveRulesFilesArePrintedAsTheyAreRead) {
    test::TempDir dir;
    test::WriteFile(dir.Path("r.obr"), "BaseId 500\nType Town\nPriority 7\nIds 1, 2\nGenerates Town 1-3\n");
    EXPECT_EQ(RunCli("obr " + dir.Path("r.obr")).out,
              "# r.obr: 1 rules\r\n# Objective rules\r\nBaseId 500\r\nIgnoreNoNames 0\r\n\r\n"
              "Type Town\r\nPriority 7\r\nIds 1, 2\r\nGenerates Town 1-3\r\n");
    EXPECT_TRUE(Has(RunCli("obr --defaults").out, "Type Airport\r\nPriority 40\r\nIds 1779\r\n"));
}

// Runs the program in the background, sends it the signal once a temporary shows in the
// folder, and gives what the run ended with.
test::CommandResult Signalled(const std::string& args, const std::string& folder, const std::string& signal) {
    return RunCommand("timeout 60 sh -c '" + test::CliPath() + " " + args + " & p=$!; until ls -a " + folder +
                      " | grep -q part || ! kill -0 $p 2>/dev/null; do sleep 0.001; done; kill -" + signal +
                      " $p; wait $p'");
}

// Ctrl-C ends an import with 130 and SIGTERM a run with 143, the temporaries removed and
// the earlier files as they were; a second run on the files a run is writing is refused.
TEST(Cli, SignalsEndARunLeavingTheEarlierFilesAndOneRunAtATime) {
    test::TempDir dir, out;
    const std::string source =
        test::WriteGeoTiff(dir.Path("src.tif"), test::TestRaster().Size(1000, 1000).Grid({{0, 0.01, 0, 10, 0, -0.01}}));
    // 400 million posts: far more than can be warped before the interrupt arrives.
    const auto import = Signalled("import-dem " + source + " " + out.Path("d.hdr") + " --spacing 0.0005", out.Path(""), "INT");
    EXPECT_EQ(import.status, 130) << import.err;
    EXPECT_TRUE(Has(import.err, "cancelled")) << import.err;
    EXPECT_TRUE(test::FilesIn(out.Path("")).empty());

    const std::string terrain = out.Path("t.l2"), generate = "generate " + SamplePath() + " " + terrain + " --quiet";
    ASSERT_EQ(RunCli(generate).status, 0);
    const std::set<std::string> files = test::FilesIn(out.Path(""));
    const std::string before = test::ReadFile(terrain), description = test::ReadFile(out.Path("t.txt"));
    const auto ended = Signalled(generate + " --segments 512 --resolution 0.02", out.Path(""), "TERM");
    EXPECT_EQ(ended.status, 143) << ended.err;
    EXPECT_EQ(test::FilesIn(out.Path("")), files) << "no temporary left";
    EXPECT_TRUE(test::ReadFile(terrain) == before) << "the tile file was replaced";
    EXPECT_EQ(test::ReadFile(out.Path("t.txt")), description);

    TheaterLock held;
    ASSERT_TRUE(held.AcquireFile(out.Path("d.hdr")).ok());
    const auto second = RunCli("import-dem " + source + " " + out.Path("d.hdr"));
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(Has(second.err, "another run is writing " + out.Path("d.hdr"))) << second.err;
}

}  // namespace
}  // namespace gw
