#include "core/layout/PixelDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace gw {
namespace {

constexpr std::uint32_t kInk = 0x123456;

std::vector<PixelPoint> Inked(const RgbImage& image) {
    std::vector<PixelPoint> points;
    for (std::int32_t y = 0; y < image.height; ++y) {
        for (std::int32_t x = 0; x < image.width; ++x) {
            if (image.At(x, y) == kInk) points.push_back({x, y});
        }
    }
    return points;
}

std::vector<PixelPoint> LinePixels(std::int32_t width, std::int32_t height, PixelPoint from, PixelPoint to) {
    RgbImage image(width, height);
    DrawLine(image, from, to, {kInk});
    return Inked(image);
}

// The pixels of a line inside a width x height picture, worked out one column (or row)
// of the picture at a time from the line's definition.
std::vector<PixelPoint> ReferenceLine(std::int32_t width, std::int32_t height, PixelPoint from, PixelPoint to) {
    using Wide = __int128;
    const std::int64_t dx = std::int64_t{to.x} - from.x, dy = std::int64_t{to.y} - from.y;
    const std::int64_t adx = std::max(dx, -dx), ady = std::max(dy, -dy);
    const bool xMajor = adx >= ady;
    const std::int64_t length = xMajor ? adx : ady, rise = xMajor ? ady : adx;
    const std::int64_t majorStart = xMajor ? from.x : from.y, minorStart = xMajor ? from.y : from.x;
    const int majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1, minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    std::vector<PixelPoint> points;
    if (length == 0) return points;
    for (std::int64_t major = 0; major < (xMajor ? width : height); ++major) {
        const std::int64_t step = (major - majorStart) * majorSign;
        if (step < 0 || step >= length) continue;
        const auto k = static_cast<std::int64_t>((Wide{2} * step * rise + length) / (Wide{2} * length));
        const std::int64_t minor = minorStart + minorSign * k;
        const std::int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (x >= 0 && y >= 0 && x < width && y < height) {
            points.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
        }
    }
    std::sort(points.begin(), points.end(), [](PixelPoint a, PixelPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return points;
}

TEST(DrawLine, EndsFarOutsideTheIntegerRangeStillClipExactly) {
    std::mt19937 random(11);
    std::uniform_int_distribution<std::int32_t> anywhere(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> inside(0, 39);
    for (int n = 0; n < 2000; ++n) {
        const PixelPoint far{anywhere(random), anywhere(random)}, near{inside(random), inside(random)};
        ASSERT_EQ(LinePixels(40, 40, far, near), ReferenceLine(40, 40, far, near));
        ASSERT_EQ(LinePixels(40, 40, near, far), ReferenceLine(40, 40, near, far));
    }
    const PixelPoint corner{INT32_MIN, INT32_MIN}, opposite{INT32_MAX, INT32_MAX};
    EXPECT_EQ(LinePixels(40, 40, corner, opposite), ReferenceLine(40, 40, corner, opposite));
    EXPECT_EQ(LinePixels(40, 40, corner, opposite).size(), 40u);
    EXPECT_TRUE(LinePixels(40, 40, {INT32_MIN, 5}, {INT32_MIN, 30}).empty());
}

}  // namespace
}  // namespace gw
