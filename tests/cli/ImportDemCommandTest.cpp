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

}  // namespace
}  // namespace gw
