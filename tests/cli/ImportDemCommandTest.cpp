#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "core/dem/DemHeader.h"
#include "core/util/CNumbers.h"
#include "tests/gdalio/TestRasters.h"

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

// The real DEMs as GeoTIFFs come back post for post, under the headers they had.
TEST(ImportDemCommand, TheSameGridComesBackPostForPostWithTheSameHeaderFigures) {
    SKIP_WITHOUT_GDAL_TOOLS();
    for (const auto& [name, digest] : {std::pair{"fr_it_etopo2", "3a148fc069046bf75ef75d0472942ab8"},
                                        {"benelux_gtopo30", "018f69ee461033529813d6037b79c7b5"}}) {
        test::TempDir dir;
        const auto run = Import(ToGeoTiff(dir, SharedDem(name), name) + " " + dir.Path("back.hdr") + " --title '" +
                                ReadHeader(SharedDem(name)).file_title + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(ReadFile(dir.Path("back.bin")) == ReadFile(RasterPathFor(SharedDem(name)))) << name;
        EXPECT_EQ(test::Md5Hex(ReadFile(dir.Path("back.hdr"))), digest) << ReadFile(dir.Path("back.hdr"));
        EXPECT_TRUE(test::Has(run.out, "wrote " + dir.Path("back.bin") + " (")) << run.out;
    }
}

// Four tiles give the one mosaic's DEM; two overlapping windows warped cubic onto a coarser
// grid give their known posts, the later winning, the posts along each one's edge included.
TEST(ImportDemCommand, TilesGiveTheSameDemAsTheOneMosaic) {
    SKIP_WITHOUT_GDAL_TOOLS();
    test::TempDir dir;
    const std::string whole = ToGeoTiff(dir, SharedDem("fr_it_etopo2"), "whole");
    std::string tiles;
    int n = 0;
    for (const char* window : {"390 255 390 255", "0 0 390 255", "390 0 390 255", "0 255 390 255", "100 100 200 150",
                               "250 180 200 150"}) {
        const std::string tile = dir.Path("tile" + std::to_string(n++) + ".tif");
        ASSERT_EQ(RunCommand(std::string("gdal_translate -q -srcwin ") + window + " " + whole + " " + tile).status, 0);
        tiles += tile + " ";
        if (n == 4) {
            ASSERT_EQ(Import(whole + " " + dir.Path("one.hdr") + " --title t").status, 0);
            ASSERT_EQ(Import(tiles + dir.Path("four.hdr") + " --title t").status, 0);
            EXPECT_TRUE(ReadFile(dir.Path("four.bin")) == ReadFile(dir.Path("one.bin")));
            EXPECT_EQ(ReadFile(dir.Path("four.hdr")), ReadFile(dir.Path("one.hdr")));
            tiles.clear();
        }
    }
    ASSERT_EQ(Import(tiles + dir.Path("two.hdr") + " --spacing 0.07 --resampling cubic --title t").status, 0);
    EXPECT_EQ(test::Md5Hex(ReadFile(dir.Path("two.bin"))), "36d30ccb5fefc13bd16dc3a14a9571f3");
}

}  // namespace
}  // namespace gw
