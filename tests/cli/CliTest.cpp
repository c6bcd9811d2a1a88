// The command line as a face: refusals and exit statuses, the summaries, the settings it
// reads, and what a careless or hostile user can point it at; then each command run end
// to end on the sample and the real data, its outputs pinned by checksums of what the
// program wrote when they were checked.
#include "core/dem/DemHeader.h"
#include "core/generate/TheaterLock.h"
#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "tests/features/E00Text.h"
#include "tests/gdalio/GeoJson.h"
#include "tests/gdalio/TestRasters.h"

#include <sys/stat.h>

#include <QImage>
#include <QString>


namespace gw {
namespace {

using test::Has;
using test::Md5Hex;
using test::ReadFile;
using test::Replaced;
using test::RunCli;
using test::RunCommand;
using test::SamplePath;
using test::SharedPath;

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
        {gen + " --center 89,10", 2, "pass a pole"},
        {gen + " --center 45", 2, "--center takes LAT,LON"},
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
        {vector + dir.Path("self.vrt") + "=RIVER", 1, "cannot read layer \"self\""},
        {pre + out.Path("p.png") + " --height 12x", 2, "--height takes a whole number"},
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
    };
    const auto inputs = test::Contents(dir.Path(""));
    for (const Case& c : cases) {
        const auto run = RunCli(c.args, c.env + " timeout 20");
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_TRUE(Has(run.err + run.out, c.says)) << c.args << "\n" << run.err;
        EXPECT_FALSE(Has(run.err, "ERROR ")) << c.args << "\nGDAL printed on its own: " << run.err;
    }
    EXPECT_EQ(test::Contents(dir.Path("")), inputs) << "nothing may be written";

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
    const auto listed = RunCli("rules"), builtIn = RunCli("rules --builtin-rules");
    const auto fromStore = RunCli(generate + dir.Path("s.l2"));
    std::filesystem::remove(stored);
    EXPECT_TRUE(Has(listed.out, "count: 1\nrule: dnnet.e00,ff,WATER,")) << listed.out;
    EXPECT_EQ(fromStore.status, 0) << fromStore.err;
    EXPECT_TRUE(test::Exists(dir.Path("s-WATER.tdf")));
    EXPECT_EQ(Md5Hex(builtIn.out), "847fe4495b97057d2a8cf4a2d9610e8d") << "stored rules aside:\n" << builtIn.out;
    EXPECT_EQ(RunCli("rules --json --rules " + dir.Path("r.ini")).out,
              "{\"source\": \"" + dir.Path("r.ini") +
                  "\", \"rules\": [{\"File\": \"dnnet.e00\", \"Colour\": \"0000ff\", \"Keyword\": \"WATER\", "
                  "\"Info\": \"\", \"IndexField\": \"\", \"NameField\": \"\", \"TypeField\": \"\", \"Label\": 0}]}\n");
    const auto file = RunCli(generate + dir.Path("f.l2") + " --rules " + dir.Path("r.ini") + " --e00 " + dir.Path("PONET"));
    EXPECT_EQ(file.status, 1) << "PONET matches no rule of the file";
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
    EXPECT_TRUE(test::Contents(out.Path("")).empty());

    const std::string terrain = out.Path("t.l2"), generate = "generate " + SamplePath() + " " + terrain + " --quiet";
    ASSERT_EQ(RunCli(generate).status, 0);
    const auto files = test::Contents(out.Path(""));
    const auto ended = Signalled(generate + " --segments 512 --resolution 0.02", out.Path(""), "TERM");
    EXPECT_EQ(ended.status, 143) << ended.err;
    EXPECT_TRUE(test::Contents(out.Path("")) == files) << "a temporary left, or an earlier file replaced";

    TheaterLock held;
    ASSERT_TRUE(held.AcquireFile(out.Path("d.hdr")).ok());
    const auto second = RunCli("import-dem " + source + " " + out.Path("d.hdr"));
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(Has(second.err, "another run is writing " + out.Path("d.hdr"))) << second.err;
}

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

