#pragma once

#include "core/layout/CenterDrag.h"
#include "core/layout/MapPreview.h"

#include <QImage>
#include <QScrollArea>
#include <QWidget>

namespace gw {

// The form's map preview (control 1002): shows core's MapPreview, the elevation picture
// with the feature overlay and the theater's outline, at the picture's own size. A left
// press or drag on the picture picks a new theater centre; the form decides what that
// does. Points off the picture pick nothing. The control tells where the pointer is on
// the picture, and asks for zooming at the pointer on Ctrl + wheel (one step a notch).
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
    // The pointer is over picture pixel `pixel`, or has left the picture.
    void pointerMoved(QPoint pixel);
    void pointerLeft();
    // Ctrl + wheel: zoom `steps` steps in (steps > 0) or out, keeping point `at` (in the
    // control's pixels) under the pointer.
    void zoomRequested(int steps, QPointF at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Changed();
    PixelPoint PixelAt(const QMouseEvent& event) const;

    MapPreview m_preview;
    CenterDrag m_drag;
    // Composed when first asked for after a change, so that the pointer moves of one
    // frame cost one composition.
    mutable QImage m_shown;
    mutable bool m_shownStale = true;
    // Ctrl + wheel turns not yet a whole notch (fine-grained wheels send parts of one).
    int m_wheelAngle = 0;
};

// The map preview's scroll area on the form: it asks for room for the whole map (where a
// QScrollArea asks for a few dozen lines at most), so that the window holding the form
// grows to show it; what the window has no room for is scrolled to.
class MapScrollArea : public QScrollArea {
    Q_OBJECT
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override;
};

}  // namespace gw
