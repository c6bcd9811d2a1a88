#pragma once

#include "core/generate/GenerateContext.h"

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

// The number of worker threads the writers use by default.
unsigned DefaultWorkerCount();

}  // namespace gw
