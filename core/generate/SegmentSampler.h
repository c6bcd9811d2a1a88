#pragma once

#include "core/layout/TheaterLayout.h"

#include <cstdint>
#include <vector>

namespace gw {

class CGridwrightDoc;
class TheaterLayout;

constexpr int kTilesPerSegment = kSegmentTiles * kSegmentTiles;

// Samples the theater's tiles from the document. Tiles are 4 x resolution apart;
// the tile in row (segmentsY / 2) x 16 lies on the centre latitude and the tile in
// column (segmentsX / 2) x 16 on the centre longitude.
class SegmentSampler {
public:
    // Both must outlive the sampler; the layout is read as it stands now, and its
    // segment counts must be positive.
    SegmentSampler(const CGridwrightDoc& doc, const TheaterLayout& layout);

    // The 256 elevations of segment column i (from the west), row j (from the north) in
    // block order: tile row 15 (the southernmost) first, each row from west to east.
    void SampleSegment(int i, int j, std::int16_t (&elevations)[kTilesPerSegment]) const;

private:
    const CGridwrightDoc& m_doc;
    double m_centerLong;
    double m_latSpan;  // degrees of latitude between tile rows
    // By global tile row: the latitude and the cosine of it. By global tile column:
    // the east offset from the centre in degrees at the equator. Each is the same
    // double the per-tile formula gives; they are only worked out once.
    std::vector<double> m_rowLat;
    std::vector<double> m_rowCos;
    std::vector<double> m_columnOffset;
};

}  // namespace gw
