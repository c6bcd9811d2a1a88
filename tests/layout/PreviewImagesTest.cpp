#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"
#include "core/layout/HeightTable.h"
#include "core/layout/MapPreview.h"
#include "core/layout/PreviewImages.h"
#include "core/layout/TheaterLayout.h"

#include <algorithm>

namespace gw {
namespace {

constexpr std::uint32_t kSea = Rgb(154, 182, 216);

TEST(ElevationImage, ColoursTheSampleThroughTheHeightTable) {
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(test::SampleDir() + "/coast.hdr").ok());
    // 400 x 300 pixels on 400 x 300 posts: at these pixels, pixel (x, y) shows post (x, y).
    const RgbImage image = BuildElevationImage(doc, HeightTable(), 400, 300);
    ASSERT_EQ(image.width, 400);
    ASSERT_EQ(image.height, 300);
    EXPECT_EQ(image.At(0, 299), kSea);                    // -1577 m: below 0
    EXPECT_EQ(image.At(200, 150), kSea);                  // -268 m
    EXPECT_EQ(image.At(399, 0), Rgb(208, 206, 160));      // 965 m = 3165 ft: the 3280 ft band
    EXPECT_EQ(image.At(300, 60), Rgb(230, 213, 160));     // 6920 ft: the 11480 ft band
    EXPECT_EQ(image.At(350, 20), Rgb(234, 225, 179));     // 3414 ft: the 6560 ft band
    EXPECT_EQ(image.At(250, 200), Rgb(184, 190, 144));    // 846 ft: the 1640 ft band
}

TEST(ElevationImage, BandsIncludeTheirUpperLimit) {
    test::TempDir dir;
    test::DemSpec spec;
    spec.rows = 1;
    spec.columns = 4;
    spec.posts = {160, 161, -5, 20000};
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(test::WriteDem(dir, "bands", spec)).ok());
    const RgbImage image = BuildElevationImage(doc, HeightTable(), 4, 1);
    EXPECT_EQ(image.At(0, 0), Rgb(130, 162, 116));  // 160 ft: the 160 ft row
    EXPECT_EQ(image.At(1, 0), Rgb(152, 174, 129));  // 161 ft: the 660 ft row
    EXPECT_EQ(image.At(2, 0), kSea);                // negative reads as 0
    EXPECT_EQ(image.At(3, 0), Rgb(255, 255, 255));
    // With the last row lowered, an elevation above every row takes the last row's colour.
    const RgbImage lowered = BuildElevationImage(doc, HeightTable({{0, 1, 0}, {1000, 2, 0}}), 4, 1);
    EXPECT_EQ(lowered.At(3, 0), 2u);
}

TEST(ElevationImage, FractionsAreSinglePrecision) {
    // On 22 columns shown 22 pixels wide, 22 x (13 / 22) in single precision is just
    // below 13, so pixel 13 shows column 12 again; in double precision it would show 13.
    test::TempDir dir;
    test::DemSpec spec;
    spec.rows = 1;
    spec.columns = 22;
    spec.right = 22;
    spec.upper = 1;
    spec.posts.assign(22, 0);
    spec.posts[12] = 5000;
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(test::WriteDem(dir, "single", spec)).ok());
    const RgbImage image = BuildElevationImage(doc, HeightTable(), 22, 1);
    EXPECT_EQ(image.At(12, 0), Rgb(234, 225, 179));
    EXPECT_EQ(image.At(13, 0), Rgb(234, 225, 179));
    EXPECT_EQ(image.At(14, 0), kSea);
}

// 0..10 E, 0..10 N on 10 x 10 pixels. Rows count from the north edge down to the
// truncated distance from the south edge, so the point (x + 0.5, 10.5 - y) lands on
// pixel (x, y).
PreviewFrame TenByTen() {
    PreviewFrame frame;
    frame.SetFrame(5, 5, 10, 10);
    frame.SetImageSize(10, 10);
    return frame;
}

GeoPoint At(int x, int y) { return {10.5 - y, x + 0.5}; }

Feature Drawn(std::int32_t ruleIndex, std::vector<GeoPoint> points) {
    Feature feature;
    feature.ruleIndex = ruleIndex;
    feature.points = std::move(points);
    return feature;
}

E00Rules TestRules() {
    const auto rule = [](std::uint32_t colour, std::int32_t label) {
        E00Rule r;
        r.Colour = colour;
        r.Label = label;
        return r;
    };
    return {rule(Rgb(0, 104, 144), 0), rule(Rgb(255, 255, 0), 1), rule(0, 0)};
}

std::vector<std::pair<int, int>> Coloured(const RgbImage& image, std::uint32_t colour) {
    std::vector<std::pair<int, int>> pixels;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) == colour) pixels.emplace_back(x, y);
        }
    }
    return pixels;
}

TEST(OverlayImage, DrawsLinesInTheRuleColourWithoutTheirLastPoint) {
    const std::vector<Feature> features = {Drawn(0, {At(1, 1), At(4, 1), At(4, 3)})};
    const RgbImage image = BuildOverlayImage(features, TestRules(), TenByTen(), 10, 10);
    EXPECT_EQ(Coloured(image, Rgb(0, 104, 144)),
              (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}));
    EXPECT_EQ(Coloured(image, 0).size(), 95u);
}

