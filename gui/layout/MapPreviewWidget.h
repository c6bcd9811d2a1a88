#pragma once

#include "core/layout/CenterDrag.h"
#include "core/layout/MapPreview.h"

#include <QImage>
#include <QWidget>

namespace gw {

// The form's map preview (control 1002): shows core's MapPreview, the elevation picture
// with the feature overlay and the theater's outline, at the picture's own size. A left
// press or drag on the picture picks a new theater centre; the form decides what that
// does. Points off the picture pick nothing.
class MapPreviewWidget : public QWidget {
    Q_OBJECT
public:
    explicit MapPreviewWidget(QWidget* parent = nullptr);

    // A new picture: the control takes its size, and the mapping works with it.
    void setPicture(RgbImage picture);
    void setOverlay(RgbImage overlay);
    void setFrame(double refLat, double refLong, double spanLong, double spanLat);
    void setOutline(double northLat, double southLat, double northWestLong, double northEastLong,
                    double southWestLong, double southEastLong);
    // Draw Features: whether the overlay is shown.
    void setDrawFeatures(bool on);
    bool drawFeatures() const { return m_preview.drawFeatures(); }

    const PreviewFrame& frame() const { return m_preview.frame(); }
    // What the control shows: the picture, the overlay (while drawn) and the outline.
    const QImage& shownImage() const;

    QSize sizeHint() const override;

signals:
    // The pointer pressed, or dragged to, picture pixel `pixel`.
    void centerPicked(QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Changed();
    PixelPoint PixelAt(const QMouseEvent& event) const;

    MapPreview m_preview;
    CenterDrag m_drag;
    // Composed when first asked for after a change, so that the pointer moves of one
    // frame cost one composition.
    mutable QImage m_shown;
    mutable bool m_shownStale = true;
};

}  // namespace gw
