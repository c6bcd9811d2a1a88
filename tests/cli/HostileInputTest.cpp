// The command line against what a careless or hostile user can point it at: pipes
// hidden behind GDAL's formats, sources GDAL cannot place, outputs that are inputs,
// a second run on the same files, and a run stopped by a signal.

#include "core/generate/TheaterLock.h"
#include "tests/TestSupport.h"
#include "tests/gdalio/TestRasters.h"

#include <gmock/gmock.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace gw::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Sample() { return SampleDir() + "/coast.hdr"; }

// A raster VRT and an OGR VRT whose sources are FIFOs no one writes: GDAL would wait
// for a writer forever; it is kept off them, and the run ends naming the pipe. A source
// GDAL cannot place or open is its own fault, said in GDAL's words through the program.
TEST(HostileInputTest, GdalSourcesThatCannotBeReadAreRefused) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("pipe.tif").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.Path("pipe.csv").c_str(), 0600), 0);
    WriteFile(dir.Path("r.vrt"),
              "<VRTDataset rasterXSize=\"10\" rasterYSize=\"10\"><SRS>EPSG:4326</SRS>"
              "<GeoTransform>0, 0.1, 0, 1, 0, -0.1</GeoTransform><VRTRasterBand dataType=\"Int16\" band=\"1\">"
              "<SimpleSource><SourceFilename relativeToVRT=\"1\">pipe.tif</SourceFilename>"
              "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>");
    WriteFile(dir.Path("v.vrt"),
              "<OGRVRTDataSource><OGRVRTLayer name=\"pipe\"><SrcDataSource relativeToVRT=\"1\">pipe.csv"
              "</SrcDataSource><GeometryType>wkbPoint</GeometryType>"
              "<GeometryField encoding=\"PointFromColumns\" x=\"x\" y=\"y\"/></OGRVRTLayer></OGRVRTDataSource>");
    WriteFile(dir.Path("nan.vrt"),
              "<VRTDataset rasterXSize=\"10\" rasterYSize=\"10\"><SRS>EPSG:4326</SRS>"
              "<GeoTransform>nan, 0.1, 0, 1, 0, -0.1</GeoTransform><VRTRasterBand dataType=\"Int16\" band=\"1\"/>"
              "</VRTDataset>");
    WriteFile(dir.Path("self.vrt"), "<OGRVRTDataSource><OGRVRTLayer name=\"self\"><SrcDataSource relativeToVRT=\"1\">"
                                    "self.vrt</SrcDataSource></OGRVRTLayer></OGRVRTDataSource>");
    const std::string generate = "generate " + Sample() + " " + dir.Path("t.l2") + " --builtin-rules --quiet --vector ";
    const struct {
        std::string args;
        std::string refusal;
    } cases[] = {
        {"import-dem " + dir.Path("r.vrt") + " " + dir.Path("o.hdr"), "pipe.tif is a pipe, not a regular file"},
        {"vector " + dir.Path("v.vrt"), "pipe.csv is a pipe, not a regular file"},
        {generate + dir.Path("v.vrt") + "=RIVER", "pipe.csv is a pipe, not a regular file"},
        {"import-dem " + dir.Path("nan.vrt") + " " + dir.Path("o.hdr"), "its geotransform does not place it on the globe"},
        {generate + dir.Path("self.vrt") + "=RIVER", "cannot read layer \"self\""},
    };
    for (const auto& c : cases) {
        const CommandResult run = RunCommand("timeout 60 " + CliPath() + " " + c.args);
        EXPECT_EQ(run.status, 1) << c.args;
        EXPECT_THAT(run.err, HasSubstr(c.refusal)) << c.args;
        EXPECT_THAT(run.err, Not(HasSubstr("ERROR "))) << "GDAL printed on its own";
    }
}

// A second run on the files a run is writing is refused at once; files of an earlier
// run that this one does not write are named.
TEST(HostileInputTest, OneRunAtATimeAndEarlierFilesNamed) {
    TempDir dir;
    TheaterLock held;
    ASSERT_TRUE(held.AcquireFile(dir.Path("o.hdr")).ok());
    const std::string tif = WriteGeoTiff(dir.Path("s.tif"), TestRaster().Size(20, 10));
    const CommandResult second = RunCommand(CliPath() + " import-dem " + tif + " " + dir.Path("o.hdr"));
    EXPECT_EQ(second.status, 1);
    EXPECT_THAT(second.err, HasSubstr("another run is writing " + dir.Path("o.hdr")));
    held.Release();

    const std::string generate = CliPath() + " generate " + Sample() + " " + dir.Path("t.l2") + " --builtin-rules";
    ASSERT_EQ(RunCommand(generate + " --quiet --objectives --tdf").status, 0);
    const CommandResult again = RunCommand(generate + " --quiet --no-mea");
    EXPECT_EQ(again.status, 0);
    for (const char* earlier : {"t.mea", "t-obj.csv"}) {
        EXPECT_THAT(again.err, HasSubstr(dir.Path(earlier) + " is from an earlier run: this run did not write it"));
    }
}

