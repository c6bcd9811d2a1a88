#include "core/layout/TheaterTiles.h"

#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"

#include <cmath>

namespace gw {

TheaterTiles::TheaterTiles(const TheaterLayout& layout)
    : m_tilesX(kSegmentTiles * layout.m_segmentsX),
      m_tilesY(kSegmentTiles * layout.m_segmentsY),
      m_width(m_tilesX * layout.m_resolution * 4.0),
      m_height(m_tilesY * layout.m_resolution * 4.0),
      m_unitScale(layout.m_unitScale),
      m_centerLat(layout.m_centerLat),
      m_centerLong(layout.m_centerLong) {}

std::optional<TheaterTiles::Tile> TheaterTiles::TileOf(double lat, double lon) const {
    const double x = std::cos(lat * kDegToRad) * (lon - m_centerLong) * m_unitScale * 60 + m_width * 0.5;
    const double y = (lat - m_centerLat) * m_unitScale * 60 + m_height * 0.5;
    if (!(0 <= y && y <= m_height && 0 <= x && x <= m_width)) return std::nullopt;
    return Tile{TruncToInt32(x / m_width * m_tilesX), TruncToInt32(y / m_height * m_tilesY)};
}

}  // namespace gw
