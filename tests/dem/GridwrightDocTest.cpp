#include "TestSupport.h"
#include "dem/GridwrightDoc.h"

#include <cmath>
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

TEST(GridwrightDoc, RasterShorterThanTheHeaderReadsZeroBeyondItsEnd) {
    TempDir dir;
    DemSpec spec;
    spec.posts = {1, 2, 3, 4, 5};
    const std::string header = WriteDem(dir, "short", spec);
    test::WriteFile(dir.Path("short.bin"), test::ReadFile(dir.Path("short.bin")).substr(0, 9));
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(header).ok());
    EXPECT_EQ(doc.GetElevation(3, 0), 4);
    EXPECT_EQ(doc.GetElevation(0, 1), 0) << "its second byte lies past the end";
    EXPECT_EQ(doc.GetElevation(3, 3), 0);
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

TEST(GridwrightDoc, UpperCaseHdrMapsTheHeaderItselfAsRaster) {
    TempDir dir;
    test::WriteFile(dir.Path("X.HDR"), "elev_m_unit = feet\nnumber_of_rows = 1\nnumber_of_columns = 2\n");
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir.Path("X.HDR")).ok());
    EXPECT_EQ(doc.raster().path(), dir.Path("X.HDR"));
    EXPECT_EQ(doc.GetElevation(0, 0), 'e' | ('l' << 8));
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
