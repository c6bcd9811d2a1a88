#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"
#include "core/layout/HeightTable.h"
#include "core/layout/PreviewImages.h"

#include <algorithm>

namespace gw {
namespace {

constexpr std::uint32_t kSea = Rgb(154, 182, 216);

// Pixels are coloured through the height table, each band including its upper limit
// (above every row: the last) and negative elevations reading as 0; pixel x shows the
// post at the fraction x / width in single precision, so that on 22 columns pixel 13
// shows column 12 again. The sample's whole picture is pinned in CliTest.
TEST(ElevationImage, ColoursThePostsThroughTheHeightTable) {
    test::TempDir dir;
    test::DemSpec bands;
    bands.rows = 1, bands.columns = 4;
    bands.posts = {160, 161, -5, 20000};
    test::DemSpec single;
    single.rows = 1, single.columns = 22, single.right = 22, single.upper = 1;
    single.posts.assign(22, 0);
    single.posts[12] = 5000;
    const std::string bandsDem = test::WriteDem(dir, "bands", bands), singleDem = test::WriteDem(dir, "single", single);
    const HeightTable lowered({{0, 1, 0}, {1000, 2, 0}});
    struct Case {
        const std::string& dem;
        const HeightTable& table;
        int width, height, x, y;
        std::uint32_t colour;
    };
    const HeightTable heights;
    const Case cases[] = {
        {bandsDem, heights, 4, 1, 0, 0, Rgb(130, 162, 116)},         // 160 ft: the 160 ft row
        {bandsDem, heights, 4, 1, 1, 0, Rgb(152, 174, 129)},         // 161 ft: the 660 ft row
        {bandsDem, heights, 4, 1, 2, 0, kSea},
        {bandsDem, heights, 4, 1, 3, 0, Rgb(255, 255, 255)},
        {bandsDem, lowered, 4, 1, 3, 0, 2u},                         // above every row: the last
        {singleDem, heights, 22, 1, 12, 0, Rgb(234, 225, 179)},
        {singleDem, heights, 22, 1, 13, 0, Rgb(234, 225, 179)},
        {singleDem, heights, 22, 1, 14, 0, kSea},
    };
    for (const Case& c : cases) {
        CGridwrightDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(c.dem).ok());
        const RgbImage image = BuildElevationImage(doc, c.table, c.width, c.height);
        ASSERT_EQ(image.width, c.width);
        ASSERT_EQ(image.height, c.height);
        EXPECT_EQ(image.At(c.x, c.y), c.colour) << c.dem << " " << c.x << "," << c.y;
    }
}

// 0..10 E, 0..10 N on 10 x 10 pixels: the point (x + 0.5, 10.5 - y) lands on pixel (x, y).
GeoPoint At(int x, int y) { return {10.5 - y, x + 0.5}; }

Feature Drawn(std::int32_t ruleIndex, std::vector<GeoPoint> points) {
    Feature feature;
    feature.ruleIndex = ruleIndex;
    feature.points = std::move(points);
    return feature;
}

// Lines are drawn in their rule's colour without their last point, clipped to the
// picture; points of a label rule are 3 x 3 squares; a single point of a line rule,
// features whose rule is gone and black rules draw nothing.
TEST(OverlayImage, DrawsFeaturesInTheirRulesColour) {
    constexpr std::uint32_t kBlue = Rgb(0, 104, 144), kYellow = Rgb(255, 255, 0);
    const auto rule = [](std::uint32_t colour, std::int32_t label) {
        E00Rule r;
        r.Colour = colour;
        r.Label = label;
        return r;
    };
    const E00Rules rules = {rule(kBlue, 0), rule(kYellow, 1), rule(0, 0)};
    PreviewFrame frame;
    frame.SetFrame(5, 5, 10, 10);
    frame.SetImageSize(10, 10);
    using Pixels = std::vector<std::pair<int, int>>;
    struct Case {
        std::vector<Feature> features;
        std::uint32_t colour;
        Pixels pixels;
    };
    const Case cases[] = {
        {{Drawn(0, {At(1, 1), At(4, 1), At(4, 3)})}, kBlue, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}},
        {{Drawn(1, {At(5, 5)}), Drawn(0, {At(2, 2)}), Drawn(1, {At(0, 9)})},
         kYellow,
         {{4, 4}, {5, 4}, {6, 4}, {4, 5}, {5, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}, {0, 8}, {1, 8}, {0, 9}, {1, 9}}},
        {{Drawn(3, {At(1, 1), At(8, 8)}), Drawn(-1, {At(1, 8), At(8, 1)}), Drawn(2, {At(0, 5), At(9, 5)})}, kBlue, {}},
        {{Drawn(0, {{5.5, -1000}, At(5, 5)})}, kBlue, {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}},
    };
    for (const Case& c : cases) {
        const RgbImage image = BuildOverlayImage(c.features, rules, frame, 10, 10);
        Pixels coloured;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                if (image.At(x, y) == c.colour) coloured.emplace_back(x, y);
        EXPECT_EQ(coloured, c.pixels);
        EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0u), 100 - std::ssize(c.pixels));
    }
}

// An overlay of another size covers only where both have pixels. That black is
// transparent shows in the previews pinned in CliTest.
TEST(ApplyOverlay, CoversOnlyWhereBothHavePixels) {
    RgbImage picture(3, 2, kSea), small(1, 1, 9);
    ApplyOverlay(picture, small);
    ApplyOverlay(small, RgbImage(5, 5, 3));
    EXPECT_EQ(picture.pixels, (std::vector<std::uint32_t>{9, kSea, kSea, kSea, kSea, kSea}));
    EXPECT_EQ(small, RgbImage(1, 1, 3));
}

}  // namespace
}  // namespace gw
