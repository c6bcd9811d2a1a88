#pragma once

#include "core/layout/PreviewFrame.h"
#include "core/layout/RgbImage.h"

#include <optional>
#include <utility>

namespace gw {

// What the layout form's map preview shows, without the window: the elevation picture,
// the feature overlay, the pixel mapping and the theater's outline. Paint gives the
// picture the control displays.
class MapPreview {
public:
    // A new picture; the mapping takes its size from now on.
    void SetPicture(RgbImage picture);
    // The overlay shown (when features are drawn) from now on.
    void SetOverlay(RgbImage overlay) { m_overlay = std::move(overlay); }
    void SetFrame(double refLat, double refLong, double spanLong, double spanLat) {
        m_frame.SetFrame(refLat, refLong, spanLong, spanLat);
    }
    // Moves the outline to the theater with these edges, placed with the mapping as it
    // stands now; it stays at these pixels until the next call.
    void SetOutline(double northLat, double southLat, double northWestLong, double northEastLong,
                    double southWestLong, double southEastLong);
    // Draw Features: shows or hides the overlay.
    void ToggleDrawFeatures() { m_drawFeatures = !m_drawFeatures; }

    // The picture, then the overlay's pixels that are not black (while features are
    // drawn and an overlay has been set), then the outline once one has been set.
    RgbImage Paint() const;

    const PreviewFrame& frame() const { return m_frame; }
    const RgbImage& picture() const { return m_picture; }
    const std::optional<PreviewOutline>& outline() const { return m_outline; }
    bool drawFeatures() const { return m_drawFeatures; }

private:
    PreviewFrame m_frame;
    RgbImage m_picture;
    std::optional<RgbImage> m_overlay;
    std::optional<PreviewOutline> m_outline;
    bool m_drawFeatures = true;
};

}  // namespace gw
