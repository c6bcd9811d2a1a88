#include "core/layout/CenterDrag.h"

#include "core/layout/PreviewFrame.h"
#include "core/layout/TheaterLayout.h"

namespace gw {

bool CenterDrag::OnButtonDown(PixelPoint p, std::int32_t width, std::int32_t height) {
    if (!OnPicture(p, width, height)) return false;
    m_dragging = true;
    return true;
}

bool CenterDrag::OnMouseMove(PixelPoint p, std::int32_t width, std::int32_t height) const {
    return m_dragging && OnPicture(p, width, height);
}

void MoveCenterTo(TheaterLayout& layout, const PreviewFrame& frame, PixelPoint p) {
    layout.m_centerLong = frame.XToLong(p.x);
    layout.m_centerLat = frame.YToLat(p.y);
    layout.Recalculate();
}

}  // namespace gw
