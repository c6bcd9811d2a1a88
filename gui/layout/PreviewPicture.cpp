#include "gui/layout/PreviewPicture.h"

namespace gw {

QImage ToQImage(const RgbImage& picture) {
    if (picture.width < 1 || picture.height < 1) return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* source = &picture.pixels[static_cast<std::size_t>(y) * picture.width];
        for (std::int32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t colour = source[x];
            line[x] = qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
        }
    }
    return image;
}

}  // namespace gw
