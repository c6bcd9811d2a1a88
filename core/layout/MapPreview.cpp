#include "core/layout/MapPreview.h"

#include "core/layout/PreviewImages.h"

namespace gw {

void MapPreview::SetPicture(RgbImage picture) {
    m_picture = std::move(picture);
    m_frame.SetImageSize(m_picture.width, m_picture.height);
}

void MapPreview::SetOutline(double northLat, double southLat, double northWestLong, double northEastLong,
                            double southWestLong, double southEastLong) {
    m_outline = OutlineFor(m_frame, northLat, southLat, northWestLong, northEastLong, southWestLong, southEastLong);
}

RgbImage MapPreview::Paint() const {
    RgbImage shown = m_picture;
    if (m_drawFeatures && m_overlay) ApplyOverlay(shown, *m_overlay);
    if (m_outline) DrawOutline(shown, *m_outline);
    return shown;
}

}  // namespace gw
