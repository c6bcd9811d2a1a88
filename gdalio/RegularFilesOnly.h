#pragma once

#include <cstdint>
#include <string>

namespace gw::gdalio {

// Makes GDAL refuse to open, on the program's behalf, anything on the local file system
// that is not a regular file or a folder: a pipe, a socket or a device named inside a
// VRT, behind /vsigzip/ or as a raw band's file would otherwise make it wait for a
// writer that never comes. /vsistdin/ is refused likewise. Each refusal is reported as a
// GDAL failure where GDAL asks for one, in InputFile's words ("P is a pipe, not a
// regular file"), and kept for RefusalsSoFar. Call once, before GDAL opens anything.
void OpenOnlyRegularFiles();

// How many opens were refused since the process began, and the last refusal's text.
struct Refusals {
    std::uint64_t count = 0;
    std::string last;
};
Refusals RefusalsSoFar();

}  // namespace gw::gdalio
