#pragma once

#include "core/layout/RgbImage.h"

#include <QImage>

namespace gw {

// The picture as Qt shows it: the same pixels, in the screen's 32-bit format.
QImage ToQImage(const RgbImage& picture);

}  // namespace gw
