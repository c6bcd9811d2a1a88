#include "core/editors/EditorTables.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TableRows DefaultHeightCells() {
    const HeightTable defaults;
    TableRows rows;
    for (const HeightRow& row : defaults.rows()) rows.push_back(HeightRowCells(row));
    return rows;
}

TEST(EditorTablesTest, RuleCellsShowTheRuleAndReadBackUnchanged) {
    const E00Rules builtIn = BuiltInE00Rules();
    const TableRow airport = E00RuleCells(builtIn[4]);
    ASSERT_EQ(airport.size(), E00RuleHeaders().size());
    EXPECT_EQ(airport[0].text, "aepoint.e00");
    EXPECT_EQ(airport[1], (TableCell{"255 255 0", 0xffff, true}));
    EXPECT_EQ(airport[0].background, kNoCellBackground);
    EXPECT_EQ(airport[7].text, "1");
    TableRows rows;
    for (const E00Rule& rule : builtIn) rows.push_back(E00RuleCells(rule));
    EXPECT_EQ(E00RulesFromTable(rows), builtIn);
}

TEST(EditorTablesTest, DefaultBandsReadBackUnchanged) {
    EXPECT_EQ(HeightRowsFromTable(DefaultHeightCells()).size(), 9u);
    const std::vector<HeightRow> read = HeightRowsFromTable(DefaultHeightCells());
    const HeightTable table;
    const std::vector<HeightRow>& defaults = table.rows();
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        EXPECT_EQ(read[i].altitude, defaults[i].altitude);
        EXPECT_EQ(read[i].colour, defaults[i].colour);
        EXPECT_EQ(read[i].tileCode, defaults[i].tileCode);
    }
}

TEST(EditorTablesTest, InsertingBetweenTwoBandsTakesTheMiddleAltitudeAndCopiesTheRowBelow) {
    const TableRows rows = DefaultHeightCells();
    const TableRow inserted = InsertedHeightCells(rows, 2);  // between 160 and 660
    EXPECT_EQ(inserted[0].text, "410");
    EXPECT_EQ(inserted[1].text, rows[2][1].text);
    EXPECT_EQ(inserted[2].text, "160");
    for (std::size_t column = 0; column < 3; ++column) EXPECT_EQ(inserted[column].background, rows[2][column].background);
    EXPECT_TRUE(inserted[1].readOnly);
}

TEST(EditorTablesTest, TheMiddleTruncatesTowardZero) {
    TableRows rows{{{"-5"}, {}, {}}, {{"0"}, {}, {}}};
    EXPECT_EQ(InsertedHeightCells(rows, 1)[0].text, "-2");
    rows = {{{"2147483647"}, {}, {}}, {{"-2147483648"}, {}, {}}};
    EXPECT_EQ(InsertedHeightCells(rows, 1)[0].text, "-1");
}

TEST(EditorTablesTest, AppendingHalvesTheLastAltitudeOnBlack) {
    const TableRows rows = DefaultHeightCells();
    const TableRow appended = InsertedHeightCells(rows, rows.size());
    EXPECT_EQ(appended[0].text, "16383");
    EXPECT_EQ(appended[1].text, "");
    EXPECT_EQ(appended[2].text, "");
    for (const TableCell& cell : appended) EXPECT_EQ(cell.background, 0u);
    const std::vector<HeightRow> read = HeightRowsFromTable({appended});
    EXPECT_EQ(read[0].altitude, 16383);
    EXPECT_EQ(read[0].colour, 0u);
    EXPECT_EQ(read[0].tileCode, 0u);
    EXPECT_EQ(InsertedHeightCells({}, 0)[0].text, "");
}

TEST(EditorTablesTest, AltitudesAreKeptIn16BitsAndTextsReadAsAtoi) {
    const TableRows rows{{{"40000"}, {"", Rgb(1, 2, 3)}, {"abc"}},
                         {{"  -12ft"}, {}, {" 694 "}}};
    const std::vector<HeightRow> read = HeightRowsFromTable(rows);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].altitude, -25536);
    EXPECT_EQ(read[0].colour, Rgb(1, 2, 3));
    EXPECT_EQ(read[0].tileCode, 0u);
    EXPECT_EQ(read[1].altitude, -12);
    EXPECT_EQ(read[1].colour, 0u);
    EXPECT_EQ(read[1].tileCode, 694u);
}

}  // namespace
}  // namespace gw
