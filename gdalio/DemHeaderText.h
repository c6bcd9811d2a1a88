#pragma once

#include "core/dem/DemHeader.h"

#include <string>
#include <vector>

namespace gw::gdalio {

// The lines of a header file that reads back as header: one "key = value" line for each
// setting, under the keys of the reader's table, numbers in the C locale with every digit
// a double needs. REQUIRES: the text fields hold no line break and do not start with a
// blank (the reader would not read them back).
std::vector<std::string> DemHeaderLines(const DemHeader& header);

}  // namespace gw::gdalio
