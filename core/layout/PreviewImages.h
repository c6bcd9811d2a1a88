#pragma once

#include "core/features/E00Rules.h"
#include "core/features/Feature.h"
#include "core/layout/PreviewFrame.h"
#include "core/layout/RgbImage.h"

#include <cstdint>
#include <vector>

namespace gw {

class CGridwrightDoc;
class HeightTable;

// The elevation picture: pixel (x, y) shows the post ElevationAtPixel gives, in the
// height table's colour for it.
RgbImage BuildElevationImage(const CGridwrightDoc& doc, const HeightTable& heights, std::int32_t width,
                             std::int32_t height);

// The post pixel (x, y) of a width x height picture shows: the one at the
// single-precision fractions x / width and y / height of the raster.
std::int16_t ElevationAtPixel(const CGridwrightDoc& doc, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height);

// The feature overlay: black, with each feature drawn in list order in its rule's
// colour, placed with the frame: a one-pixel line through its points (the last point
// itself not drawn) and, for a feature of a label rule, a 3 x 3 square centred on each
// point. Features whose rule is no longer in the table are left out.
RgbImage BuildOverlayImage(const std::vector<Feature>& features, const E00Rules& rules, const PreviewFrame& frame,
                           std::int32_t width, std::int32_t height);

// Lays the overlay on the picture: every overlay pixel that is not black replaces the
// picture's pixel at the same place; black overlay pixels leave the picture showing.
void ApplyOverlay(RgbImage& picture, const RgbImage& overlay);

}  // namespace gw
