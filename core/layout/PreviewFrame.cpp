#include "core/layout/PreviewFrame.h"

#include "core/layout/HeightTable.h"

#include <algorithm>

namespace gw {
namespace {

// trunc(value) held within kFarPixels of 0; NaN goes to the negative side.
std::int32_t TruncNear(double value) {
    constexpr double kFar = PreviewFrame::kFarPixels;
    if (!(value > -kFar)) return -PreviewFrame::kFarPixels;
    if (value >= kFar) return PreviewFrame::kFarPixels;
    return static_cast<std::int32_t>(value);
}

bool HasScale(std::int32_t pixels, double span) { return pixels != 0 && span != 0.0; }

}  // namespace

void PreviewFrame::SetFrame(double refLat, double refLong, double spanLong, double spanLat) {
    m_refLat = refLat;
    m_refLong = refLong;
    m_spanLong = spanLong;
    m_spanLat = spanLat;
}

void PreviewFrame::SetImageSize(std::int32_t width, std::int32_t height) {
    m_imageWidth = std::clamp(width, 0, kMaxPreviewSide);
    m_imageHeight = std::clamp(height, 0, kMaxPreviewSide);
}

std::int32_t PreviewFrame::LongToX(double lon) const {
    if (!HasScale(m_imageWidth, m_spanLong)) return 0;
    return TruncNear((lon - m_refLong + m_spanLong * 0.5) / m_spanLong * m_imageWidth);
}

std::int32_t PreviewFrame::LatToY(double lat) const {
    if (!HasScale(m_imageHeight, m_spanLat)) return 0;
    return m_imageHeight - TruncNear((lat - m_refLat + m_spanLat * 0.5) / m_spanLat * m_imageHeight);
}

double PreviewFrame::XToLong(std::int32_t x) const {
    if (!HasScale(m_imageWidth, m_spanLong)) return m_refLong;
    return x * m_spanLong / m_imageWidth - m_spanLong * 0.5 + m_refLong;
}

double PreviewFrame::YToLat(std::int32_t y) const {
    if (!HasScale(m_imageHeight, m_spanLat)) return m_refLat;
    return (std::int64_t{m_imageHeight} - y) * m_spanLat / m_imageHeight - m_spanLat * 0.5 + m_refLat;
}

PreviewOutline OutlineFor(const PreviewFrame& frame, double northLat, double southLat, double northWestLong,
                          double northEastLong, double southWestLong, double southEastLong) {
    const std::int32_t north = frame.LatToY(northLat), south = frame.LatToY(southLat);
    PreviewOutline outline;
    outline.corners = {PixelPoint{frame.LongToX(northWestLong), north},
                       PixelPoint{frame.LongToX(northEastLong), north},
                       PixelPoint{frame.LongToX(southWestLong), south},
                       PixelPoint{frame.LongToX(southEastLong), south}};
    outline.center = {frame.LongToX(northWestLong + (northEastLong - northWestLong) * 0.5),
                      frame.LatToY(southLat + (northLat - southLat) * 0.5)};
    return outline;
}

void DrawOutline(RgbImage& image, const PreviewOutline& outline) {
    const Pen pen{Rgb(255, 0, 0), PenMode::kNotXor};
    const auto& [northWest, northEast, southWest, southEast] = outline.corners;
    DrawLine(image, northWest, northEast, pen);
    DrawLine(image, northEast, southEast, pen);
    DrawLine(image, southEast, southWest, pen);
    DrawLine(image, southWest, northWest, pen);
    const PixelPoint c = outline.center;
    DrawLine(image, {c.x - 10, c.y}, {c.x + 10, c.y}, pen);
    DrawLine(image, {c.x, c.y - 10}, {c.x, c.y + 10}, pen);
}

}  // namespace gw
