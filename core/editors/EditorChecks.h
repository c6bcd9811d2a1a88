#pragma once

#include "core/editors/EditorTables.h"
#include "core/util/Status.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace gw {

// What the two table editors refuse: a cell whose text could not be kept as typed, and a
// height table that cannot work. The messages name the column and say what it takes.

// A cell of the E00 rules editor. The text fields take no comma (the stored rule
// separates its fields with commas) and no control character (a rule is one line);
// Label is "0" (the coverage's arcs load as lines) or "1" (its labels load as points).
// The colour column is not typed and takes anything.
Status CheckE00RuleCell(std::size_t column, std::string_view text);
// A cell of the height data editor: Altitude is a whole number that fits 16 bits, Tile a
// whole number that fits 32 (no blanks around either); the colour column takes anything.
Status CheckHeightCell(std::size_t column, std::string_view text);

// Where a table is refused: the data row (0-based) and column of the cell to fix, and why.
struct TableRefusal {
    std::size_t row = 0;
    std::size_t column = 0;
    Status why;
};

// OK of the E00 rules editor: the first cell, in grid order, that CheckE00RuleCell
// refuses; else an empty table.
std::optional<TableRefusal> CheckE00RuleTable(const TableRows& rows);
// OK of the height data editor: the first cell CheckHeightCell refuses; else an empty
// table; else the first altitude (as HeightRowsFromTable reads it) not above the one
// before it: the lookup takes the first band at or above an elevation, so bands must
// rise strictly or the later one is never reached.
std::optional<TableRefusal> CheckHeightTable(const TableRows& rows);

}  // namespace gw
