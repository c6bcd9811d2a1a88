#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"

#include <cmath>
#include <utility>
#include <limits>

namespace gw {
namespace {

using test::DemSpec;
using test::TempDir;
using test::WriteDem;

TEST(GridwrightDoc, PostsAreAddressedRowByRowFromTheNorthWest) {
    TempDir dir;
    DemSpec spec;
    spec.rows = 3;
    spec.columns = 4800;
    spec.posts.assign(3 * 4800, 0);
    spec.posts[2 * 4800 + 10] = 1234;  // byte offset 19220
    spec.posts[0] = 7;
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, "wide", spec)).ok());
    EXPECT_EQ(doc.GetElevation(10, 2), 1234);
    EXPECT_EQ(doc.GetElevation(0, 0), 7);
    EXPECT_EQ(doc.GetElevation(-1, 0), 0);
    EXPECT_EQ(doc.GetElevation(4800, 0), 0);
    EXPECT_EQ(doc.GetElevation(0, 3), 0);
    EXPECT_EQ(doc.GetElevationAtFraction(10.5f / 4800, 2.5f / 3), 1234);
}

TEST(GridwrightDoc, ValuesBecomeFeet) {
    TempDir dir;
    DemSpec spec;
    spec.rows = 1;
    spec.columns = 6;
    spec.unit = "meters";
    spec.posts = {1000, 25, 1, -5, 9990, 20000};
    CGridwrightDoc metres;
    ASSERT_TRUE(metres.OnOpenDocument(WriteDem(dir, "m", spec)).ok());
    EXPECT_EQ(metres.GetElevation(0, 0), 3279) << "the float factor lies just below 3.28";
    EXPECT_EQ(metres.GetElevation(1, 0), 81);
    EXPECT_EQ(metres.GetElevation(2, 0), 3);
    EXPECT_EQ(metres.GetElevation(3, 0), 0) << "negative values read as sea level";
    EXPECT_EQ(metres.GetElevation(4, 0), 32767);
    EXPECT_EQ(metres.GetElevation(5, 0), 32767) << "beyond the 16-bit range is clamped";

    spec.unit = "Feet";
    CGridwrightDoc feet;
    ASSERT_TRUE(feet.OnOpenDocument(WriteDem(dir, "f", spec)).ok());
    EXPECT_EQ(feet.GetElevation(0, 0), 1000);
    EXPECT_EQ(feet.GetElevation(5, 0), 20000);
}

TEST(GridwrightDoc, OpenFailsSayingWhy) {
    TempDir dir;
    DemSpec spec;
    const std::string header = WriteDem(dir, "dem", spec);
    CGridwrightDoc doc;
    EXPECT_NE(doc.OnOpenDocument(dir.Path("none.hdr")).message().find("none.hdr"), std::string::npos);

    std::filesystem::remove(dir.Path("dem.bin"));
    EXPECT_NE(doc.OnOpenDocument(header).message().find("dem.bin"), std::string::npos);

    test::WriteFile(dir.Path("dem.bin"), "");
    EXPECT_NE(doc.OnOpenDocument(header).message().find("empty"), std::string::npos);

    spec.unit = "metres";
    EXPECT_NE(doc.OnOpenDocument(WriteDem(dir, "metres", spec)).message().find("metres"), std::string::npos);

    EXPECT_FALSE(doc.OnOpenDocument(dir.Path("")).ok()) << "a folder is no header";
}

// Opens path in a fresh document; the reason it failed, or "" when it opened.
std::string OpenFailure(const std::string& path) {
    CGridwrightDoc doc;
    const Status opened = doc.OnOpenDocument(path);
    return opened.ok() ? std::string() : opened.message();
}

// A header that is sound but for the lines given after the sound ones (last line wins).
std::string HeaderWith(const TempDir& dir, const std::string& name, const std::string& lines) {
    const std::string header = WriteDem(dir, name, DemSpec{});
    test::WriteFile(header, test::ReadFile(header) + lines);
    return header;
}

