#pragma once

#include "core/util/Status.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gw {

// The settings of a DEM header file (".hdr"): the raster's extent in degrees, its size
// in posts and the unit of its values. Text fields are empty until the first read.
struct DemHeader {
    std::string file_title;
    std::string data_type;
    std::string grid_cell_registration;
    std::string map_projection;
    double left_map_x = 0.0;
    double right_map_x = 0.0;
    double upper_map_y = 0.0;
    double lower_map_y = 0.0;
    std::int32_t number_of_rows = 0;
    std::int32_t number_of_columns = 0;
    double grid_size = 0.0;
    std::string elev_m_unit;
    std::int32_t elev_m_min = 0;
    std::int32_t elev_m_max = 0;
    std::int32_t elev_m_missing_flag = 0;
};

// Stores every key's default text into its field.
void ApplyHeaderDefaults(DemHeader& header);

// Applies one header line ("key = value"). A line without a key and a value, with a key
// that no table row matches, or with a key or value longer than 1023 characters
// changes nothing; false then.
bool ApplyHeaderLine(DemHeader& header, std::string_view line);

// Headers are small text files; anything larger is refused unread.
constexpr std::size_t kMaxHeaderBytes = 1 << 20;

// Defaults, then every line of the file at path (a UTF-8 byte-order mark before the
// first line is skipped). Fails, naming the file, when it cannot be opened or read,
// is larger than kMaxHeaderBytes, or has no line that sets a key of the table ("no DEM
// keys": an empty file, a raster, an image or another program's header); header then
// holds the defaults and whatever lines were applied.
Status ReadDemHeader(const std::string& path, DemHeader& header);

// Whether the header describes a raster that can be read: at least one row and one
// column, and finite extents whose width and height are positive and finite. The
// reason names the setting that is wrong.
Status CheckDemHeader(const DemHeader& header);

// The raster's path: every ".hdr" (lower case only) in the header's file name replaced
// by ".bin"; the folder stays.
std::string RasterPathFor(const std::string& headerPath);

// The factor from raster units to feet: the float nearest 3.28 for "meters", 1 for
// "feet" (either compared without regard to case); nothing for any other unit.
std::optional<float> UnitFactorFor(std::string_view unit);

}  // namespace gw
