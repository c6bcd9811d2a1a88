#pragma once

#include "core/util/Status.h"

#include <cstddef>
#include <string>

namespace gw {

// Reads the whole regular file at path into bytes. A file larger than maxBytes is
// refused before anything is read (and so is one that grows past it while read), the
// reason naming what the file was taken for (kind: "a DEM header", say); a
// read error is a failure, never taken for the end of the file. bytes is left empty
// on failure.
Status ReadSmallFile(const std::string& path, std::size_t maxBytes, const char* kind, std::string& bytes);

}  // namespace gw
