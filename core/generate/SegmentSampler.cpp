#include "core/generate/SegmentSampler.h"

#include "core/document/GridwrightDoc.h"
#include "core/layout/TheaterLayout.h"

#include <cmath>

namespace gw {
namespace {
constexpr double kOneSixtieth = 0.016666666666666666;
}

SegmentSampler::SegmentSampler(const CGridwrightDoc& doc, const TheaterLayout& layout)
    : m_doc(doc),
      m_centerLong(layout.m_centerLong),
      m_latSpan(layout.m_resolution * 4 * kOneSixtieth / layout.m_unitScale),
      m_rowLat(static_cast<std::size_t>(layout.m_segmentsY) * kSegmentTiles),
      m_rowCos(m_rowLat.size()),
      m_columnOffset(static_cast<std::size_t>(layout.m_segmentsX) * kSegmentTiles) {
    const double r = layout.m_resolution;
    const double f = layout.m_unitScale;
    const double centerRow = (layout.m_segmentsY / 2) * kSegmentTiles * r * 4;
    const double centerColumn = (layout.m_segmentsX / 2) * kSegmentTiles * r * 4;
    for (std::size_t y = 0; y < m_rowLat.size(); ++y) {
        const int row = static_cast<int>(y);
        m_rowLat[y] = layout.m_centerLat - ((row * r * 4) - centerRow) * kOneSixtieth / f;
        m_rowCos[y] = std::cos(m_rowLat[y] * kDegToRad);
    }
    for (std::size_t x = 0; x < m_columnOffset.size(); ++x) {
        const int column = static_cast<int>(x);
        m_columnOffset[x] = ((column * r * 4) - centerColumn) * kOneSixtieth / f;
    }
}

void SegmentSampler::SampleSegment(int i, int j, std::int16_t (&elevations)[kTilesPerSegment]) const {
    std::int16_t* out = elevations;
    const double* columnOffset = &m_columnOffset[static_cast<std::size_t>(kSegmentTiles) * i];
    for (int y = kSegmentTiles - 1; y >= 0; --y) {
        const std::size_t row = static_cast<std::size_t>(kSegmentTiles) * j + y;
        const double lat = m_rowLat[row];
        const double cosLat = m_rowCos[row];
        const double longSpan = m_latSpan / cosLat;
        for (int x = 0; x < kSegmentTiles; ++x) {
            *out++ = m_doc.SampleElevation(lat, m_centerLong + columnOffset[x] / cosLat, m_latSpan, longSpan);
        }
    }
}

}  // namespace gw
