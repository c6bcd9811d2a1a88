#include "generate/SegmentSampler.h"

#include "dem/GridwrightDoc.h"
#include "layout/TheaterLayout.h"

#include <cmath>

namespace gw {
namespace {
constexpr double kOneSixtieth = 0.016666666666666666;
}

SegmentSampler::SegmentSampler(const CGridwrightDoc& doc, const TheaterLayout& layout)
    : m_doc(doc),
      m_centerLat(layout.m_centerLat),
      m_centerLong(layout.m_centerLong),
      m_resolution(layout.m_resolution),
      m_unitScale(layout.m_unitScale),
      m_latSpan(layout.m_resolution * 4 * kOneSixtieth / layout.m_unitScale),
      m_centerRowOffset((layout.m_segmentsY / 2) * kSegmentTiles * layout.m_resolution * 4),
      m_centerColOffset((layout.m_segmentsX / 2) * kSegmentTiles * layout.m_resolution * 4) {}

void SegmentSampler::SampleSegment(int i, int j, std::int16_t (&elevations)[kTilesPerSegment]) const {
    std::int16_t* out = elevations;
    for (int y = kSegmentTiles - 1; y >= 0; --y) {
        const int row = kSegmentTiles * j + y;
        const double lat =
            m_centerLat - ((row * m_resolution * 4) - m_centerRowOffset) * kOneSixtieth / m_unitScale;
        const double cosLat = std::cos(lat * kDegToRad);
        const double longSpan = m_latSpan / cosLat;
        for (int x = 0; x < kSegmentTiles; ++x) {
            const int column = kSegmentTiles * i + x;
            const double lon = m_centerLong +
                ((column * m_resolution * 4) - m_centerColOffset) * kOneSixtieth / m_unitScale / cosLat;
            *out++ = m_doc.SampleElevation(lat, lon, m_latSpan, longSpan);
        }
    }
}

}  // namespace gw