// Each file a command reads, given under the name of one of its outputs: refused with
// status 2 before anything is written, the message naming both roles.
TEST(HostileInputTest, AnOutputThatIsAnInputIsRefused) {
    TempDir dir;
    const std::string sample = SampleDir() + "/coast";
    std::filesystem::copy_file(sample + ".hdr", dir.Path("t.l2.hdr"));
    std::filesystem::copy_file(sample + ".bin", dir.Path("t.l2.bin"));
    std::filesystem::copy_file(sample + ".pal", dir.Path("t.map"));
    WriteFile(dir.Path("t.txt"), "EXP  0 t.e00\nEOS\n");
    WriteFile(dir.Path("t.mea"), "{\"type\": \"FeatureCollection\", \"features\": []}");
    WriteFile(dir.Path("t-obj.csv"), "[E00FileRules]\nVersion=2\nCount=1\nRule0=\"x.e00,ff,RIVER,,,,,0\"\n");
    WriteFile(dir.Path("t-RIVER.tdf"), "Type Town\n");
    WriteFile(dir.Path("p.png"), "keep");
    const std::string sampleDem = Sample(), t = dir.Path("t.l2");
    const std::string generate = std::string("generate ") + sampleDem + " " + t + " --builtin-rules";
    const struct {
        std::string args;
        std::string refusal;
    } cases[] = {
        {"generate " + dir.Path("t.l2.hdr") + " " + dir.Path("t.l2.hdr"), "t.l2.hdr is the DEM header"},
        {"generate " + dir.Path("t.l2.hdr") + " " + dir.Path("t.l2.bin"), "t.l2.bin is the DEM raster"},
        {generate + " --map " + dir.Path("t.map"), "t.map is the palette"},
        {generate + " --e00 " + dir.Path("t.txt"), "t.txt is an E00 file"},
        {generate + " --vector " + dir.Path("t.mea") + "=RIVER", "t.mea is a vector source"},
        {std::string("generate ") + sampleDem + " " + t + " --objectives --rules " + dir.Path("t-obj.csv"),
         "t-obj.csv is the E00 rules file"},
        {generate + " --objectives --tdf --obr " + dir.Path("t-RIVER.tdf"),
         "t-RIVER.tdf is the objective rules file"},
        {std::string("preview ") + sampleDem + " " + sample + ".bin", "coast.bin is the DEM raster"},
        {std::string("preview ") + sampleDem + " " + dir.Path("t.mea") + " --builtin-rules --vector " + dir.Path("t.mea") +
             "=RIVER",
         "t.mea is a vector source"},
    };
    for (const auto& c : cases) {
        const CommandResult run = RunCommand(CliPath() + " " + c.args);
        EXPECT_EQ(run.status, 2) << c.args << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.refusal + " this run reads")) << c.args;
    }
    EXPECT_FALSE(Exists(dir.Path("t.o2")));
    EXPECT_EQ(ReadFile(dir.Path("t.l2.hdr")), ReadFile(sample + ".hdr"));

    // A link at the output that leads to no input is replaced, its target kept.
    std::filesystem::create_symlink(dir.Path("p.png"), dir.Path("link.png"));
    EXPECT_EQ(RunCommand(CliPath() + " preview " + sampleDem + " " + dir.Path("link.png")).status, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(dir.Path("link.png")));
    EXPECT_EQ(ReadFile(dir.Path("p.png")), "keep");
}

bool HoldsTemporary(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".part") return true;
    }
    return false;
}

// SIGTERM part way through the tile file: the run ends at once with status 143, its
// temporaries removed and the earlier theater as it was.
TEST(HostileInputTest, SigtermEndsTheRunAndKeepsTheEarlierTheater) {
    TempDir dir;
    const std::string terrain = dir.Path("t.l2");
    ASSERT_EQ(RunCommand(CliPath() + " generate " + Sample() + " " + terrain + " --builtin-rules --quiet").status, 0);
    const std::string before = ReadFile(terrain), description = ReadFile(dir.Path("t.txt"));

    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
        ::execl(CliPath().c_str(), "gridwright-cli", "generate", Sample().c_str(), terrain.c_str(), "--segments",
                "512", "--resolution", "0.02", "--builtin-rules", "--quiet", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!HoldsTemporary(dir.Path("")) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 143);
    EXPECT_FALSE(HoldsTemporary(dir.Path("")));
    EXPECT_TRUE(ReadFile(terrain) == before) << "the tile file was replaced";
    EXPECT_EQ(ReadFile(dir.Path("t.txt")), description);
}

}  // namespace
}  // namespace gw::test
