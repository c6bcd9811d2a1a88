#pragma once

#include "core/features/E00Rules.h"
#include "core/layout/HeightTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gw {

// The two table editors (E00 rules, height data) as tables of strings and colours: what
// their grids show for a rule or a band, what they read back on OK, and the row Insert
// Row adds to the height table. The grid's header row is not part of these tables.

// The background a grid cell reports when it has no colour of its own.
constexpr std::uint32_t kNoCellBackground = 0xFF000000u;

struct TableCell {
    std::string text;
    std::uint32_t background = kNoCellBackground;
    bool readOnly = false;
    bool operator==(const TableCell&) const = default;
};

using TableRow = std::vector<TableCell>;
// Data rows in grid order, each as wide as the editor's header.
using TableRows = std::vector<TableRow>;

// "%d %d %d": red, green and blue of a colour (red in the low byte).
std::string FormatRgb(std::uint32_t colour);
// The colour stored for a cell's background: a cell that never had a colour gives black
// (0), which every reader of rules and bands takes as a plain colour.
std::uint32_t ColourFromBackground(std::uint32_t background);

// --- E00 rules editor -----------------------------------------------------------------

// The column that shows a rule's colour; its cells are read-only.
constexpr std::size_t kE00ColourColumn = 1;
// "File", "Colour", "Keyword", "Info", "IndexField", "NameField", "TypeField", "Label".
const std::vector<std::string>& E00RuleHeaders();
// One rule's cells: the texts as they stand, the colour as "%d %d %d" on the colour (its
// top byte dropped), the flag as "%d". Only the colour cell has a background.
TableRow E00RuleCells(const E00Rule& rule);
// Insert Row: File "XXX.E00", Label "0", every other cell empty, the colour cell
// read-only and without a colour.
TableRow NewE00RuleCells();
// OK: one rule per row, texts as they stand, the colour from the colour cell's
// background, Label as atoi reads it. Nothing is validated. Short rows read as empty.
E00Rules E00RulesFromTable(const TableRows& rows);

// --- Height data editor -----------------------------------------------------------------

constexpr std::size_t kHeightAltitudeColumn = 0;
constexpr std::size_t kHeightColourColumn = 1;
constexpr std::size_t kHeightTileColumn = 2;
// "Altitude", "Colour", "Tile".
const std::vector<std::string>& HeightHeaders();
// One band's cells: "%d" altitude, "%d %d %d" colour (read-only), the tile code as a
// signed "%d"; all three on the band's colour.
TableRow HeightRowCells(const HeightRow& row);
// Insert Row before data row `before` (rows.size() appends): the cells copy the text and
// background of the row pushed down (empty on black when appending). Unless the new row
// is the first, its altitude is below + (above - below) / 2, truncated toward zero, of the
// neighbours' altitudes read as atoi does (a missing row below counts 0). The colour cell
// is read-only. REQUIRES: before <= rows.size().
TableRow InsertedHeightCells(const TableRows& rows, std::size_t before);
// OK: one band per row in grid order, unsorted and unvalidated: altitude as atoi reads
// it, kept in 16 bits; colour from the colour cell's background; tile code as atoi reads
// it. Short rows read as empty.
std::vector<HeightRow> HeightRowsFromTable(const TableRows& rows);

}  // namespace gw
