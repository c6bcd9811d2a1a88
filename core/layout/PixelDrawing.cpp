#include "core/layout/PixelDrawing.h"

#include <algorithm>

namespace gw {
namespace {

// Products of two 32-bit spans and a factor of 2 need more than 64 bits.
using Wide = __int128;

Wide FloorDiv(Wide a, Wide b) {  // REQUIRES: b > 0
    const Wide q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

// The values v for which start + sign * v lies in [0, limit).
struct Span {
    std::int64_t lo;
    std::int64_t hi;
};
Span InsideSpan(std::int64_t start, int sign, std::int64_t limit) {
    return sign > 0 ? Span{-start, limit - 1 - start} : Span{start - limit + 1, start};
}

// A line walked along its major axis. Step i, for 0 <= i < length, lies at major
// coordinate majorStart + majorSign * i and minor coordinate minorStart + minorSign * k(i)
// with k(i) = floor((2 * i * rise + length) / (2 * length)): i * rise / length rounded
// to the nearest pixel.
struct Walk {
    std::int64_t majorStart, minorStart;
    int majorSign, minorSign;
    std::int64_t length, rise;           // 0 <= rise <= length, length > 0
    std::int64_t majorLimit, minorLimit;  // the image's size along each axis
    std::int64_t majorStride, minorStride;  // pixel-index distance of one step on each axis

    // The steps that land inside the image, or false when none does.
    bool Clip(std::int64_t& first, std::int64_t& last) const {
        const Span major = InsideSpan(majorStart, majorSign, majorLimit);
        Wide lo = std::max<std::int64_t>(0, major.lo);
        Wide hi = std::min<std::int64_t>(length - 1, major.hi);
        const Span minor = InsideSpan(minorStart, minorSign, minorLimit);
        if (rise == 0) {
            if (minor.lo > 0 || minor.hi < 0) return false;
        } else {
            // k(i) >= K exactly when 2*i*rise >= 2*length*K - length, and k(i) <= K
            // exactly when 2*i*rise < 2*length*K + length.
            const Wide twoLength = Wide{2} * length, twoRise = Wide{2} * rise;
            lo = std::max(lo, CeilDiv(twoLength * minor.lo - length, twoRise));
            hi = std::min(hi, CeilDiv(twoLength * minor.hi + length, twoRise) - 1);
        }
        if (lo > hi) return false;
        first = static_cast<std::int64_t>(lo);
        last = static_cast<std::int64_t>(hi);
        return true;
    }

    template <typename Plot>
    void Run(RgbImage& image, std::int64_t first, std::int64_t last, Plot plot) const {
        const std::int64_t twoLength = 2 * length, twoRise = 2 * rise;
        // Lines that start inside begin at step 0, where k is 0: no wide division.
        std::int64_t k = 0, remainder = length;
        if (first > 0) {
            const Wide numerator = Wide{twoRise} * first + length;
            k = static_cast<std::int64_t>(numerator / twoLength);
            remainder = static_cast<std::int64_t>(numerator % twoLength);
        }
        std::int64_t index = (majorStart + majorSign * first) * majorStride + (minorStart + minorSign * k) * minorStride;
        const std::int64_t majorStep = majorSign * majorStride, minorStep = minorSign * minorStride;
        std::uint32_t* pixels = image.pixels.data();
        for (std::int64_t i = first; i <= last; ++i) {
            plot(pixels[index]);
            index += majorStep;
            remainder += twoRise;
            if (remainder >= twoLength) {
                remainder -= twoLength;
                index += minorStep;
            }
        }
    }
};

}  // namespace

void DrawLine(RgbImage& image, PixelPoint from, PixelPoint to, Pen pen) {
    const std::int64_t dx = std::int64_t{to.x} - from.x, dy = std::int64_t{to.y} - from.y;
    if ((dx == 0 && dy == 0) || image.pixels.empty()) return;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const Walk walk = adx >= ady
                          ? Walk{from.x, from.y, sx, sy, adx, ady, image.width, image.height, 1, image.width}
                          : Walk{from.y, from.x, sy, sx, ady, adx, image.height, image.width, image.width, 1};
    std::int64_t first = 0, last = walk.length - 1;
    if ((!image.Contains(from.x, from.y) || !image.Contains(to.x, to.y)) && !walk.Clip(first, last)) return;
    if (pen.mode == PenMode::kCopy) {
        walk.Run(image, first, last, [colour = pen.colour](std::uint32_t& pixel) { pixel = colour; });
    } else {
        walk.Run(image, first, last,
                 [colour = pen.colour](std::uint32_t& pixel) { pixel = ~(colour ^ pixel) & 0xffffffu; });
    }
}

void FillRect(RgbImage& image, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
              std::uint32_t colour) {
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, std::int64_t{image.width} - 1);
    bottom = std::min<std::int64_t>(bottom, std::int64_t{image.height} - 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        for (std::int64_t x = left; x <= right; ++x) image.At(x, y) = colour;
    }
}

}  // namespace gw