TEST(CliOutputs, PreviewDrawsTheLayoutAndTheFeatures) {
    test::TempDir dir;
    const std::vector<std::vector<std::pair<double, double>>> rivers = {{{11, 42}, {15.5, 44.25}, {17, 46.5}}};
    test::WriteFile(dir.Path("rivers.e00"), test::LineCoverage("/X/DNNET.E00", rivers));
    test::WriteFile(dir.Path("rivers.geojson"), test::Lines(rivers));
    const std::string sample = SamplePath(), png = " " + dir.Path("p.png") + " ";
    std::vector<std::pair<std::string, std::string>> cases = {
        {sample + png + "--segments 32", "400x300 9d201c7281d22abeb3fd10476d9d9ed1"},
        {sample + png + "--no-outline --no-features", "400x300 27052dea3348517666b0ae0704a41e4a"},
        {sample + png + "--height 151 --no-outline", "201x151 333c79a6155472fedb7bf74015e704f0"},
        {sample + png + "--builtin-rules --height 100 --e00 " + dir.Path("rivers.e00"), "133x100 a1f70ce31eb89700ec38a3c9ffc4a508"},
        {sample + png + "--builtin-rules --height 100 --vector " + dir.Path("rivers.geojson") + "=0", "133x100 a1f70ce31eb89700ec38a3c9ffc4a508"},
    };
    if (!test::SharedDataDir().empty()) {
        cases.push_back({SharedPath("dem/fr_it_etopo2.hdr") + png + "--builtin-rules --e00 " +
                             SharedPath("e00/dcw/dnnet.e00") + " --e00 " + SharedPath("e00/dcw/aepoint.e00"),
                         "400x261 858c6f1ea10788745b3947385792b5eb"});
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
    test::WriteFile(dir.Path("dnnet.geojson"), test::Lines({{{11, 42}, {12, 43.5}}, {{20, 42}, {21, 43}}}));
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
    test::WriteFile(odd, test::Lines({{{14, 44}}}));
    test::WriteFile(dir.Path("rivers.e00"), test::LineCoverage("/X/DNNET.E00", {{{14, 44}, {14.1, 44.1}}}));
    test::WriteFile(dir.Path("dnnet.geojson"), test::Lines({{{14, 44}, {14.1, 44.1}, {14.2, 44.2}}}));
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

// Real coverages on a real DEM: the TDF files and the objectives written from them.
// Loading the same features from other formats is VectorSourceTest's.
TEST(CliOutputs, E00FilesGiveTheKnownTdfAndObjectivesFiles) {
    SKIP_WITHOUT_SHARED_DATA();
    test::TempDir dir;
    std::string e00;
    for (const char* name : {"dnnet", "ponet", "pppoint", "aepoint"})
        e00 += " --e00 " + SharedPath("e00/dcw/") + name + ".e00";
    const auto run = RunCli("generate " + SharedPath("dem/fr_it_etopo2.hdr ") + dir.Path("e.l2") +
                                " --builtin-rules --no-mea --no-description --objectives" + e00,
                            "TZ=UTC SOURCE_DATE_EPOCH=86400");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "(PPPOINT.E00): 899 features")) << run.out;
    EXPECT_TRUE(Has(run.out, "objectives: 615\n")) << run.out;
    EXPECT_EQ(Digests(dir.Path("e-"), {"RIVER.tdf", "COAST.tdf", "AIRPORT.tdf", "LABEL.tdf", "obj.csv"}),
              "338648c4b16decea05a0826c35b1cd39 251a4adf9760113c4b0db7d4635b1c80 3c797ef0a7eb826e5062e4e4cd09e19c "
              "1c5adffd47745c386fe69cca8b23fe22 ed1b0e7f1e3b753782e8a61818ea25df");
    const auto noTdf = RunCli("generate " + SharedPath("dem/fr_it_etopo2.hdr ") + dir.Path("g.l2") +
                              " --no-tdf --e00 " + SharedPath("e00/dcw/dnnet.e00"));
    EXPECT_EQ(noTdf.status, 0);
    EXPECT_FALSE(test::Exists(dir.Path("g-RIVER.tdf")));
}

