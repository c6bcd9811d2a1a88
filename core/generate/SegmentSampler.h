#pragma once

#include <cstdint>

namespace gw {

class CGridwrightDoc;
class TheaterLayout;

constexpr int kSegmentTiles = 16;
constexpr int kTilesPerSegment = kSegmentTiles * kSegmentTiles;

// Samples the theater's tiles from the document. Tiles are 4 x resolution apart;
// the tile in row (segmentsY / 2) x 16 lies on the centre latitude and the tile in
// column (segmentsX / 2) x 16 on the centre longitude.
class SegmentSampler {
public:
    // Both must outlive the sampler; the layout is read as it stands now.
    SegmentSampler(const CGridwrightDoc& doc, const TheaterLayout& layout);

    // The 256 elevations of segment column i (from the west), row j (from the north) in
    // block order: tile row 15 (the southernmost) first, each row from west to east.
    void SampleSegment(int i, int j, std::int16_t (&elevations)[kTilesPerSegment]) const;

private:
    const CGridwrightDoc& m_doc;
    double m_centerLat;
    double m_centerLong;
    double m_resolution;
    double m_unitScale;
    double m_latSpan;       // degrees of latitude between tile rows
    double m_centerRowOffset;  // H x resolution x 4
    double m_centerColOffset;  // W x resolution x 4
};

}  // namespace gw
