#include "core/layout/TheaterLayout.h"

#include "core/document/GridwrightDoc.h"
#include "core/layout/DistanceUnit.h"
#include "core/util/CNumbers.h"
#include "core/util/Text.h"

#include <algorithm>
#include <cmath>

namespace gw {

const double kDegToRad = 3.141592653589793 * 0.005555555555555556;

void TheaterLayout::Recalculate() {
    m_resolution = m_baseResolution * m_unitScale;
    // Wraps like the 32-bit product it is; ValidateForGenerate refuses such counts.
    const auto tiles = [](std::int32_t segments) {
        return static_cast<std::int32_t>(std::uint32_t{kSegmentTiles} * static_cast<std::uint32_t>(segments));
    };
    m_tilesX = tiles(m_segmentsX);
    m_tilesY = tiles(m_segmentsY);
    m_dimensionX = m_tilesX * m_resolution * 4.0;
    m_dimensionY = m_resolution * m_tilesY * 4.0;

    const double halfHeight = m_dimensionY * 0.008333333333333333 / m_unitScale;
    m_northLat = m_centerLat + halfHeight;
    m_southLat = m_centerLat - halfHeight;

    const double halfWidth = m_dimensionX * 0.5 * 0.016666666666666666 / m_unitScale;
    const double northHalf = halfWidth / std::cos(m_northLat * kDegToRad);
    const double southHalf = halfWidth / std::cos(m_southLat * kDegToRad);
    m_northWestLong = m_centerLong - northHalf;
    m_northEastLong = m_centerLong + northHalf;
    m_southWestLong = m_centerLong - southHalf;
    m_southEastLong = m_centerLong + southHalf;
}

void TheaterLayout::SetSegmentsX(std::string_view text) {
    const std::int32_t value = ParseCInt(text);
    if (value == m_segmentsX) return;
    m_segmentsX = value;
    if (m_square) m_segmentsY = value;
    Recalculate();
}

void TheaterLayout::OnSquareClicked(bool checked) {
    m_square = checked;
    if (!m_square) return;
    m_segmentsY = m_segmentsX;
    Recalculate();
}

void TheaterLayout::OnSegmentsYChanged(std::string_view text) {
    if (m_square) return;
    const std::int32_t value = ParseCInt(text);
    if (value == m_segmentsY) return;
    m_segmentsY = value;
    Recalculate();
}

void TheaterLayout::OnCenterLatKillFocus(std::string_view text) {
    m_centerLat = ParseCDouble(text);
    Recalculate();
}

void TheaterLayout::OnCenterLongKillFocus(std::string_view text) {
    m_centerLong = ParseCDouble(text);
    Recalculate();
}

void TheaterLayout::OnUnitSelected(int unitIndex) {
    const DistanceUnit* unit = DistanceUnitAt(unitIndex);
    if (!unit) return;
    m_unitIndex = unitIndex;
    m_unitScale = unit->perNauticalMile;
    Recalculate();
}

void TheaterLayout::OnResolutionChanged(std::string_view text) {
    m_baseResolution = ParseCDouble(text) / m_unitScale;
    Recalculate();
}

void TheaterLayout::OnDocumentUpdate(const CGridwrightDoc& doc) {
    m_title = doc.header().file_title;
    const double width = doc.GetMapWidth();
    const double height = doc.GetMapHeight();
    // A raster without extent (both 0) has no proportions: its preview gets no pixels.
    const auto side = [](double scaled) { return std::isfinite(scaled) ? TruncToInt32(scaled) : 0; };
    if (width < height) {
        m_previewHeight = kDefaultPreviewSide;
        m_previewWidth = side(width * kDefaultPreviewSide / height);
    } else {
        m_previewWidth = kDefaultPreviewSide;
        m_previewHeight = side(height * kDefaultPreviewSide / width);
    }
    m_centerLong = std::floor(doc.GetMapCenterX() * 10000 + 0.5) * 0.0001;
    m_centerLat = std::floor(doc.GetMapCenterY() * 10000 + 0.5) * 0.0001;
    Recalculate();
}

void TheaterLayout::OnInitialUpdate() {
    SetSegmentsX(std::to_string(kDefaultSegments));
    OnSquareClicked(true);
}

Status TheaterLayout::ValidateForGenerate() const {
    const auto segmentsOk = [](std::int32_t n) { return n >= 1 && n <= kMaxSegments; };
    if (!segmentsOk(m_segmentsX) || !segmentsOk(m_segmentsY)) {
        return Status::InvalidArgument("segments must be from 1 to " + std::to_string(kMaxSegments) + ", not " +
                             std::to_string(m_segmentsX) + " x " + std::to_string(m_segmentsY));
    }
    if (!(m_resolution > 0) || !std::isfinite(m_resolution)) {
        return Status::InvalidArgument("the resolution must be above 0, not " + FormatG(m_resolution, 15));
    }
    if (!(std::fabs(m_centerLat) <= 90) || !std::isfinite(m_centerLong)) {
        return Status::InvalidArgument("the centre must lie within 90 degrees of latitude, not " +
                                       FormatG(m_centerLat, 15) + ", " + FormatG(m_centerLong, 15));
    }
    const double figures[] = {m_dimensionX,    m_dimensionY,    m_northLat,       m_southLat,
                              m_northWestLong, m_northEastLong, m_southWestLong, m_southEastLong};
    if (!std::all_of(std::begin(figures), std::end(figures), [](double v) { return std::isfinite(v); })) {
        return Status::InvalidArgument("the resolution " + FormatG(m_resolution, 15) +
                                       " makes the theater's size or corners infinite");
    }
    if (!(m_northLat < 90) || !(m_southLat > -90)) {
        return Status::InvalidArgument("the theater's edges pass a pole (north " + FormatG(m_northLat) + ", south " +
                                       FormatG(m_southLat) + ")");
    }
    return Status::Ok();
}

const char* TheaterLayout::UnitName() const {
    const DistanceUnit* unit = DistanceUnitAt(m_unitIndex);
    return unit ? unit->name : "";
}

SegmentChoices::SegmentChoices() : m_items{"32", "64", "128", "256"} {}

bool SegmentChoices::AddTyped(std::string_view text) {
    if (std::any_of(m_items.begin(), m_items.end(),
                    [&](const std::string& item) { return EqualsNoCase(item, text); })) {
        return false;
    }
    m_items.emplace_back(text);
    return true;
}

}  // namespace gw
