#pragma once

#include "core/layout/PixelDrawing.h"

#include <cstdint>

namespace gw {

class PreviewFrame;
class TheaterLayout;

// Moving the theater's centre with the mouse on the map preview. Only points on the
// picture count: a press elsewhere starts nothing, and while dragging, points off the
// picture are passed over until the pointer comes back.
class CenterDrag {
public:
    // Left button down at p (picture pixels); true when p lies on the picture, which
    // starts a drag.
    bool OnButtonDown(PixelPoint p, std::int32_t width, std::int32_t height);
    // The pointer moved to p; true when a drag is under way and p lies on the picture.
    bool OnMouseMove(PixelPoint p, std::int32_t width, std::int32_t height) const;
    // Left button up: the drag, if any, ends.
    void OnButtonUp() { m_dragging = false; }

    bool dragging() const { return m_dragging; }

    static bool OnPicture(PixelPoint p, std::int32_t width, std::int32_t height) {
        return p.x >= 0 && p.y >= 0 && p.x < width && p.y < height;
    }

private:
    bool m_dragging = false;
};

// Puts the theater's centre at picture pixel p, through the preview's mapping (longitude
// from x, latitude from y), and recalculates the layout.
void MoveCenterTo(TheaterLayout& layout, const PreviewFrame& frame, PixelPoint p);

}  // namespace gw
