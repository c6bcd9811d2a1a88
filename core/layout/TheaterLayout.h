#pragma once

#include "core/util/Status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

class CGridwrightDoc;

// Degrees to radians, as the program computes it once at start.
extern const double kDegToRad;

// A segment is kSegmentTiles x kSegmentTiles tiles.
inline constexpr int kSegmentTiles = 16;
// The segments a layout starts with, both ways.
inline constexpr std::int32_t kDefaultSegments = 64;
// The resolution a layout starts with, in nautical miles.
inline constexpr double kDefaultResolutionNm = 0.1348576453577105;
// The longer side of the map preview, in pixels, when a DEM is opened.
inline constexpr std::int32_t kDefaultPreviewSide = 400;

// Where the theater lies and how finely it is cut: the values of the layout form, the
// figures derived from them by Recalculate, and the form's handler rules. Every writer
// reads its geometry from here.
class TheaterLayout {
public:
    TheaterLayout() = default;

    // Derives tiles, dimensions, resolution and the corner coordinates from the
    // segment counts, the base resolution, the unit and the centre.
    void Recalculate();

    // The form's handler rules. Texts are read as C's atoi and atof read them; each
    // rule that changes a value recalculates.
    void SetSegmentsX(std::string_view text);
    void OnSquareClicked(bool checked);
    void OnSegmentsYChanged(std::string_view text);
    void OnCenterLatKillFocus(std::string_view text);
    void OnCenterLongKillFocus(std::string_view text);
    void OnUnitSelected(int unitIndex);
    void OnResolutionChanged(std::string_view text);

    // The document update: the title, the preview size from the raster's extent and
    // the centre moved to the raster's centre rounded to four decimals.
    void OnDocumentUpdate(const CGridwrightDoc& doc);
    // The form's first showing: unit "Nautical Miles", kDefaultSegments segments, Square on.
    void OnInitialUpdate();

    // Whether the writers can build this layout: segment counts from 1 to kMaxSegments,
    // a resolution above 0, a centre within 90 degrees of latitude, finite figures and
    // edges short of the poles.
    Status ValidateForGenerate() const;
    static constexpr std::int32_t kMaxSegments = 4096;

    // The name of the chosen unit.
    const char* UnitName() const;

    std::string m_title;
    std::int32_t m_segmentsX = kDefaultSegments;
    std::int32_t m_segmentsY = kDefaultSegments;
    bool m_square = false;
    std::int32_t m_tilesX = 0;
    std::int32_t m_tilesY = 0;
    double m_dimensionX = 512.0;
    double m_dimensionY = 512.0;
    double m_centerLat = 0.0;
    double m_centerLong = 0.0;
    std::int32_t m_unitIndex = 0;
    double m_unitScale = 1.0;
    double m_baseResolution = kDefaultResolutionNm;
    double m_resolution = kDefaultResolutionNm;
    double m_northLat = 0.0;
    double m_southLat = 0.0;
    double m_northWestLong = 0.0;
    double m_northEastLong = 0.0;
    double m_southWestLong = 0.0;
    double m_southEastLong = 0.0;
    std::int32_t m_previewWidth = 128;
    std::int32_t m_previewHeight = 128;
};

// The segment choices of the form's Segments box: "32", "64", "128", "256", and every
// typed text that no item equals (ASCII case ignored), appended in the order typed.
class SegmentChoices {
public:
    SegmentChoices();
    // Appends text unless an item equals it; true when it was appended.
    bool AddTyped(std::string_view text);
    const std::vector<std::string>& items() const { return m_items; }

private:
    std::vector<std::string> m_items;
};

}  // namespace gw
