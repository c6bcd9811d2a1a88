#pragma once

#include "core/generate/GenerateContext.h"

#include <string>
#include <vector>

namespace gw {

// The 13 lines of the description: name, size, resolution, centre, corners and the
// extremes of the last terrain run, numbers as printf's "%g" writes them.
std::vector<std::string> DescriptionLines(const GenerateContext& context, const TerrainResults& results);

// Writes the description (".l2" replaced by ".txt"), each line ending in CR LF.
WriteResult WriteDescriptionFile(const GenerateContext& context, const TerrainResults& results,
                                 const std::string& terrainPath);

}  // namespace gw
