#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"
#include "core/layout/DistanceUnit.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"

#include <cmath>

namespace gw {
namespace {

TheaterLayout Started() {
    TheaterLayout layout;
    layout.OnInitialUpdate();
    return layout;
}

TEST(TheaterLayout, UnitsReexpressTheSameTheater) {
    TheaterLayout l = Started();
    l.OnCenterLatKillFocus("45");
    const double north = l.m_northLat, west = l.m_northWestLong;
    l.OnUnitSelected(kFeetUnit);
    EXPECT_NEAR(l.m_resolution, 819.9949, 5e-5);
    EXPECT_NEAR(l.m_dimensionX, 3358699.1104, 5e-5);
    EXPECT_NEAR(l.m_northLat, north, 1e-12);
    EXPECT_NEAR(l.m_northWestLong, west, 1e-12);
    l.OnUnitSelected(2);
    EXPECT_DOUBLE_EQ(l.m_resolution, 0.1348576453577105 * 1.8532698799999998);
    l.OnUnitSelected(7);  // no such row: nothing changes
    EXPECT_EQ(l.m_unitIndex, 2);
}

TEST(TheaterLayout, ZeroOrTextResolutionCollapsesTheOutline) {
    TheaterLayout l = Started();
    l.OnCenterLatKillFocus("44.5");
    l.OnResolutionChanged("abc");
    EXPECT_EQ(l.m_dimensionX, 0.0);
    EXPECT_EQ(l.m_northLat, 44.5);
    EXPECT_EQ(l.m_southWestLong, 0.0);
    EXPECT_FALSE(l.ValidateForGenerate().ok());
    l.OnResolutionChanged("0.2");
    EXPECT_TRUE(l.ValidateForGenerate().ok());
}

TEST(TheaterLayout, SquareTiesYToX) {
    TheaterLayout l = Started();
    l.SetSegmentsX("128");
    EXPECT_EQ(l.m_segmentsY, 128);
    l.OnSegmentsYChanged("32");
    EXPECT_EQ(l.m_segmentsY, 128) << "the Y box is ignored while Square is on";
    l.OnSquareClicked(false);
    EXPECT_EQ(l.m_segmentsY, 128);
    l.OnSegmentsYChanged("32");
    l.SetSegmentsX("48");
    EXPECT_EQ(l.m_segmentsY, 32);
    EXPECT_EQ(l.m_tilesX, 768);
    EXPECT_EQ(l.m_tilesY, 512);
    l.OnSquareClicked(true);
    EXPECT_EQ(l.m_segmentsY, 48);
}

TEST(TheaterLayout, SegmentCountsOutOfRangeAreRefused) {
    TheaterLayout l = Started();
    l.SetSegmentsX("0");
    EXPECT_FALSE(l.ValidateForGenerate().ok());
    l.SetSegmentsX("99999999999");
    EXPECT_FALSE(l.ValidateForGenerate().ok());
    l.OnResolutionChanged("0.001");
    l.SetSegmentsX("4096");
    EXPECT_TRUE(l.ValidateForGenerate().ok());
}

TEST(TheaterLayout, LayoutsPastAPoleOrWithInfiniteFiguresAreRefused) {
    TheaterLayout l = Started();
    l.OnCenterLatKillFocus("89.9");
    EXPECT_NE(l.ValidateForGenerate().message().find("pass a pole"), std::string::npos);
    l.OnCenterLatKillFocus("-91");
    EXPECT_NE(l.ValidateForGenerate().message().find("within 90 degrees"), std::string::npos);
    l.OnCenterLatKillFocus("45");
    EXPECT_TRUE(l.ValidateForGenerate().ok());
    l.OnResolutionChanged("1e306");
    EXPECT_NE(l.ValidateForGenerate().message().find("infinite"), std::string::npos);
}

TEST(TheaterLayout, DocumentUpdateCentresAndSizesThePreview) {
    test::TempDir dir;
    test::DemSpec spec;
    spec.left = 10, spec.right = 14.691356, spec.lower = 12.345678 - 1, spec.upper = 12.345678 + 1;
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(test::WriteDem(dir, "wide", spec)).ok());
    TheaterLayout l;
    l.OnDocumentUpdate(doc);
    EXPECT_EQ(l.m_centerLat, std::floor(12.345678 * 10000 + 0.5) * 0.0001);
    EXPECT_NEAR(l.m_centerLat, 12.3457, 1e-12);
    EXPECT_NEAR(l.m_centerLong, 12.3457, 1e-12);
    EXPECT_EQ(l.m_title, "wide");
    EXPECT_EQ(l.m_previewWidth, 400);
    EXPECT_EQ(l.m_previewHeight, 170);  // 2 x 400 / 4.691356, truncated

    spec.left = 0, spec.right = 1, spec.lower = 0, spec.upper = 1;
    CGridwrightDoc square;
    ASSERT_TRUE(square.OnOpenDocument(test::WriteDem(dir, "square", spec)).ok());
    l.OnDocumentUpdate(square);
    EXPECT_EQ(l.m_previewWidth, 400);
    EXPECT_EQ(l.m_previewHeight, 400);

    CGridwrightDoc flat;  // nothing opened: no extent (opening refuses a DEM without one)
    l.OnDocumentUpdate(flat);
    EXPECT_EQ(l.m_previewHeight, 0) << "no extent, no proportions";
}

}  // namespace
}  // namespace gw
