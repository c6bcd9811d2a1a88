#pragma once

#include "core/util/Status.h"

#include <array>
#include <cstdint>

namespace gw {

struct PreviewSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PreviewSize&) const = default;
};

// The Preview Size dialog's arithmetic: the preview `current`, given a new height,
// keeps its proportions: width = height * (current width / current height), truncated
// toward zero. On success `resized` holds the new size. Refused, saying why and leaving
// `resized` alone, when the current preview has no height to take proportions from or
// when a side of the result would be below 1 (a picture without pixels has no scale to
// map degrees with) or above kMaxPreviewSide.
Status ResizePreview(PreviewSize current, std::int32_t height, PreviewSize& resized);

// The map's zoom steps: the preview heights Zoom In and Zoom Out go through.
inline constexpr std::array<std::int32_t, 13> kZoomHeights = {64,  96,   128,  192,  256,  384, 512,
                                                              768, 1024, 1536, 2048, 3072, 4096};

// Zoom In (direction > 0) or Zoom Out (direction < 0): the preview `current` takes the
// next height of kZoomHeights above (or below) its own height, a height between two
// steps going to the nearer one in that direction, and keeps its proportions as
// ResizePreview keeps them. Refused, leaving `zoomed` alone, past either end of the
// steps or where ResizePreview refuses the height.
Status ZoomPreview(PreviewSize current, int direction, PreviewSize& zoomed);

}  // namespace gw
