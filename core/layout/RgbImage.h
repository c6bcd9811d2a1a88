#pragma once

#include <cstdint>
#include <vector>

namespace gw {

// A picture of width x height pixels, stored row by row from the top-left corner.
// Each pixel is a colour value as the height table and the E00 rules hold them: red in
// the low byte, then green, then blue, the top byte 0. Black (0) is the transparent
// colour of the feature overlay.
struct RgbImage {
    RgbImage() = default;
    // A picture filled with `colour`; a side below 1 gives a picture without pixels.
    // REQUIRES: width x height pixels fit in memory (callers keep sides to kMaxPreviewSide).
    RgbImage(std::int32_t width, std::int32_t height, std::uint32_t colour = 0);

    bool Contains(std::int64_t x, std::int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // REQUIRES: Contains(x, y).
    std::uint32_t& At(std::int64_t x, std::int64_t y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    std::uint32_t At(std::int64_t x, std::int64_t y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }

    bool operator==(const RgbImage&) const = default;

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// The largest side a preview picture may have: 8192 x 8192 pixels take 256 MiB.
constexpr std::int32_t kMaxPreviewSide = 8192;

constexpr std::uint8_t RedOf(std::uint32_t colour) { return colour & 0xff; }
constexpr std::uint8_t GreenOf(std::uint32_t colour) { return (colour >> 8) & 0xff; }
constexpr std::uint8_t BlueOf(std::uint32_t colour) { return (colour >> 16) & 0xff; }

}  // namespace gw