TEST(GridwrightDoc, NonsenseIsRefusedNamingTheFileAndTheFault) {
    TempDir dir;
    const std::string dem = WriteDem(dir, "dem", DemSpec{});
    const std::string noKeys = "no DEM keys";
    EXPECT_EQ(OpenFailure(dir.Path("dem.bin")), dir.Path("dem.bin") + ": " + noKeys + "; it is not a DEM header");
    test::WriteFile(dir.Path("empty.hdr"), "");
    EXPECT_NE(OpenFailure(dir.Path("empty.hdr")).find(noKeys), std::string::npos);
    test::WriteFile(dir.Path("esri.hdr"), "NCOLS 4\nNROWS 4\nBYTEORDER I\nLAYOUT BIL\n");
    EXPECT_NE(OpenFailure(dir.Path("esri.hdr")).find(noKeys), std::string::npos);
    test::WriteFile(dir.Path("tiff.hdr"), std::string("II*\0\x08\0\0\0\x0e\0\0\x01\x03\0", 14));
    EXPECT_NE(OpenFailure(dir.Path("tiff.hdr")).find(noKeys), std::string::npos);

    const std::pair<std::string, std::string> faults[] = {
        {"number_of_rows = 0\n", "number_of_rows is 0"},
        {"number_of_rows = -2147483648\n", "number_of_rows is -2147483648"},
        {"number_of_columns = -1\n", "number_of_columns is -1"},
        {"left_map_x = -1e308\nright_map_x = 1e308\n", "too wide"},
        {"upper_map_y = 1e999\n", "upper_map_y is not a finite number"},
        {"right_map_x = 0\n", "no extent from left_map_x 0 to right_map_x 0"},
        {"lower_map_y = 5\n", "no extent from lower_map_y 5 to upper_map_y 4"},
    };
    for (const auto& [lines, reason] : faults) {
        const std::string header = HeaderWith(dir, "bad", lines);
        const std::string failure = OpenFailure(header);
        EXPECT_TRUE(failure.starts_with(header + ": ")) << failure;
        EXPECT_NE(failure.find(reason), std::string::npos) << lines << failure;
    }
    EXPECT_EQ(OpenFailure(dem), "") << "the sound DEM the faults were made from";
}

TEST(GridwrightDoc, ARasterShorterThanTheHeaderSaysIsRefused) {
    TempDir dir;
    DemSpec spec;
    spec.rows = 200, spec.columns = 600;
    const std::string header = WriteDem(dir, "short", spec);
    test::WriteFile(dir.Path("short.bin"), std::string(1001, '\1'));
    EXPECT_EQ(OpenFailure(header), dir.Path("short.bin") + ": raster holds 1001 bytes, the header needs 240000");
    test::WriteFile(dir.Path("short.bin"), std::string(240001, '\0'));
    EXPECT_EQ(OpenFailure(header), "") << "a longer raster is fine";
}

TEST(GridwrightDoc, AHeaderWhoseRasterNameIsItsOwnIsRefusedBeforeTheRasterIsOpened) {
    TempDir dir;
    test::WriteFile(dir.Path("COAST.HDR"), "elev_m_unit = feet\nnumber_of_rows = 1\nnumber_of_columns = 2\n"
                                           "right_map_x = 1\nupper_map_y = 1\n");
    EXPECT_NE(OpenFailure(dir.Path("COAST.HDR")).find("COAST.HDR: its name holds no \".hdr\""), std::string::npos);
}

TEST(GridwrightDoc, AFailedReopenLeavesTheDocumentAsItWas) {
    TempDir dir;
    DemSpec spec;
    spec.posts.assign(16, 5);
    spec.left = 10;
    spec.right = 14;
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, "first", spec)).ok());
    spec.posts.assign(16, 9);
    spec.left = 0;
    spec.unit = "meters";
    const std::string second = WriteDem(dir, "second", spec);
    test::WriteFile(dir.Path("second.bin"), "xx");
    EXPECT_FALSE(doc.OnOpenDocument(second).ok());
    test::WriteFile(dir.Path("third.hdr"), test::ReadFile(second) + "elev_m_unit = yards\n");
    test::WriteFile(dir.Path("third.bin"), test::ReadFile(dir.Path("first.bin")));
    EXPECT_FALSE(doc.OnOpenDocument(dir.Path("third.hdr")).ok());

    EXPECT_EQ(doc.header().file_title, "first");
    EXPECT_EQ(doc.header().left_map_x, 10);
    EXPECT_EQ(doc.raster().path(), dir.Path("first.bin"));
    EXPECT_EQ(doc.unitFactor(), 1.0f);
    EXPECT_EQ(doc.GetElevation(3, 3), 5);

    ASSERT_TRUE(doc.OnOpenDocument(second.substr(0, second.size() - 10) + "first.hdr").ok());
    test::WriteFile(dir.Path("second.bin"), std::string(32, '\1'));
    ASSERT_TRUE(doc.OnOpenDocument(second).ok()) << "and a sound reopen replaces everything";
    EXPECT_EQ(doc.GetElevation(0, 0), static_cast<int>(257 * 3.28f));
    EXPECT_EQ(doc.raster().path(), dir.Path("second.bin"));
    EXPECT_TRUE(doc.RasterIntact().ok());
}

