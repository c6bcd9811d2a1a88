#include "core/layout/PreviewSize.h"

#include "core/layout/RgbImage.h"
#include "core/util/CNumbers.h"

#include <algorithm>
#include <string>

namespace gw {

Status ResizePreview(PreviewSize current, std::int32_t height, PreviewSize& resized) {
    if (current.height < 1 || current.width < 1) {
        return Status::InvalidArgument("the preview has no proportions to keep (" + std::to_string(current.width) + " x " +
                             std::to_string(current.height) + ")");
    }
    const std::string bounds = " must be from 1 to " + std::to_string(kMaxPreviewSide);
    if (height < 1 || height > kMaxPreviewSide) {
        return Status::InvalidArgument("the preview height" + bounds + ", not " + std::to_string(height));
    }
    const double ratio = static_cast<double>(current.width) / current.height;
    const std::int32_t width = TruncToInt32(height * ratio);
    if (width < 1 || width > kMaxPreviewSide) {
        return Status::InvalidArgument("a height of " + std::to_string(height) + " makes the preview " +
                             std::to_string(width) + " pixels wide; the width" + bounds);
    }
    resized = {width, height};
    return Status::Ok();
}

Status ZoomPreview(PreviewSize current, int direction, PreviewSize& zoomed) {
    const auto* step = direction > 0
                           ? std::upper_bound(kZoomHeights.begin(), kZoomHeights.end(), current.height)
                           : std::lower_bound(kZoomHeights.begin(), kZoomHeights.end(), current.height);
    if (direction > 0 ? step == kZoomHeights.end() : step == kZoomHeights.begin()) {
        return Status::InvalidArgument("the preview is as " + std::string(direction > 0 ? "large" : "small") +
                                       " as zooming makes it");
    }
    return ResizePreview(current, direction > 0 ? *step : *(step - 1), zoomed);
}

}  // namespace gw
