#include "gui/layout/MapPreviewWidget.h"

#include "gui/layout/PreviewPicture.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>

#include <cmath>

namespace gw {

MapPreviewWidget::MapPreviewWidget(QWidget* parent) : QWidget(parent) {
    setFixedSize(0, 0);
    setMouseTracking(true);
}

void MapPreviewWidget::setPicture(RgbImage picture) {
    m_preview.SetPicture(std::move(picture));
    setFixedSize(m_preview.frame().imageWidth(), m_preview.frame().imageHeight());
    Changed();
}

void MapPreviewWidget::setOverlay(RgbImage overlay) {
    m_preview.SetOverlay(std::move(overlay));
    Changed();
}

void MapPreviewWidget::setFrame(double refLat, double refLong, double spanLong, double spanLat) {
    m_preview.SetFrame(refLat, refLong, spanLong, spanLat);
}

void MapPreviewWidget::setOutline(double northLat, double southLat, double northWestLong, double northEastLong,
                                  double southWestLong, double southEastLong) {
    const auto before = m_preview.outline();
    m_preview.SetOutline(northLat, southLat, northWestLong, northEastLong, southWestLong, southEastLong);
    if (m_preview.outline() != before) Changed();
}

void MapPreviewWidget::setDrawFeatures(bool on) {
    if (on == m_preview.drawFeatures()) return;
    m_preview.ToggleDrawFeatures();
    Changed();
}

const QImage& MapPreviewWidget::shownImage() const {
    if (m_shownStale) {
        m_shown = ToQImage(m_preview.Paint());
        m_shownStale = false;
    }
    return m_shown;
}

QSize MapPreviewWidget::sizeHint() const {
    return {m_preview.frame().imageWidth(), m_preview.frame().imageHeight()};
}

void MapPreviewWidget::Changed() {
    m_shownStale = true;
    update();
}

void MapPreviewWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, shownImage());
}

PixelPoint MapPreviewWidget::PixelAt(const QMouseEvent& event) const {
    const QPointF p = event.position();
    return {static_cast<std::int32_t>(std::floor(p.x())), static_cast<std::int32_t>(std::floor(p.y()))};
}

void MapPreviewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const PixelPoint p = PixelAt(*event);
    if (m_drag.OnButtonDown(p, m_preview.frame().imageWidth(), m_preview.frame().imageHeight())) {
        emit centerPicked({p.x, p.y});
    }
}

void MapPreviewWidget::mouseMoveEvent(QMouseEvent* event) {
    const PixelPoint p = PixelAt(*event);
    if (CenterDrag::OnPicture(p, m_preview.frame().imageWidth(), m_preview.frame().imageHeight())) {
        emit pointerMoved({p.x, p.y});
    } else {
        emit pointerLeft();
    }
    if (m_drag.OnMouseMove(p, m_preview.frame().imageWidth(), m_preview.frame().imageHeight())) {
        emit centerPicked({p.x, p.y});
    }
}

void MapPreviewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    m_drag.OnButtonUp();
}

void MapPreviewWidget::wheelEvent(QWheelEvent* event) {
    // Without Ctrl the wheel scrolls the map.
    if (!(event->modifiers() & Qt::ControlModifier)) return QWidget::wheelEvent(event);
    event->accept();
    constexpr int kNotch = 120;
    m_wheelAngle += event->angleDelta().y();
    const int steps = m_wheelAngle / kNotch;
    m_wheelAngle -= steps * kNotch;
    if (steps != 0) emit zoomRequested(steps, event->position());
}

void MapPreviewWidget::leaveEvent(QEvent* event) {
    emit pointerLeft();
    QWidget::leaveEvent(event);
}

QSize MapScrollArea::sizeHint() const {
    if (!widget()) return QScrollArea::sizeHint();
    return widget()->size() + QSize(2 * frameWidth(), 2 * frameWidth());
}

}  // namespace gw
