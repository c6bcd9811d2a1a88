#include "core/generate/TerrainPath.h"

#include "core/generate/L2Writer.h"
#include "core/util/Text.h"

namespace gw {

Status CheckTerrainPath(const std::string& terrainPath) {
    if (IndexPathFor(terrainPath)) return Status::Ok();
    return Status::InvalidArgument(FileNameOf(terrainPath) +
                                   ": the terrain file's name must contain \".l2\", after which every file of the "
                                   "theater is named");
}

bool NamesOnlyTerrainFiles(const std::string& terrainPath) {
    return IndexPathFor(terrainPath).has_value() && !OutputPathFor(terrainPath, ".o2").has_value();
}

}  // namespace gw
