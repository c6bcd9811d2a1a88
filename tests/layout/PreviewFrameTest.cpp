#include "core/layout/PreviewFrame.h"
#include "core/layout/PreviewSize.h"
#include "core/layout/CenterDrag.h"
#include "core/layout/TheaterLayout.h"

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
// outside, and NaN, are held on their side. Pixels map back as the centre drag moves.
TEST(PreviewFrame, MapsPositionsToPixels) {
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
}

TEST(CenterDrag, APressOffThePictureStartsNothing) {
    CenterDrag drag;
    for (const PixelPoint p : {PixelPoint{-1, 0}, PixelPoint{0, -1}, PixelPoint{400, 10}, PixelPoint{10, 300}}) {
        EXPECT_FALSE(drag.OnButtonDown(p, 400, 300));
        EXPECT_FALSE(drag.dragging());
        EXPECT_FALSE(drag.OnMouseMove({10, 10}, 400, 300));
    }
}

TEST(CenterDrag, MovesTheCenterThroughTheMappingAndRecalculates) {
    PreviewFrame frame;
    frame.SetFrame(44, 14, 8, 6);  // 10..18 E, 41..47 N
    frame.SetImageSize(400, 300);
    TheaterLayout layout;
    layout.OnInitialUpdate();
    MoveCenterTo(layout, frame, {100, 75});
    EXPECT_DOUBLE_EQ(layout.m_centerLong, 12.0);
    EXPECT_DOUBLE_EQ(layout.m_centerLat, 45.5);
    EXPECT_DOUBLE_EQ(layout.m_northLat + layout.m_southLat, 2 * 45.5);
    EXPECT_GT(layout.m_northLat, 45.5);
    EXPECT_LT(layout.m_northWestLong, 12.0);
}

// Resizing to a height keeps the proportions, truncating the width; heights below one,
// pictures without pixels and sides past the largest are refused. Zooming steps to the
// next height of the steps in its direction, from on or between them, keeping the
// proportions; past either end, or too wide, it is refused. A refusal leaves the result.
TEST(PreviewSize, ResizingAndZoomingKeepTheProportions) {
    enum How { kResize, kZoom };
    const struct {
        How how;
        PreviewSize current;
        std::int32_t by;      // the height, or the zoom's direction
        PreviewSize result;   // {7, 7}: refused
    } cases[] = {
        {kResize, {400, 300}, 150, {200, 150}},   {kResize, {400, 300}, 151, {201, 151}},
        {kResize, {300, 400}, 800, {600, 800}},   {kResize, {400, 297}, 1, {1, 1}},
        {kResize, {400, 100}, 2048, {8192, 2048}}, {kResize, {400, 300}, 0, {7, 7}},
        {kResize, {400, 300}, INT32_MIN, {7, 7}}, {kResize, {400, 0}, 100, {7, 7}},
        {kResize, {0, 400}, 100, {7, 7}},         {kResize, {1, 400}, 200, {7, 7}},
        {kResize, {400, 300}, kMaxPreviewSide + 1, {7, 7}}, {kResize, {400, 100}, 4000, {7, 7}},
        {kZoom, {400, 300}, +1, {512, 384}},      {kZoom, {400, 300}, -1, {341, 256}},
        {kZoom, {400, 256}, +1, {600, 384}},      {kZoom, {400, 256}, -1, {300, 192}},
        {kZoom, {800, 600}, +1, {1024, 768}},     {kZoom, {100, 64}, -1, {7, 7}},
        {kZoom, {100, 40}, -1, {7, 7}},           {kZoom, {100, 40}, +1, {160, 64}},
        {kZoom, {4096, 4096}, +1, {7, 7}},        {kZoom, {5000, 5000}, -1, {4096, 4096}},
        {kZoom, {4000, 1000}, +1, {4096, 1024}},  {kZoom, {8192, 2048}, +1, {7, 7}},
    };
    for (const auto& c : cases) {
        PreviewSize result{7, 7};
        const Status status = c.how == kResize ? ResizePreview(c.current, c.by, result)
                                               : ZoomPreview(c.current, c.by, result);
        EXPECT_EQ(status.ok(), c.result != (PreviewSize{7, 7})) << c.by << ": " << status.message();
        EXPECT_EQ(result, c.result) << c.current.width << " x " << c.current.height << (c.how ? " by " : " to ")
                                    << c.by;
    }
}

}  // namespace
}  // namespace gw
