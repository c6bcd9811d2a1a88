#include "dem/DemHeader.h"

#include "util/CNumbers.h"
#include "util/Text.h"

#include <algorithm>
#include <iterator>

namespace gw {
namespace {

using H = DemHeader;
constexpr HeaderKeyDef Float(const char* key, double H::*field, const char* def) {
    return {key, HeaderKeyDef::kFloat, field, nullptr, nullptr, def};
}
constexpr HeaderKeyDef Integer(const char* key, std::int32_t H::*field, const char* def) {
    return {key, HeaderKeyDef::kInteger, nullptr, field, nullptr, def};
}
constexpr HeaderKeyDef Text(const char* key, std::string H::*field, const char* def) {
    return {key, HeaderKeyDef::kText, nullptr, nullptr, field, def};
}

const HeaderKeyDef kKeys[] = {
    Text("file_title", &H::file_title, "unk"),
    Text("data_type", &H::data_type, "raster"),
    Text("grid_cell_registration", &H::grid_cell_registration, "center"),
    Text("map_projection", &H::map_projection, "Lat/Lon"),
    Float("left_map_x", &H::left_map_x, "0"),
    Float("right_map_x", &H::right_map_x, "0"),
    Float("upper_map_y", &H::upper_map_y, "0"),
    Float("lower_map_y", &H::lower_map_y, "0"),
    Integer("number_of_rows", &H::number_of_rows, "0"),
    Integer("number_of_columns", &H::number_of_columns, "0"),
    Float("grid_size", &H::grid_size, "0.00833333333"),
    Text("elev_m_unit", &H::elev_m_unit, "meters"),
    Integer("elev_m_minimum", &H::elev_m_min, "0"),
    Integer("elev_m_min", &H::elev_m_min, "0"),
    Integer("elev_m_max", &H::elev_m_max, "0"),
    Integer("elev_m_maximum", &H::elev_m_max, "0"),
    Integer("elev_m_missing_flag", &H::elev_m_missing_flag, "0"),
};

constexpr std::size_t kMaxKeyOrValue = 1023;

void StoreField(DemHeader& header, const HeaderKeyDef& def, std::string_view text) {
    switch (def.type) {
        case HeaderKeyDef::kFloat: header.*def.floatField = ParseCDouble(text); break;
        case HeaderKeyDef::kInteger: header.*def.integerField = ParseCInt(text); break;
        case HeaderKeyDef::kText: header.*def.textField = text; break;
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t SkipBlanks(std::string_view line, std::size_t i) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i;
}

}  // namespace

const HeaderKeyDef* HeaderKeyTable(std::size_t& count) {
    count = std::size(kKeys);
    return kKeys;
}

void ApplyHeaderDefaults(DemHeader& header) {
    for (const HeaderKeyDef& def : kKeys) StoreField(header, def, def.defaultText);
}

bool ApplyHeaderLine(DemHeader& header, std::string_view line) {
    // The scan "%s = %[^\n]": a run of non-blanks, blanks, '=', blanks, then the rest.
    std::size_t i = SkipBlanks(line, 0);
    const std::size_t keyStart = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    const std::string_view key = line.substr(keyStart, i - keyStart);
    i = SkipBlanks(line, i);
    if (key.empty() || i >= line.size() || line[i] != '=') return false;
    i = SkipBlanks(line, i + 1);
    const std::string_view value = line.substr(i);
    if (value.empty() || key.size() > kMaxKeyOrValue || value.size() > kMaxKeyOrValue) return false;

    const auto row = std::find_if(std::begin(kKeys), std::end(kKeys),
                                  [&](const HeaderKeyDef& def) { return EqualsNoCase(key, def.key); });
    if (row == std::end(kKeys)) return false;
    StoreField(header, *row, value);
    return true;
}

bool ReadDemHeader(const std::string& path, DemHeader& header) {
    ApplyHeaderDefaults(header);
    LineReader reader(path);
    if (!reader.is_open()) return false;
    std::string line;
    while (reader.Next(line)) ApplyHeaderLine(header, line);
    return true;
}

std::string RasterPathFor(const std::string& headerPath) {
    return ReplaceInFileName(headerPath, ".hdr", ".bin");
}

std::optional<float> UnitFactorFor(std::string_view unit) {
    if (EqualsNoCase(unit, "meters")) return 3.28f;
    if (EqualsNoCase(unit, "feet")) return 1.0f;
    return std::nullopt;
}

}  // namespace gw
