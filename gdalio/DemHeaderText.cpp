#include "gdalio/DemHeaderText.h"

#include "core/util/CNumbers.h"

namespace gw::gdalio {

std::vector<std::string> DemHeaderLines(const DemHeader& header) {
    const auto line = [](const char* key, const std::string& value) { return std::string(key) + " = " + value; };
    const auto number = [&](const char* key, double value) { return line(key, FormatShortest(value)); };
    const auto whole = [&](const char* key, std::int32_t value) { return line(key, std::to_string(value)); };
    return {
        line("file_title", header.file_title),
        line("data_type", header.data_type),
        line("grid_cell_registration", header.grid_cell_registration),
        line("map_projection", header.map_projection),
        number("left_map_x", header.left_map_x),
        number("right_map_x", header.right_map_x),
        number("upper_map_y", header.upper_map_y),
        number("lower_map_y", header.lower_map_y),
        whole("number_of_rows", header.number_of_rows),
        whole("number_of_columns", header.number_of_columns),
        number("grid_size", header.grid_size),
        line("elev_m_unit", header.elev_m_unit),
        whole("elev_m_min", header.elev_m_min),
        whole("elev_m_max", header.elev_m_max),
        whole("elev_m_missing_flag", header.elev_m_missing_flag),
    };
}

}  // namespace gw::gdalio
