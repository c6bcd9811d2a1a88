#include "core/layout/RgbImage.h"

namespace gw {

RgbImage::RgbImage(std::int32_t w, std::int32_t h, std::uint32_t colour) {
    if (w < 1 || h < 1) return;
    width = w;
    height = h;
    pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), colour);
}

}  // namespace gw
