#include "core/dem/DemHeader.h"

#include "core/util/CNumbers.h"
#include "core/util/SmallFile.h"
#include "core/util/Text.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace gw {
namespace {

// One row of the header's key table: the key, the type of its value, the field it sets
// (the member pointer of that type; the other two are null) and the field's default.
struct HeaderKeyDef {
    enum Type { kFloat = 1, kInteger = 2, kText = 3 };
    const char* key;
    Type type;
    double DemHeader::*floatField;
    std::int32_t DemHeader::*integerField;
    std::string DemHeader::*textField;
    const char* defaultText;
};

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
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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

Status ReadDemHeader(const std::string& path, DemHeader& header) {
    ApplyHeaderDefaults(header);
    std::string text;
    if (Status s = ReadSmallFile(path, kMaxHeaderBytes, "a DEM header", text); !s.ok()) return s;
    std::string_view rest = text;
    if (rest.starts_with(kUtf8ByteOrderMark)) rest.remove_prefix(kUtf8ByteOrderMark.size());
    bool anyKey = false;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.ends_with('\r')) line.remove_suffix(1);
        // Like a C string, a line stops at its first NUL byte.
        line = line.substr(0, line.find('\0'));
        anyKey = ApplyHeaderLine(header, line) || anyKey;
    }
    if (!anyKey) return Status::Corruption(path + ": no DEM keys; it is not a DEM header");
    return Status::Ok();
}

Status CheckDemHeader(const DemHeader& header) {
    if (header.number_of_rows <= 0) {
        return Status::Corruption("number_of_rows is " + std::to_string(header.number_of_rows) +
                                  "; a DEM has at least one row");
    }
    if (header.number_of_columns <= 0) {
        return Status::Corruption("number_of_columns is " + std::to_string(header.number_of_columns) +
                                  "; a DEM has at least one column");
    }
    const std::pair<const char*, double> extents[] = {{"left_map_x", header.left_map_x},
                                                      {"right_map_x", header.right_map_x},
                                                      {"upper_map_y", header.upper_map_y},
                                                      {"lower_map_y", header.lower_map_y}};
    for (const auto& [key, value] : extents) {
        if (!std::isfinite(value)) return Status::Corruption(std::string(key) + " is not a finite number");
    }
    const auto checkSpan = [](const char* low, double lowValue, const char* high, double highValue) {
        const double span = highValue - lowValue;
        if (span > 0 && std::isfinite(span)) return Status::Ok();
        const std::string range = std::string(low) + " " + FormatShortest(lowValue) + " to " + high + " " +
                                  FormatShortest(highValue);
        return Status::Corruption(span > 0 ? "the extent from " + range + " is too wide to compute with"
                                           : "no extent from " + range + "; the first must be below the second");
    };
    if (Status s = checkSpan("left_map_x", header.left_map_x, "right_map_x", header.right_map_x); !s.ok()) return s;
    return checkSpan("lower_map_y", header.lower_map_y, "upper_map_y", header.upper_map_y);
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
