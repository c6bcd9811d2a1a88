#pragma once

#include "core/layout/PixelDrawing.h"

#include <array>
#include <cstdint>

namespace gw {

// How the map preview's pixels relate to degrees: a plain scaling (no cosine) of the
// frame's spans onto the picture currently shown, north up, the reference point in the
// middle. Column 0 is the west edge and column `width` the east edge; row 0 is the
// north edge and row `height` the south edge.
class PreviewFrame {
public:
    // The reference frame, as the document update gives it.
    void SetFrame(double refLat, double refLong, double spanLong, double spanLat);
    // The size of the picture currently shown; the mapping always works with it. Sides
    // are held within 0 and kMaxPreviewSide.
    void SetImageSize(std::int32_t width, std::int32_t height);

    // (long - refLong + spanLong / 2) / spanLong * width, truncated toward zero.
    std::int32_t LongToX(double lon) const;
    // height - ((lat - refLat + spanLat / 2) / spanLat * height, truncated toward zero).
    std::int32_t LatToY(double lat) const;
    // x * spanLong / width - spanLong / 2 + refLong.
    double XToLong(std::int32_t x) const;
    // (height - y) * spanLat / height - spanLat / 2 + refLat.
    double YToLat(std::int32_t y) const;

    // An axis without pixels or without span has no scale: it maps every degree to
    // pixel 0 and every pixel to the reference. Positions more than kFarPixels outside
    // the picture (or not a number) are held at kFarPixels outside it, on their side,
    // so that arithmetic on them cannot overflow.
    static constexpr std::int32_t kFarPixels = 1 << 28;

    std::int32_t imageWidth() const { return m_imageWidth; }
    std::int32_t imageHeight() const { return m_imageHeight; }

private:
    std::int32_t m_imageWidth = 0;
    std::int32_t m_imageHeight = 0;
    double m_refLat = 0.0;
    double m_refLong = 0.0;
    double m_spanLong = 0.0;
    double m_spanLat = 0.0;
};

// The theater's outline in picture pixels: the corners north-west, north-east,
// south-west, south-east, and the centre of the cross.
struct PreviewOutline {
    std::array<PixelPoint, 4> corners;
    PixelPoint center;
    bool operator==(const PreviewOutline&) const = default;
};

// The outline of the theater whose edges are given, placed with the frame: corners at
// the edges' longitudes and latitudes, the centre halfway along the northern edge's
// longitudes and halfway between the latitudes.
PreviewOutline OutlineFor(const PreviewFrame& frame, double northLat, double southLat, double northWestLong,
                          double northEastLong, double southWestLong, double southEastLong);

// Draws the closed outline north-west, north-east, south-east, south-west and back, and
// the cross 10 pixels each way from the centre, with a red inverting pen: each pixel
// becomes the inverse of (red XOR pixel), which keeps its red and inverts its green and
// blue. Drawing the same outline twice restores the picture; a pixel that two of the
// lines cover (the middle of the cross) is inverted twice and so keeps its colour.
void DrawOutline(RgbImage& image, const PreviewOutline& outline);

}  // namespace gw
