#pragma once

#include "core/generate/GenerateContext.h"

#include <string>

namespace gw {

// Writes one text file per E00 rule that has features on the theater, named with the
// rule's Keyword (".l2" replaced by "-KEYWORD.tdf"): a line per feature with its
// keyword, its points' tile coordinates (column from the west, row from the south),
// its type and its name. Points off the theater are dropped one by one; features
// whose rule no longer exists are skipped. Files are created when first needed.
WriteResult WriteTdfFiles(const GenerateContext& context, const std::string& terrainPath);

}  // namespace gw