TEST(GridwrightDoc, IsInsideCountsEdgesIn) {
    TempDir dir;
    DemSpec spec;
    spec.left = -6, spec.right = 20, spec.upper = 52, spec.lower = 35;
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, "x", spec)).ok());
    EXPECT_TRUE(doc.IsInside(52, -6));
    EXPECT_TRUE(doc.IsInside(35, 20));
    EXPECT_FALSE(doc.IsInside(52.000001, 0));
    EXPECT_FALSE(doc.IsInside(40, -6.000001));
    EXPECT_FALSE(doc.IsInside(std::nan(""), 0));
    EXPECT_EQ(doc.GetMapCenterX(), 7.0);
    EXPECT_EQ(doc.GetMapCenterY(), 43.5);
}

// A 4 x 4 raster one degree per post over 0..4 E, 0..4 N, posts numbered by position.
class SampleElevationTest : public ::testing::Test {
protected:
    void SetUp() override {
        DemSpec spec;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) spec.posts.push_back(static_cast<std::int16_t>(100 * r + 10 * c + 10));
        ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, "grid", spec)).ok());
    }
    // The post at column c, row r (row 0 north).
    static int Post(int c, int r) { return 100 * r + 10 * c + 10; }
    // Latitude of the centre of row r, longitude of the centre of column c.
    static double Lat(double r) { return 4 - (r + 0.5); }
    static double Lon(double c) { return c + 0.5; }

    TempDir dir;
    CGridwrightDoc doc;
};

TEST_F(SampleElevationTest, PostCentreGivesThePost) {
    EXPECT_EQ(doc.SampleElevation(Lat(1), Lon(2), 0.1, 0.1), Post(2, 1));
    EXPECT_EQ(doc.SampleElevation(Lat(1), Lon(2), 2, 2), Post(2, 1));
}

TEST_F(SampleElevationTest, BlendsWithTheNearerNeighbour) {
    EXPECT_EQ(doc.SampleElevation(Lat(1), 2.0, 0.1, 0.1), (Post(1, 1) + Post(2, 1)) / 2)
        << "on a boundary (f = 0) the column part is the western neighbour's value";
    const int east = static_cast<int>(Post(2, 1) * 0.5 + Post(1, 1) * 0.5);
    EXPECT_EQ(doc.SampleElevation(Lat(1), 1.75, 0.1, 0.1), (east + Post(1, 1)) / 2);
    // South of a centre: the southern neighbour (row + 1).
    const int ry = static_cast<int>(Post(1, 2) * 0.5 + Post(1, 1) * 0.5);
    EXPECT_EQ(doc.SampleElevation(4 - 1.75, Lon(1), 0.1, 0.1), (Post(1, 1) + ry) / 2);
    // A coarse span in one direction switches blending off in that direction only.
    EXPECT_EQ(doc.SampleElevation(4 - 1.75, 1.75, 0.1, 2.0), (Post(1, 1) + ry) / 2);
}

TEST_F(SampleElevationTest, NoNeighbourBeyondTheEdges) {
    EXPECT_EQ(doc.SampleElevation(Lat(1), 0.25, 0.1, 0.1), Post(0, 1)) << "western half of column 0";
    EXPECT_EQ(doc.SampleElevation(Lat(1), 3.75, 0.1, 0.1), Post(3, 1)) << "eastern half of the last column";
    EXPECT_EQ(doc.SampleElevation(3.75, Lon(2), 0.1, 0.1), Post(2, 0)) << "northern half of row 0";
    EXPECT_EQ(doc.SampleElevation(0.25, Lon(2), 0.1, 0.1), Post(2, 3)) << "southern half of the last row";
}

TEST_F(SampleElevationTest, FarOutsideReadsZero) {
    EXPECT_EQ(doc.SampleElevation(1e300, -1e300, 0.1, 0.1), 0);
    EXPECT_EQ(doc.SampleElevation(std::nan(""), 1, 0.1, 0.1), 0);
    EXPECT_EQ(doc.SampleElevation(50, 50, 0.1, 0.1), 0);
}

}  // namespace
}  // namespace gw

namespace gw {
namespace {

}  // namespace
}  // namespace gw
