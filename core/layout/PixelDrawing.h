#pragma once

#include "core/layout/RgbImage.h"

#include <cstdint>

namespace gw {

// A pixel position; x grows to the east (right), y to the south (down).
struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// How a pen combines with the pixels it covers.
enum class PenMode {
    kCopy,    // the pixel takes the pen's colour
    kNotXor,  // the pixel becomes the inverse of (pen XOR pixel): a second pass restores it
};

struct Pen {
    std::uint32_t colour = 0;
    PenMode mode = PenMode::kCopy;
};

// Draws the one-pixel line from `from` towards `to`; `to` itself is not drawn, so a
// polyline covers each joint once and a line to its own start draws nothing. The line
// steps one pixel along its longer axis and rounds the other axis to the nearest pixel
// (halves away from `from`). Pixels outside the image are skipped: those inside are
// exactly the ones the whole line covers, however far outside its ends lie.
void DrawLine(RgbImage& image, PixelPoint from, PixelPoint to, Pen pen);

// Fills the rectangle from (left, top) to (right, bottom), both corners included, with
// `colour`, clipped to the image.
void FillRect(RgbImage& image, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
              std::uint32_t colour);

}  // namespace gw
