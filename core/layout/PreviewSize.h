#pragma once

#include "core/util/Status.h"

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

}  // namespace gw
