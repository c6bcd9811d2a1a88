#pragma once

#include "core/util/Status.h"

#include <string>

namespace gw {

// Whether a Generate run can name its files after terrainPath: its file name must hold
// ".l2" (every output is named by replacing it), or at least ".L2" (which names the
// tile and index files only). Fails, naming the file, when it holds neither, since the
// run would write nothing at all.
Status CheckTerrainPath(const std::string& terrainPath);

// True when terrainPath's file name holds ".L2" but no ".l2": a run then writes the
// tile and index files and none of the others.
bool NamesOnlyTerrainFiles(const std::string& terrainPath);

}  // namespace gw
