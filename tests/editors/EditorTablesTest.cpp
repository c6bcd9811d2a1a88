#include "core/editors/EditorTables.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TableRows DefaultHeightCells() {
    TableRows rows;
    const HeightTable defaults;
    for (const HeightRow& row : defaults.rows()) rows.push_back(HeightRowCells(row));
    return rows;
}

TEST(EditorTablesTest, TablesShowTheRowsAndReadBackUnchanged) {
    const E00Rules builtIn = BuiltInE00Rules();
    const TableRow airport = E00RuleCells(builtIn[4]);
    ASSERT_EQ(airport.size(), E00RuleHeaders().size());
    EXPECT_EQ(airport[1], (TableCell{"255 255 0", 0xffff, true}));
    EXPECT_EQ(airport[7].text, "1");
    TableRows rules;
    for (const E00Rule& rule : builtIn) rules.push_back(E00RuleCells(rule));
    EXPECT_EQ(E00RulesFromTable(rules), builtIn);

    const std::vector<HeightRow> read = HeightRowsFromTable(DefaultHeightCells());
    const HeightTable table;
    const std::vector<HeightRow>& defaults = table.rows();
    ASSERT_EQ(read.size(), defaults.size());
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        EXPECT_EQ(read[i].altitude, defaults[i].altitude);
        EXPECT_EQ(read[i].colour, defaults[i].colour);
        EXPECT_EQ(read[i].tileCode, defaults[i].tileCode);
    }
    // Altitudes are kept in 16 bits; texts read as atoi does.
    const std::vector<HeightRow> odd = HeightRowsFromTable({{{"40000"}, {"", Rgb(1, 2, 3)}, {"abc"}}, {{"  -12ft"}, {}, {" 694 "}}});
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[0].altitude, -25536);
    EXPECT_EQ(odd[0].colour, Rgb(1, 2, 3));
    EXPECT_EQ(odd[0].tileCode, 0u);
    EXPECT_EQ(odd[1].altitude, -12);
    EXPECT_EQ(odd[1].tileCode, 694u);
}

// A row inserted between two takes the middle altitude, truncated toward zero, and
// copies the row below; one appended halves the last altitude on black.
TEST(EditorTablesTest, InsertedRowsTakeTheMiddleAltitude) {
    const TableRows rows = DefaultHeightCells();
    const TableRow inserted = InsertedHeightCells(rows, 2);  // between 160 and 660
    EXPECT_EQ(inserted, (TableRow{{"410", rows[2][0].background}, rows[2][1], rows[2][2]}));
    EXPECT_EQ(InsertedHeightCells(rows, rows.size()), (TableRow{{"16383", 0}, {"", 0, true}, {"", 0}}));
    EXPECT_EQ(InsertedHeightCells({{{"-5"}, {}, {}}, {{"0"}, {}, {}}}, 1)[0].text, "-2");
    EXPECT_EQ(InsertedHeightCells({{{"2147483647"}, {}, {}}, {{"-2147483648"}, {}, {}}}, 1)[0].text, "-1");
    EXPECT_EQ(InsertedHeightCells({}, 0)[0].text, "");
}

}  // namespace
}  // namespace gw
