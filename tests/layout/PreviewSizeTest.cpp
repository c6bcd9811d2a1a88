#include "core/layout/PreviewSize.h"
#include "core/layout/RgbImage.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

// The width keeps the proportions, truncated; heights below one, pictures without
// pixels and sides past the largest are refused, leaving the result alone.
TEST(PreviewSize, KeepsTheProportionsTruncatingTheWidth) {
    const struct {
        PreviewSize current;
        std::int32_t height;
        PreviewSize resized;  // {7, 7}: refused
    } cases[] = {
        {{400, 300}, 150, {200, 150}}, {{400, 300}, 151, {201, 151}}, {{300, 400}, 800, {600, 800}},
        {{400, 297}, 1, {1, 1}},       {{400, 100}, 2048, {8192, 2048}}, {{400, 300}, 0, {7, 7}},
        {{400, 300}, INT32_MIN, {7, 7}}, {{400, 0}, 100, {7, 7}},    {{0, 400}, 100, {7, 7}},
        {{1, 400}, 200, {7, 7}},       {{400, 300}, kMaxPreviewSide + 1, {7, 7}}, {{400, 100}, 4000, {7, 7}},
    };
    for (const auto& c : cases) {
        PreviewSize resized{7, 7};
        const Status status = ResizePreview(c.current, c.height, resized);
        EXPECT_EQ(status.ok(), c.resized != (PreviewSize{7, 7})) << c.height << ": " << status.message();
        EXPECT_EQ(resized, c.resized) << c.current.width << " x " << c.current.height << " to " << c.height;
    }
}

// Zooming steps to the next height of the steps in its direction, from on or between
// them, keeping the proportions; past either end, or too wide, it is refused.
TEST(PreviewSize, ZoomStepsThroughTheHeights) {
    const struct {
        PreviewSize current;
        int direction;
        PreviewSize zoomed;  // {7, 7}: refused
    } cases[] = {
        {{400, 300}, +1, {512, 384}},  {{400, 300}, -1, {341, 256}},  {{400, 256}, +1, {600, 384}},
        {{400, 256}, -1, {300, 192}},  {{800, 600}, +1, {1024, 768}}, {{100, 64}, -1, {7, 7}},
        {{100, 40}, -1, {7, 7}},       {{100, 40}, +1, {160, 64}},    {{4096, 4096}, +1, {7, 7}},
        {{5000, 5000}, -1, {4096, 4096}}, {{4000, 1000}, +1, {4096, 1024}}, {{8192, 2048}, +1, {7, 7}},
    };
    for (const auto& c : cases) {
        PreviewSize zoomed{7, 7};
        const Status status = ZoomPreview(c.current, c.direction, zoomed);
        EXPECT_EQ(status.ok(), c.zoomed != (PreviewSize{7, 7})) << status.message();
        EXPECT_EQ(zoomed, c.zoomed) << c.current.width << " x " << c.current.height << " by " << c.direction;
    }
}

}  // namespace
}  // namespace gw
