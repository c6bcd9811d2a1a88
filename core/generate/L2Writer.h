#pragma once

#include "core/generate/GenerateContext.h"
#include "core/generate/SegmentSampler.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace gw {

// Writes the tile file at terrainPath and the index file beside it (".l2", or failing
// that ".L2", replaced by ".o2"): every distinct 16 x 16 segment block once, in the
// order of first occurrence (segment rows from the south, segments from the west), and
// for every segment the offset of its block. Fills mea when given and sets results.
// Blocks are built on `workers` threads; the files do not depend on their number.
// Cancelling after a segment row closes both files as they stand.
WriteResult WriteL2File(const GenerateContext& context, bool large, const std::string& terrainPath,
                        MeaGrid* mea, TerrainResults& results, unsigned workers);

// The index file's path: ".l2", or failing that ".L2", replaced by ".o2" in the file
// name; nothing when the file name holds neither.
std::optional<std::string> IndexPathFor(const std::string& terrainPath);

// The highest elevation, at least 0, of each 8 x 8 quarter of a segment's tiles (rows of
// 16 from its south-west corner): south-west, south-east, north-west, north-east. These
// are the segment's four cells of the MEA grid.
std::array<std::int16_t, 4> QuarterMaxima(const std::int16_t (&elevations)[kTilesPerSegment]);

// The number of worker threads the writers use by default.
unsigned DefaultWorkerCount();

}  // namespace gw
