#include "core/layout/PreviewFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace gw {
namespace {

// 10..18 E and 40..48 N on 400 x 400 pixels: 50 pixels a degree, exactly.
PreviewFrame SquareFrame() {
    PreviewFrame frame;
    frame.SetFrame(44, 14, 8, 8);
    frame.SetImageSize(400, 400);
    return frame;
}

// Longitudes map to columns and latitudes to rows truncated toward zero, not down: a
// row is the height less the truncated distance from the south edge. Positions far
// outside, and NaN, are held on their side.
TEST(PreviewFrame, MapsPositionsToPixelsAndBack) {
    const PreviewFrame frame = SquareFrame();
    constexpr std::int32_t kFar = PreviewFrame::kFarPixels;
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int32_t> columns[] = {
        {10, 0},     {14, 200},   {18, 400},      {10.019, 0}, {9.99, 0},      {9.97, -1},
        {12.039, 101}, {1e300, kFar}, {-1e300, -kFar}, {inf, kFar}, {std::nan(""), -kFar},
    };
    for (const auto& [lon, x] : columns) EXPECT_EQ(frame.LongToX(lon), x) << lon;
    const std::pair<double, std::int32_t> rows[] = {
        {48, 0}, {44, 200}, {40, 400}, {40.019, 400}, {39.99, 400}, {47.999, 1}, {1e300, 400 - kFar}, {-1e300, 400 + kFar},
    };
    for (const auto& [lat, y] : rows) EXPECT_EQ(frame.LatToY(lat), y) << lat;
    EXPECT_DOUBLE_EQ(frame.XToLong(0), 10);
    EXPECT_DOUBLE_EQ(frame.XToLong(100), 12);
    EXPECT_DOUBLE_EQ(frame.YToLat(0), 48);
    EXPECT_DOUBLE_EQ(frame.YToLat(300), 42);
}

TEST(PreviewOutline, InvertsGreenAndBlueAlongTheEdgesAndTheCross) {
    const PreviewFrame frame = SquareFrame();
    RgbImage image(400, 400, 0x402010);
    DrawOutline(image, OutlineFor(frame, 45, 43, 13, 15, 13, 15));
    const std::uint32_t inverted = 0xbfdf10;
    EXPECT_EQ(image.At(150, 150), inverted);  // the north-west corner
    EXPECT_EQ(image.At(249, 150), inverted);
    EXPECT_EQ(image.At(250, 150), inverted);  // the north-east corner, drawn by the eastern edge
    EXPECT_EQ(image.At(150, 249), inverted);
    EXPECT_EQ(image.At(151, 151), 0x402010u);
    EXPECT_EQ(image.At(190, 200), inverted);  // the cross, 10 pixels west of the centre
    EXPECT_EQ(image.At(210, 200), 0x402010u); // ... its east end not drawn
    EXPECT_EQ(image.At(200, 190), inverted);
    // Both arms of the cross pass the centre: inverted twice, it keeps its colour.
    EXPECT_EQ(image.At(200, 200), 0x402010u);
}

}  // namespace
}  // namespace gw
