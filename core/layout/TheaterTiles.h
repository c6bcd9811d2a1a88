#pragma once

#include <cstdint>
#include <optional>
#include <utility>

namespace gw {

class TheaterLayout;

// Where points fall on the theater's tile grid: columns from the western edge, rows
// from the southern edge, with a nautical mile one minute of latitude, or of longitude
// times the cosine of the latitude.
class TheaterTiles {
public:
    using Tile = std::pair<std::int32_t, std::int32_t>;  // column, row

    // Reads the layout's segment counts, resolution, unit and centre as they stand now.
    explicit TheaterTiles(const TheaterLayout& layout);

    // The tile of a point in degrees; none off the theater. A point on the northern or
    // eastern edge gets the row or column one past the last.
    std::optional<Tile> TileOf(double lat, double lon) const;

    std::int32_t tilesX() const { return m_tilesX; }
    std::int32_t tilesY() const { return m_tilesY; }

private:
    std::int32_t m_tilesX;
    std::int32_t m_tilesY;
    double m_width;   // in the layout's unit
    double m_height;
    double m_unitScale;
    double m_centerLat;
    double m_centerLong;
};

}  // namespace gw
