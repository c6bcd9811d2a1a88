#include "core/editors/EditorChecks.h"

#include "core/util/CNumbers.h"

#include <algorithm>
#include <cstdint>

namespace gw {

namespace {

constexpr std::size_t kE00LabelColumn = 7;

const std::string& Header(const std::vector<std::string>& headers, std::size_t column) {
    static const std::string kNone = "This column";
    return column < headers.size() ? headers[column] : kNone;
}

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

template <class Check>
std::optional<TableRefusal> FirstRefusedCell(const TableRows& rows, Check check) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            if (Status why = check(column, rows[row][column].text); !why.ok()) {
                return TableRefusal{row, column, std::move(why)};
            }
        }
    }
    return std::nullopt;
}

}  // namespace

Status CheckE00RuleCell(std::size_t column, std::string_view text) {
    const std::string& name = Header(E00RuleHeaders(), column);
    if (column == kE00ColourColumn) return Status::Ok();
    if (column == kE00LabelColumn) {
        if (text == "0" || text == "1") return Status::Ok();
        return Status::InvalidArgument(name + " must be 0 (the coverage's arcs load as lines) or 1 (its labels "
                                              "load as points).");
    }
    if (text.find(',') != std::string_view::npos) {
        return Status::InvalidArgument(name + " cannot hold a comma: the stored rules separate their fields with "
                                              "commas.");
    }
    if (std::any_of(text.begin(), text.end(), IsControl)) {
        return Status::InvalidArgument(name + " cannot hold a control character such as a tab or a line break.");
    }
    return Status::Ok();
}

Status CheckHeightCell(std::size_t column, std::string_view text) {
    std::int32_t value = 0;
    if (column == kHeightAltitudeColumn) {
        if (ParseWholeInt(text, value) && value >= INT16_MIN && value <= INT16_MAX) return Status::Ok();
        return Status::InvalidArgument("Altitude must be a whole number of feet from -32768 to 32767.");
    }
    if (column == kHeightTileColumn && !ParseWholeInt(text, value)) {
        return Status::InvalidArgument("Tile must be a whole number from -2147483648 to 2147483647.");
    }
    return Status::Ok();
}

std::optional<TableRefusal> CheckE00RuleTable(const TableRows& rows) {
    if (auto refused = FirstRefusedCell(rows, CheckE00RuleCell)) return refused;
    // An empty table would be stored as no rules, which the next start reads as the
    // built-in ones.
    if (rows.empty()) return TableRefusal{0, 0, Status::InvalidArgument("The E00 rule table needs at least one rule.")};
    return std::nullopt;
}

std::optional<TableRefusal> CheckHeightTable(const TableRows& rows) {
    if (auto refused = FirstRefusedCell(rows, CheckHeightCell)) return refused;
    if (rows.empty()) return TableRefusal{0, 0, Status::InvalidArgument("The height table needs at least one band.")};
    const std::vector<HeightRow> bands = HeightRowsFromTable(rows);
    for (std::size_t row = 1; row < bands.size(); ++row) {
        if (bands[row].altitude > bands[row - 1].altitude) continue;
        return TableRefusal{row, kHeightAltitudeColumn,
                            Status::InvalidArgument("The altitudes must rise from row to row: " +
                                                    std::to_string(bands[row].altitude) + " on row " +
                                                    std::to_string(row + 1) + " is not above " +
                                                    std::to_string(bands[row - 1].altitude) + " on row " +
                                                    std::to_string(row) + ".")};
    }
    return std::nullopt;
}

}  // namespace gw
