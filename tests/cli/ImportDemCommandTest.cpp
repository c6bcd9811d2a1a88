#include "tests/TestSupport.h"
#include "core/dem/DemHeader.h"
#include "tests/gdalio/TestRasters.h"
#include "core/util/CNumbers.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

namespace gw {
namespace {

using test::ReadFile;
using test::RunCommand;

std::string Cli(const std::string& args) { return test::CliPath() + " " + args; }

bool HaveGdalTools() {
    return RunCommand("sh -c 'command -v gdal_translate && command -v gdalwarp && command -v gdalinfo'").status == 0;
}

#define SKIP_WITHOUT_GDAL_TOOLS()                                                                   \
    do {                                                                                            \
        SKIP_WITHOUT_SHARED_DATA();                                                                 \
        if (!HaveGdalTools()) GTEST_SKIP() << "no gdal_translate, gdalwarp or gdalinfo (gdal-bin)"; \
    } while (0)

DemHeader ReadHeader(const std::string& path) {
    DemHeader header;
    EXPECT_TRUE(ReadDemHeader(path, header).ok()) << path;
    return header;
}

std::string SharedDem(const std::string& name) { return test::SharedDataDir() + "/dem/" + name + ".hdr"; }

// A VRT that shows GDAL a DEM's raster as its header places it: Int16 little-endian
// posts, north row first, cells between the header's outer edges, WGS 84.
std::string WriteRawVrt(const std::string& headerPath, const std::string& vrtPath) {
    const DemHeader h = ReadHeader(headerPath);
    const double width = (h.right_map_x - h.left_map_x) / h.number_of_columns;
    const double height = (h.upper_map_y - h.lower_map_y) / h.number_of_rows;
    std::ofstream(vrtPath) << "<VRTDataset rasterXSize=\"" << h.number_of_columns << "\" rasterYSize=\""
                           << h.number_of_rows << "\">\n<SRS>EPSG:4326</SRS>\n<GeoTransform>"
                           << FormatShortest(h.left_map_x) << "," << FormatShortest(width) << ",0,"
                           << FormatShortest(h.upper_map_y) << ",0," << FormatShortest(-height)
                           << "</GeoTransform>\n<VRTRasterBand dataType=\"Int16\" band=\"1\" "
                           << "subClass=\"VRTRawRasterBand\">\n<NoDataValue>-32768</NoDataValue>\n"
                           << "<SourceFilename relativeToVRT=\"0\">" << RasterPathFor(headerPath)
                           << "</SourceFilename>\n<ImageOffset>0</ImageOffset><PixelOffset>2</PixelOffset>"
                           << "<LineOffset>" << 2 * h.number_of_columns << "</LineOffset>"
                           << "<ByteOrder>LSB</ByteOrder>\n</VRTRasterBand>\n</VRTDataset>\n";
    return vrtPath;
}

// The DEM as a GeoTIFF, made by gdal_translate.
std::string ToGeoTiff(const test::TempDir& dir, const std::string& headerPath, const std::string& name) {
    const std::string vrt = WriteRawVrt(headerPath, dir.Path(name + ".vrt"));
    const auto run = RunCommand("gdal_translate -q " + vrt + " " + dir.Path(name + ".tif"));
    EXPECT_EQ(run.status, 0) << run.err;
    return dir.Path(name + ".tif");
}

test::CommandResult Import(const std::string& args) { return RunCommand(Cli("import-dem " + args)); }

// The numbers that follow key in gdalinfo's JSON ("key": [a, b] or "key": a).
std::vector<double> JsonNumbers(const std::string& json, const std::string& key, std::size_t count) {
    std::vector<double> numbers;
    std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return numbers;
    at += key.size() + 3;
    while (numbers.size() < count) {
        const std::size_t start = json.find_first_of("-0123456789", at);
        double value = 0;
        const std::size_t used =
            start == std::string::npos ? 0 : ScanCDouble(std::string_view(json).substr(start), value);
        if (used == 0) break;
        numbers.push_back(value);
        at = start + used;
    }
    return numbers;
}

TEST(ImportDemCommand, BadValuesAreUsageErrorsAndWriteNothing) {
    test::TempDir dir;
    const std::string out = dir.Path("out.hdr");
    const std::pair<std::string, std::string> cases[] = {
        {"src.tif " + out + " --bounds 1,2,3", "--bounds takes WEST,SOUTH,EAST,NORTH in degrees, not \"1,2,3\""},
        {"src.tif " + out + " --bounds 1,2,3,4,", "--bounds takes"},
        {"src.tif " + out + " --bounds 1,2,3,x", "--bounds takes"},
        {"src.tif " + out + " --bounds 20,35,-6,52", "the bounds 20,35,-6,52 enclose nothing"},
        {"src.tif " + out + " --spacing 1..2", "--spacing takes a number of degrees, not \"1..2\""},
        {"src.tif " + out + " --spacing -0.5", "the spacing must be a number of degrees above 0"},
        {"src.tif " + out + " --resampling lanczos",
         "--resampling takes bilinear, average, nearest or cubic, not \"lanczos\""},
        {out, "import-dem takes one or more sources and then OUT.hdr"},
        {"src.tif " + dir.Path("out.dem"), "holds \".hdr\""},
    };
    for (const auto& [args, message] : cases) {
        SCOPED_TRACE(args);
        const auto run = Import(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    EXPECT_TRUE(test::FilesIn(dir.Path("")).empty());
    const auto unknown = RunCommand(Cli("import"));
    EXPECT_NE(unknown.err.find("preview and import-dem"), std::string::npos) << unknown.err;
}

TEST(ImportDemCommand, ASourceWithoutACoordinateSystemIsRefusedWithTheReason) {
    test::TempDir dir;
    const std::string source = test::WriteGeoTiff(dir.Path("plain.tif"), test::TestRaster().Srs(""));
    const auto run = Import(source + " " + dir.Path("out.hdr"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("plain.tif: it has no coordinate system"), std::string::npos) << run.err;
    EXPECT_EQ(test::FilesIn(dir.Path("")), std::set<std::string>{"plain.tif"});
}

TEST(ImportDemCommand, TheSameGridComesBackPostForPostWithTheSameHeaderFigures) {
    SKIP_WITHOUT_GDAL_TOOLS();
    for (const std::string name : {"fr_it_etopo2", "benelux_gtopo30"}) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const DemHeader original = ReadHeader(SharedDem(name));
        const std::string tif = ToGeoTiff(dir, SharedDem(name), name);
        const auto run = Import(tif + " " + dir.Path("back.hdr") + " --title '" + original.file_title + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(ReadFile(dir.Path("back.bin")) == ReadFile(RasterPathFor(SharedDem(name))));
        const DemHeader back = ReadHeader(dir.Path("back.hdr"));
        EXPECT_EQ(back.file_title, original.file_title);
        EXPECT_EQ(back.left_map_x, original.left_map_x);
        EXPECT_EQ(back.right_map_x, original.right_map_x);
        EXPECT_EQ(back.upper_map_y, original.upper_map_y);
        EXPECT_EQ(back.lower_map_y, original.lower_map_y);
        EXPECT_EQ(back.number_of_rows, original.number_of_rows);
        EXPECT_EQ(back.number_of_columns, original.number_of_columns);
        EXPECT_NEAR(back.grid_size, original.grid_size, 1e-12);
        EXPECT_EQ(back.elev_m_unit, original.elev_m_unit);
        EXPECT_EQ(back.elev_m_min, original.elev_m_min);
        EXPECT_EQ(back.elev_m_max, original.elev_m_max);
        EXPECT_EQ(back.elev_m_missing_flag, original.elev_m_missing_flag);
        EXPECT_NE(run.out.find("wrote " + dir.Path("back.bin") + " ("), std::string::npos) << run.out;

        // GDAL, shown the written raster through the header's figures, finds the source's
        // posts (the same checksum), the header's extremes and its extent.
        const auto info =
            RunCommand("gdalinfo -json -stats -checksum " + WriteRawVrt(dir.Path("back.hdr"), dir.Path("back.vrt")));
        const auto source = RunCommand("gdalinfo -json -checksum " + tif);
        ASSERT_EQ(info.status, 0) << info.err;
        EXPECT_EQ(JsonNumbers(info.out, "checksum", 1), JsonNumbers(source.out, "checksum", 1));
        EXPECT_EQ(JsonNumbers(info.out, "minimum", 1), std::vector<double>{double(back.elev_m_min)});
        EXPECT_EQ(JsonNumbers(info.out, "maximum", 1), std::vector<double>{double(back.elev_m_max)});
        EXPECT_EQ(JsonNumbers(info.out, "upperLeft", 2), (std::vector<double>{back.left_map_x, back.upper_map_y}));
        EXPECT_EQ(JsonNumbers(info.out, "lowerRight", 2), (std::vector<double>{back.right_map_x, back.lower_map_y}));
        EXPECT_EQ(JsonNumbers(info.out, "upperLeft", 2), JsonNumbers(source.out, "upperLeft", 2));
        EXPECT_EQ(JsonNumbers(info.out, "lowerRight", 2), JsonNumbers(source.out, "lowerRight", 2));
    }
}

TEST(ImportDemCommand, FourTilesGiveTheSameDemAsTheOneMosaic) {
    SKIP_WITHOUT_GDAL_TOOLS();
    test::TempDir dir;
    const std::string whole = ToGeoTiff(dir, SharedDem("fr_it_etopo2"), "whole");
    std::string tiles;
    for (const char* window : {"390 255 390 255", "0 0 390 255", "390 0 390 255", "0 255 390 255"}) {
        const std::string tile = dir.Path("tile" + std::to_string(tiles.size()) + ".tif");
        ASSERT_EQ(RunCommand(std::string("gdal_translate -q -srcwin ") + window + " " + whole + " " + tile).status, 0);
        tiles += tile + " ";
    }
    ASSERT_EQ(Import(whole + " " + dir.Path("one.hdr") + " --title t").status, 0);
    const auto run = Import(tiles + dir.Path("four.hdr") + " --title t");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ReadFile(dir.Path("four.bin")) == ReadFile(dir.Path("one.bin")));
    EXPECT_EQ(ReadFile(dir.Path("four.hdr")), ReadFile(dir.Path("one.hdr")));
}

// Warped to UTM and back with bilinear interpolation, every post is a weighted mean (weights
// of 0 to 1 that sum to 1) of the 2 x 2 UTM pixels around it, and each of those a weighted
// mean of the 2 x 2 posts around it. So, rounded, it lies between the lowest and highest
// original post it can reach: the UTM pixels lie within a pixel's diagonal (2.9 km for
// 2 km pixels) of the post, 1.3 posts of 2' of longitude at 52 degrees north and fewer of
// latitude, and their posts within one more post, so the 5 x 5 posts around it bound it.
// That bound holds whatever the terrain; it is also as tight as the resampling allows, and
// a grid off by a post or flipped leaves it. A shift of half a post could stay inside it,
// so the posts must also be much closer to the original than to the original moved by one
// post (as aligned, the mean difference is under half that of a move; half a post off, it
// would be about the same as one of them).
TEST(ImportDemCommand, WarpedToUtmAndBackEveryPostStaysWithinItsNeighbours) {
    SKIP_WITHOUT_GDAL_TOOLS();
    test::TempDir dir;
    const std::string tif = ToGeoTiff(dir, SharedDem("fr_it_etopo2"), "geo");
    const std::string utm = dir.Path("utm.tif");
    ASSERT_EQ(RunCommand("gdalwarp -q -t_srs EPSG:32632 -tr 2000 2000 -r bilinear -ot Float32 -et 0 " + tif + " " + utm)
                  .status,
              0);
    const auto run = Import(utm + " " + dir.Path("back.hdr") + " --bounds -6,35,20,52 --spacing 0.03333333333333333");
    ASSERT_EQ(run.status, 0) << run.err;
    const DemHeader back = ReadHeader(dir.Path("back.hdr"));
    ASSERT_EQ(back.number_of_columns, 780);
    ASSERT_EQ(back.number_of_rows, 510);
    const std::vector<std::int16_t> original = test::ReadPosts(RasterPathFor(SharedDem("fr_it_etopo2")));
    const std::vector<std::int16_t> imported = test::ReadPosts(dir.Path("back.bin"));
    ASSERT_EQ(imported.size(), original.size());

    const int columns = 780, rows = 510, margin = 3, reach = 2;
    const auto at = [&](const std::vector<std::int16_t>& posts, int c, int r) { return posts[r * columns + c]; };
    int outside = 0;
    // The mean difference from the original shifted by (dc, dr) posts.
    const auto meanDifference = [&](int dc, int dr) {
        double sum = 0;
        int count = 0;
        for (int r = margin; r < rows - margin; ++r) {
            for (int c = margin; c < columns - margin; ++c) {
                sum += std::abs(at(imported, c, r) - at(original, c + dc, r + dr));
                ++count;
            }
        }
        return sum / count;
    };
    for (int r = margin; r < rows - margin; ++r) {
        for (int c = margin; c < columns - margin; ++c) {
            int lowest = INT16_MAX, highest = INT16_MIN;
            for (int dr = -reach; dr <= reach; ++dr) {
                for (int dc = -reach; dc <= reach; ++dc) {
                    lowest = std::min<int>(lowest, at(original, c + dc, r + dr));
                    highest = std::max<int>(highest, at(original, c + dc, r + dr));
                }
            }
            const int value = at(imported, c, r);
            if (value < lowest || value > highest) ++outside;
        }
    }
    EXPECT_EQ(outside, 0);
    const double aligned = meanDifference(0, 0);
    for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        EXPECT_LT(aligned, 0.6 * meanDifference(dc, dr)) << "shifted by (" << dc << ", " << dr << ")";
    }
}

TEST(ImportDemCommand, GenerateOnTheImportedDemWritesTheSameTheaterFiles) {
    SKIP_WITHOUT_GDAL_TOOLS();
    test::TempDir dir, fromOriginal, fromImported;
    const DemHeader original = ReadHeader(SharedDem("fr_it_etopo2"));
    const std::string tif = ToGeoTiff(dir, SharedDem("fr_it_etopo2"), "fr");
    ASSERT_EQ(Import(tif + " " + dir.Path("fr.hdr") + " --title '" + original.file_title + "'").status, 0);
    const std::string options = " --segments 32 --builtin-rules --quiet";
    ASSERT_EQ(
        RunCommand(Cli("generate " + SharedDem("fr_it_etopo2") + " " + fromOriginal.Path("t.l2") + options)).status, 0);
    ASSERT_EQ(RunCommand(Cli("generate " + dir.Path("fr.hdr") + " " + fromImported.Path("t.l2") + options)).status, 0);
    const std::set<std::string> files = test::FilesIn(fromOriginal.Path(""));
    EXPECT_GE(files.size(), 4u);
    EXPECT_EQ(test::FilesIn(fromImported.Path("")), files);
    for (const std::string& file : files) {
        EXPECT_TRUE(ReadFile(fromImported.Path(file)) == ReadFile(fromOriginal.Path(file))) << file;
    }
}

TEST(ImportDemCommand, CtrlCCancelsAndLeavesNothingBehind) {
    test::TempDir dir;
    const std::string source =
        test::WriteGeoTiff(dir.Path("src.tif"), test::TestRaster().Size(1000, 1000).Grid({{0, 0.01, 0, 10, 0, -0.01}}));
    const std::set<std::string> before = test::FilesIn(dir.Path(""));
    // 10 x 10 degrees at 0.0005 degrees: 400 million posts, far more than can be warped
    // before the interrupt arrives. Only async-signal-safe calls between fork and exec.
    const std::string out = dir.Path("out.hdr"), cli = test::CliPath();
    const int errors = ::open(dir.Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int nothing = ::open("/dev/null", O_WRONLY);
    ASSERT_GE(errors, 0);
    ASSERT_GE(nothing, 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(nothing, STDOUT_FILENO);
        ::dup2(errors, STDERR_FILENO);
        ::execl(cli.c_str(), "gridwright-cli", "import-dem", source.c_str(), out.c_str(), "--spacing", "0.0005",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(errors);
    ::close(nothing);
    int status = 0;
    bool started = false, ended = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!started && !ended && std::chrono::steady_clock::now() < deadline) {
        const std::set<std::string> now = test::FilesIn(dir.Path(""));
        started = std::any_of(now.begin(), now.end(), [](const std::string& f) { return f.ends_with(".part"); });
        ended = ::waitpid(child, &status, WNOHANG) == child;
        if (!started && !ended) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!started && !ended) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    ASSERT_TRUE(started) << "the import wrote no temporary: " << ReadFile(dir.Path("err"));
    ::kill(child, SIGINT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_NE(ReadFile(dir.Path("err")).find("cancelled"), std::string::npos) << ReadFile(dir.Path("err"));
    std::filesystem::remove(dir.Path("err"));
    EXPECT_EQ(test::FilesIn(dir.Path("")), before);
}

}  // namespace
}  // namespace gw
