#include "tests/TestSupport.h"
#include "core/dem/DemHeader.h"
#include "core/util/CNumbers.h"
#include "tests/gdalio/TestRasters.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace gw {
namespace {

using test::ReadFile;
using test::RunCommand;

bool HaveGdalTools() {
    return RunCommand("sh -c 'command -v gdal_translate && command -v gdalwarp'").status == 0;
}

#define SKIP_WITHOUT_GDAL_TOOLS()                                                                   \
    do {                                                                                            \
        SKIP_WITHOUT_SHARED_DATA();                                                                 \
        if (!HaveGdalTools()) GTEST_SKIP() << "no gdal_translate or gdalwarp (gdal-bin)"; \
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

test::CommandResult Import(const std::string& args) { return test::RunCli("import-dem " + args); }

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

}  // namespace
}  // namespace gw