TEST(OverlayImage, PointsOfALabelRuleAreThreeByThreeSquares) {
    const std::vector<Feature> features = {Drawn(1, {At(5, 5)}), Drawn(0, {At(2, 2)}), Drawn(1, {At(0, 9)})};
    const RgbImage image = BuildOverlayImage(features, TestRules(), TenByTen(), 10, 10);
    const auto yellow = Coloured(image, Rgb(255, 255, 0));
    EXPECT_EQ(yellow.size(), 9u + 4u);  // the square in the corner is clipped to 2 x 2
    EXPECT_TRUE(std::all_of(yellow.begin(), yellow.begin() + 9, [](auto p) {
        return p.first >= 4 && p.first <= 6 && p.second >= 4 && p.second <= 6;
    }));
    // One point of a line rule draws nothing.
    EXPECT_TRUE(Coloured(image, Rgb(0, 104, 144)).empty());
}

TEST(OverlayImage, SkipsFeaturesWhoseRuleIsGoneAndBlackRules) {
    const std::vector<Feature> features = {Drawn(3, {At(1, 1), At(8, 8)}), Drawn(-1, {At(1, 8), At(8, 1)}),
                                           Drawn(2, {At(0, 5), At(9, 5)})};
    const RgbImage image = BuildOverlayImage(features, TestRules(), TenByTen(), 10, 10);
    EXPECT_EQ(image, RgbImage(10, 10));
}

TEST(OverlayImage, ALineFromFarOutsideIsDrawnWhereItCrossesThePicture) {
    // From 1000 degrees west to the middle of row 5: the part inside is row 5 up to x 4.
    const std::vector<Feature> features = {Drawn(0, {{5.5, -1000}, At(5, 5)})};
    const RgbImage image = BuildOverlayImage(features, TestRules(), TenByTen(), 10, 10);
    EXPECT_EQ(Coloured(image, Rgb(0, 104, 144)),
              (std::vector<std::pair<int, int>>{{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}));
}

TEST(ApplyOverlay, BlackIsTransparent) {
    RgbImage picture(3, 2, kSea);
    RgbImage overlay(3, 2);
    overlay.At(1, 0) = 7;
    overlay.At(2, 1) = Rgb(0, 0, 1);
    ApplyOverlay(picture, overlay);
    EXPECT_EQ(picture.At(0, 0), kSea);
    EXPECT_EQ(picture.At(1, 0), 7u);
    EXPECT_EQ(picture.At(2, 1), Rgb(0, 0, 1));
    // An overlay of another size covers only where both have pixels.
    RgbImage small(1, 1, 9);
    ApplyOverlay(picture, small);
    EXPECT_EQ(picture.At(0, 0), 9u);
    RgbImage big(5, 5, 3);
    ApplyOverlay(small, big);
    EXPECT_EQ(small, RgbImage(1, 1, 3));
}

// The sample DEM as the form first shows it, with 32 segments: picture 400 x 300.
struct SamplePreview {
    CGridwrightDoc doc;
    TheaterLayout layout;
    MapPreview preview;

    SamplePreview() {
        EXPECT_TRUE(doc.OnOpenDocument(test::SampleDir() + "/coast.hdr").ok());
        layout.OnDocumentUpdate(doc);
        preview.SetPicture(BuildElevationImage(doc, HeightTable(), layout.m_previewWidth, layout.m_previewHeight));
        preview.SetFrame(layout.m_centerLat, layout.m_centerLong, doc.GetMapWidth(), doc.GetMapHeight());
        layout.OnInitialUpdate();
        layout.SetSegmentsX("32");
        Outline();
    }
    void Outline() {
        preview.SetOutline(layout.m_northLat, layout.m_southLat, layout.m_northWestLong, layout.m_northEastLong,
                           layout.m_southWestLong, layout.m_southEastLong);
    }
};

TEST(MapPreview, PaintsThePictureThenTheOverlayThenTheOutline) {
    SamplePreview s;
    ASSERT_EQ(s.preview.frame().imageWidth(), 400);
    ASSERT_EQ(s.preview.frame().imageHeight(), 300);
    EXPECT_EQ(s.preview.outline()->center, (PixelPoint{200, 150}));

    RgbImage overlay(400, 300);
    overlay.At(190, 150) = Rgb(0, 180, 0);  // under the cross
    overlay.At(10, 10) = Rgb(0, 180, 0);
    s.preview.SetOverlay(overlay);
    const RgbImage shown = s.preview.Paint();
    EXPECT_EQ(shown.At(10, 10), Rgb(0, 180, 0));
    EXPECT_EQ(shown.At(190, 150), Rgb(0, 75, 255));  // the overlay's green, inverted by the cross
    EXPECT_EQ(shown.At(20, 20), s.preview.picture().At(20, 20));

    RgbImage expected = s.preview.picture();
    ApplyOverlay(expected, overlay);
    DrawOutline(expected, *s.preview.outline());
    EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace gw
