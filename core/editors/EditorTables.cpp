#include "core/editors/EditorTables.h"

#include "core/util/CNumbers.h"

namespace gw {

namespace {

const std::string& TextAt(const TableRow& row, std::size_t column) {
    static const std::string kEmpty;
    return column < row.size() ? row[column].text : kEmpty;
}

std::uint32_t BackgroundAt(const TableRow& row, std::size_t column) {
    return column < row.size() ? row[column].background : kNoCellBackground;
}

}  // namespace

std::string FormatRgb(std::uint32_t colour) {
    return std::to_string(colour & 0xffu) + ' ' + std::to_string((colour >> 8) & 0xffu) + ' ' +
           std::to_string((colour >> 16) & 0xffu);
}

std::uint32_t ColourFromBackground(std::uint32_t background) {
    return background == kNoCellBackground ? 0u : background;
}

const std::vector<std::string>& E00RuleHeaders() {
    static const std::vector<std::string> kHeaders{"File",       "Colour",    "Keyword",   "Info",
                                                   "IndexField", "NameField", "TypeField", "Label"};
    return kHeaders;
}

TableRow E00RuleCells(const E00Rule& rule) {
    const std::uint32_t colour = rule.Colour & 0xffffffu;
    return {{rule.File},
            {FormatRgb(colour), colour, true},
            {rule.Keyword},
            {rule.Info},
            {rule.IndexField},
            {rule.NameField},
            {rule.TypeField},
            {std::to_string(rule.Label)}};
}

TableRow NewE00RuleCells() {
    TableRow row(E00RuleHeaders().size());
    row[0].text = "XXX.E00";
    row[7] = {"0"};
    row[kE00ColourColumn].readOnly = true;
    return row;
}

E00Rules E00RulesFromTable(const TableRows& rows) {
    E00Rules rules;
    rules.reserve(rows.size());
    for (const TableRow& row : rows) {
        E00Rule rule;
        rule.File = TextAt(row, 0);
        rule.Colour = ColourFromBackground(BackgroundAt(row, kE00ColourColumn));
        rule.Keyword = TextAt(row, 2);
        rule.Info = TextAt(row, 3);
        rule.IndexField = TextAt(row, 4);
        rule.NameField = TextAt(row, 5);
        rule.TypeField = TextAt(row, 6);
        rule.Label = ParseCInt(TextAt(row, 7));
        rules.push_back(std::move(rule));
    }
    return rules;
}

const std::vector<std::string>& HeightHeaders() {
    static const std::vector<std::string> kHeaders{"Altitude", "Colour", "Tile"};
    return kHeaders;
}

TableRow HeightRowCells(const HeightRow& row) {
    const std::uint32_t colour = row.colour & 0xffffffu;
    return {{std::to_string(row.altitude), colour},
            {FormatRgb(colour), colour, true},
            {std::to_string(static_cast<std::int32_t>(row.tileCode)), colour}};
}

TableRow InsertedHeightCells(const TableRows& rows, std::size_t before) {
    TableRow inserted(HeightHeaders().size(), TableCell{{}, 0u});
    if (before < rows.size()) {
        for (std::size_t column = 0; column < inserted.size(); ++column) {
            inserted[column] = {TextAt(rows[before], column), BackgroundAt(rows[before], column)};
        }
    }
    if (before > 0) {
        // In 64 bits: altitudes as atoi reads them span the whole 32-bit range.
        const std::int64_t above = ParseCInt(TextAt(rows[before - 1], kHeightAltitudeColumn));
        const std::int64_t below =
            before < rows.size() ? ParseCInt(TextAt(rows[before], kHeightAltitudeColumn)) : 0;
        inserted[kHeightAltitudeColumn].text = std::to_string(below + (above - below) / 2);
    }
    inserted[kHeightColourColumn].readOnly = true;
    return inserted;
}

std::vector<HeightRow> HeightRowsFromTable(const TableRows& rows) {
    std::vector<HeightRow> bands;
    bands.reserve(rows.size());
    for (const TableRow& row : rows) {
        bands.push_back({NarrowToInt16(ParseCInt(TextAt(row, kHeightAltitudeColumn))),
                         ColourFromBackground(BackgroundAt(row, kHeightColourColumn)),
                         static_cast<std::uint32_t>(ParseCInt(TextAt(row, kHeightTileColumn)))});
    }
    return bands;
}

}  // namespace gw
