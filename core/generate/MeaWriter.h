#pragma once

#include "core/generate/GenerateContext.h"

#include <string>

namespace gw {

// Writes the MEA grid (".l2" replaced by ".mea"): its rows from the south, each cell a
// little-endian 16-bit value.
WriteResult WriteMeaFile(const GenerateContext& context, const std::string& terrainPath, const MeaGrid& mea);

}  // namespace gw
