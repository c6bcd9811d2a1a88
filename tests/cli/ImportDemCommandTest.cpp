#include "tests/TestSupport.h"
#include "tests/cli/Pinned.h"
#include "core/dem/DemHeader.h"
#include "tests/gdalio/TestRasters.h"

namespace gw {
namespace {

using test::ReadFile;

DemHeader ReadHeader(const std::string& path) {
    DemHeader header;
    EXPECT_TRUE(ReadDemHeader(path, header).ok()) << path;
    return header;
}

std::string SharedDem(const std::string& name) { return test::SharedDataDir() + "/dem/" + name + ".hdr"; }

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

test::CommandResult Import(const std::string& args) { return test::RunCli("import-dem " + args); }

// The real DEMs as GeoTIFFs come back post for post, under the headers they had.
TEST(ImportDemCommand, TheSameGridComesBackPostForPostWithTheSameHeaderFigures) {
    SKIP_WITHOUT_SHARED_DATA();
    for (const auto& [name, digest] : {std::pair{"fr_it_etopo2", "3a148fc069046bf75ef75d0472942ab8"},
                                        {"benelux_gtopo30", "018f69ee461033529813d6037b79c7b5"}}) {
        test::TempDir dir;
        const auto run = Import(ToGeoTiff(SharedDem(name), dir.Path("in.tif")) + " " + dir.Path("back.hdr") +
                                " --title '" + ReadHeader(SharedDem(name)).file_title + "'");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(ReadFile(dir.Path("back.bin")) == ReadFile(RasterPathFor(SharedDem(name)))) << name;
        EXPECT_EQ(test::Md5Hex(ReadFile(dir.Path("back.hdr"))), digest) << ReadFile(dir.Path("back.hdr"));
        EXPECT_TRUE(test::Has(run.out, "wrote " + dir.Path("back.bin") + " (")) << run.out;
    }
}

// Four tiles give the one mosaic's DEM; two overlapping windows warped cubic onto a coarser
// grid give their known posts, the later winning, the posts along each one's edge included.
TEST(ImportDemCommand, TilesGiveTheSameDemAsTheOneMosaic) {
    SKIP_WITHOUT_SHARED_DATA();
    test::TempDir dir;
    const std::string dem = SharedDem("fr_it_etopo2");
    std::string tiles;
    int n = 0;
    for (const std::array<int, 4> window : {std::array{390, 255, 390, 255}, {0, 0, 390, 255}, {390, 0, 390, 255},
                                            {0, 255, 390, 255}, {100, 100, 200, 150}, {250, 180, 200, 150}}) {
        tiles += ToGeoTiff(dem, dir.Path("tile" + std::to_string(n++) + ".tif"), window[0], window[1], window[2],
                           window[3]) + " ";
        if (n == 4) {
            ASSERT_EQ(Import(ToGeoTiff(dem, dir.Path("whole.tif")) + " " + dir.Path("one.hdr") + " --title t").status, 0);
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
