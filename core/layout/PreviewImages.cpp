#include "core/layout/PreviewImages.h"

#include "core/dem/SparseReads.h"
#include "core/document/GridwrightDoc.h"
#include "core/layout/HeightTable.h"

#include <algorithm>

namespace gw {

std::int16_t ElevationAtPixel(const CGridwrightDoc& doc, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t height) {
    return doc.GetElevationAtFraction(static_cast<float>(x) / static_cast<float>(width),
                                      static_cast<float>(y) / static_cast<float>(height));
}

RgbImage BuildElevationImage(const CGridwrightDoc& doc, const HeightTable& heights, std::int32_t width,
                             std::int32_t height) {
    RgbImage image(width, height);
    const ScopedSparseReads sparse(doc.raster());
    for (std::int32_t y = 0; y < image.height; ++y) {
        for (std::int32_t x = 0; x < image.width; ++x) {
            image.At(x, y) = heights.LookupColour(ElevationAtPixel(doc, x, y, image.width, image.height));
        }
    }
    return image;
}

RgbImage BuildOverlayImage(const std::vector<Feature>& features, const E00Rules& rules, const PreviewFrame& frame,
                           std::int32_t width, std::int32_t height) {
    RgbImage image(width, height);
    for (const Feature& feature : features) {
        const E00Rule* rule = RuleAt(rules, feature.ruleIndex);
        if (!rule) continue;
        const std::uint32_t colour = rule->Colour & 0xffffffu;
        const Pen pen{colour};
        PixelPoint previous;
        for (std::size_t i = 0; i < feature.points.size(); ++i) {
            const PixelPoint p{frame.LongToX(feature.points[i].lon), frame.LatToY(feature.points[i].lat)};
            if (i > 0) DrawLine(image, previous, p, pen);
            if (rule->Label != 0) {
                FillRect(image, std::int64_t{p.x} - 1, std::int64_t{p.y} - 1, std::int64_t{p.x} + 1,
                         std::int64_t{p.y} + 1, colour);
            }
            previous = p;
        }
    }
    return image;
}

void ApplyOverlay(RgbImage& picture, const RgbImage& overlay) {
    const std::int32_t width = std::min(picture.width, overlay.width);
    const std::int32_t height = std::min(picture.height, overlay.height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            if (const std::uint32_t pixel = overlay.At(x, y); pixel != 0) picture.At(x, y) = pixel;
        }
    }
}

}  // namespace gw
