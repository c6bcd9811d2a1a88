#pragma once

#include "core/dem/DemHeader.h"
#include "core/dem/MappedFile.h"
#include "core/features/E00Reader.h"
#include "core/features/E00Rules.h"
#include "core/features/Feature.h"
#include "core/util/CNumbers.h"
#include "core/util/Status.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gw {

// One open DEM: its header, its raster mapped read-only, and every elevation query.
// Elevations are signed 16-bit feet; negative raster values read as 0, and posts
// outside the raster's rows and columns read as 0. Elevation queries may run on
// several threads at once.
class CGridwrightDoc {
public:
    CGridwrightDoc();
    CGridwrightDoc(const CGridwrightDoc&) = delete;
    CGridwrightDoc& operator=(const CGridwrightDoc&) = delete;

    // Reads the header at path, maps the raster beside it and sets the unit factor.
    // Fails, naming the file and saying why, when the header cannot be read or is no
    // DEM header (ReadDemHeader), describes no readable raster (CheckDemHeader), names
    // no unit of meters or feet, or derives its own path as the raster's; or when the
    // raster cannot be opened or mapped or is shorter than rows x columns posts. An
    // open is all or nothing: after a failure the document is exactly as it was.
    Status OnOpenDocument(const std::string& path);

    // Whether the raster still holds what it held when opened; fails ("the DEM changed
    // while it was read: FILE") when another program shrank or rewrote it since, in
    // which case posts it lost have read as 0. A run that read elevations asks this
    // after reading, before it reports success.
    Status RasterIntact() const;

    std::int16_t GetElevation(int column, int row) const { return PostAt(column, row); }
    // The post at fractions x, y of the raster's width and height.
    std::int16_t GetElevationAtFraction(float x, float y) const;
    // The elevation at lat, long for an output cell latSpan by longSpan degrees: the
    // containing post, blended linearly with the nearer neighbour in each direction
    // in which the cell is finer than the raster.
    inline std::int16_t SampleElevation(double lat, double lon, double latSpan,
                                        double longSpan) const;

    double GetMapWidth() const { return m_header.right_map_x - m_header.left_map_x; }
    double GetMapHeight() const { return m_header.upper_map_y - m_header.lower_map_y; }
    double GetMapCenterX() const {
        return (m_header.right_map_x - m_header.left_map_x) * 0.5 + m_header.left_map_x;
    }
    double GetMapCenterY() const {
        return (m_header.upper_map_y - m_header.lower_map_y) * 0.5 + m_header.lower_map_y;
    }
    // Edges count as inside; NaN is outside.
    bool IsInside(double lat, double lon) const {
        return m_header.left_map_x <= lon && lon <= m_header.right_map_x &&
               m_header.lower_map_y <= lat && lat <= m_header.upper_map_y;
    }

    // The features loaded so far, in load order.
    const std::vector<Feature>& features() const { return m_features; }
    // Appends a feature.
    void AddFeature(Feature feature) { m_features.push_back(std::move(feature)); }
    // Empties the feature list (Delete Features).
    void OnDeleteFeatures() { m_features.clear(); }
    // The rule table was edited: each feature takes its rule's new position, and those
    // whose rule was deleted (or had no row) are dropped. Returns how many were dropped.
    std::size_t RenumberRules(const RuleRenumbering& renumbering);

    // The reader every E00 load parses with; it holds what the last file gave.
    E00Reader& e00() { return m_e00; }
    const E00Reader& e00() const { return m_e00; }

    const DemHeader& header() const { return m_header; }
    const MappedFile& raster() const { return m_raster; }
    float unitFactor() const { return m_unitFactor; }

private:
    // Positions far outside any raster, NaN included, become one that reads as 0.
    static std::int64_t TruncPosition(double value) {
        constexpr double kFar = 4.0e18;
        return value > -kFar && value < kFar ? static_cast<std::int64_t>(value) : -(std::int64_t{1} << 62);
    }

    std::int16_t PostAt(std::int64_t column, std::int64_t row) const {
        if (column < 0 || column >= m_header.number_of_columns || row < 0 ||
            row >= m_header.number_of_rows) {
            return 0;
        }
        const std::uint64_t offset =
            2 * (static_cast<std::uint64_t>(m_header.number_of_columns) * static_cast<std::uint64_t>(row) +
                 static_cast<std::uint64_t>(column));
        const std::uint8_t* post = m_raster.PointerAt(offset);
        if (!post || offset + 2 > m_raster.size()) return 0;
        return m_feet[post[0] | (post[1] << 8)];
    }

    // The elevation along one axis: e0, or e0 blended with the neighbour at offset -1
    // or +1 along that axis (as `neighbour` reads it) when the span is below one post.
    template <typename Neighbour>
    static std::int16_t Blend(double position, double span, std::int32_t count, std::int16_t e0,
                              Neighbour neighbour) {
        if (span >= 1.0) return e0;
        const double d = (position - std::floor(position)) - 0.5;
        const double wSelf = 1.0 - 2.0 * std::fabs(d);
        // West when left of the post's centre, east when right of it; none at the edges.
        const bool west = d < 0 && position >= 1;
        const bool east = d > 0 && position < count - 1;
        if (!west && !east) return e0;
        return NarrowToInt16(TruncToInt32(neighbour(west ? -1 : 1) * (2.0 * std::fabs(d)) + e0 * wSelf));
    }

    E00Reader m_e00;
    std::vector<Feature> m_features;
    DemHeader m_header;
    MappedFile m_raster;
    float m_unitFactor = 1.0f;
    // Feet for every raw 16-bit raster value (index = the value's bit pattern), for
    // m_unitFactor.
    const std::int16_t* m_feet;
};

std::int16_t CGridwrightDoc::SampleElevation(double lat, double lon, double latSpan,
                                             double longSpan) const {
    const double width = GetMapWidth();
    const double height = GetMapHeight();
    const std::int32_t columns = m_header.number_of_columns;
    const std::int32_t rows = m_header.number_of_rows;
    const double colF = (lon - m_header.left_map_x) / width * columns;
    const double spanCols = longSpan / width * columns;
    const double rowF = rows - (lat - m_header.lower_map_y) / height * rows;
    const double spanRows = latSpan / height * rows;
    const std::int64_t col = TruncPosition(colF);
    const std::int64_t row = TruncPosition(rowF);
    const std::int16_t e0 = PostAt(col, row);
    const std::int16_t rx = Blend(colF, spanCols, columns, e0,
                                  [&](int step) { return PostAt(col + step, row); });
    const std::int16_t ry = Blend(rowF, spanRows, rows, e0,
                                  [&](int step) { return PostAt(col, row + step); });
    return NarrowToInt16((rx + ry) / 2);
}

}  // namespace gw