DemHeader ReadHeader(const std::string& path) {
    DemHeader header;
    EXPECT_TRUE(ReadDemHeader(path, header).ok()) << path;
    return header;
}

// The window of a DEM's posts from column c and row r (north row first) as a GeoTIFF in
// WGS 84, its cells between the header's outer edges; -32768 is no data.
std::string ToGeoTiff(const std::string& headerPath, const std::string& path, int c = 0, int r = 0, int columns = 0,
                      int rows = 0) {
    const DemHeader h = ReadHeader(headerPath);
    const double width = (h.right_map_x - h.left_map_x) / h.number_of_columns;
    const double height = (h.upper_map_y - h.lower_map_y) / h.number_of_rows;
    columns = columns ? columns : h.number_of_columns, rows = rows ? rows : h.number_of_rows;
    const std::vector<std::int16_t> posts = test::ReadPosts(RasterPathFor(headerPath));
    std::vector<double> window;
    for (int y = r; y < r + rows; ++y) {
        for (int x = c; x < c + columns; ++x) window.push_back(posts[std::size_t(y) * h.number_of_columns + x]);
    }
    return test::WriteGeoTiff(path, test::TestRaster().Size(columns, rows).Values(window).NoData(-32768).Grid(
                                        {{h.left_map_x + c * width, width, 0, h.upper_map_y - r * height, 0, -height}}));
}

// The real DEMs as GeoTIFFs come back post for post, under the headers they had.
TEST(ImportDemCommand, TheSameGridComesBackPostForPostWithTheSameHeaderFigures) {
    SKIP_WITHOUT_SHARED_DATA();
    for (const auto& [name, digest] : {std::pair{"fr_it_etopo2", "3a148fc069046bf75ef75d0472942ab8"},
                                        {"benelux_gtopo30", "018f69ee461033529813d6037b79c7b5"}}) {
        test::TempDir dir;
        const std::string dem = SharedPath("dem/" + std::string(name) + ".hdr");
        const auto run = RunCli("import-dem " + ToGeoTiff(dem, dir.Path("in.tif")) + " " + dir.Path("back.hdr") +
                                " --title '" + ReadHeader(dem).file_title + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(ReadFile(dir.Path("back.bin")) == ReadFile(RasterPathFor(dem))) << name;
        EXPECT_EQ(Md5Hex(ReadFile(dir.Path("back.hdr"))), digest) << ReadFile(dir.Path("back.hdr"));
        EXPECT_TRUE(Has(run.out, "wrote " + dir.Path("back.bin") + " (")) << run.out;
    }
}

// Two overlapping windows of a real DEM warped cubic onto a coarser grid give their known
// posts, the later winning, the posts along each one's edge included.
TEST(ImportDemCommand, OverlappingSourcesGiveTheKnownMosaic) {
    SKIP_WITHOUT_SHARED_DATA();
    test::TempDir dir;
    const std::string dem = SharedPath("dem/fr_it_etopo2.hdr");
    const auto run = RunCli("import-dem " + ToGeoTiff(dem, dir.Path("a.tif"), 100, 100, 200, 150) + " " +
                            ToGeoTiff(dem, dir.Path("b.tif"), 250, 180, 200, 150) + " " + dir.Path("two.hdr") +
                            " --spacing 0.07 --resampling cubic --title t");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Md5Hex(ReadFile(dir.Path("two.bin"))), "36d30ccb5fefc13bd16dc3a14a9571f3");
}

}  // namespace
}  // namespace gw
