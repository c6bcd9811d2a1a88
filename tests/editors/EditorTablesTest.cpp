#include "core/editors/EditorTables.h"
#include "core/editors/EditorChecks.h"

#include <gtest/gtest.h>

#include <tuple>

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
    TableRows rules;
    for (const E00Rule& rule : builtIn) rules.push_back(E00RuleCells(rule));
    EXPECT_EQ(E00RulesFromTable(rules), builtIn);

    using Fields = std::vector<std::tuple<std::int32_t, std::uint32_t, std::uint32_t>>;
    const auto fields = [](const std::vector<HeightRow>& rows) {
        Fields all;
        for (const HeightRow& r : rows) all.emplace_back(r.altitude, r.colour, r.tileCode);
        return all;
    };
    EXPECT_EQ(fields(HeightRowsFromTable(DefaultHeightCells())), fields(HeightTable().rows()));
    // Altitudes are kept in 16 bits; texts read as atoi does.
    EXPECT_EQ(fields(HeightRowsFromTable({{{"40000"}, {"", Rgb(1, 2, 3)}, {"abc"}}, {{"  -12ft"}, {}, {" 694 "}}})),
              (Fields{{-25536, Rgb(1, 2, 3), 0}, {-12, 0, 694}}));
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

TEST(EditorChecksTest, CellsTakeOnlyWhatCanBeKept) {
    struct Case {
        bool heights;
        std::size_t column;
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {false, 0, "dnnet.e00", true},   {false, 2, "RI,VER", false},    {false, 6, "TYPE\tX", false},
        {false, 3, "a\x7f", false},      {false, 5, "Ñame", true},       {false, 1, "1,2,3", true},
        {false, 7, "1", true},           {false, 7, "abc", false},       {false, 7, "2", false},
        {false, 7, "", false},           {true, 0, "-32768", true},      {true, 0, "32768", false},
        {true, 0, "160 ", false},        {true, 0, "", false},           {true, 2, "-2147483648", true},
        {true, 2, "4294967295", false},  {true, 2, "x", false},          {true, 1, "any", true},
    };
    for (const Case& c : cases) {
        const Status status = c.heights ? CheckHeightCell(c.column, c.text) : CheckE00RuleCell(c.column, c.text);
        EXPECT_EQ(status.ok(), c.ok) << c.column << " \"" << c.text << "\": " << status.message();
    }
    EXPECT_EQ(CheckE00RuleCell(2, "A,B").message(),
              "Keyword cannot hold a comma: the stored rules separate their fields with commas.");
}

TEST(EditorChecksTest, TablesAreRefusedAtTheirFirstFault) {
    TableRows rules;
    EXPECT_TRUE(CheckE00RuleTable(rules));
    for (const E00Rule& rule : BuiltInE00Rules()) rules.push_back(E00RuleCells(rule));
    rules.push_back(NewE00RuleCells());
    EXPECT_FALSE(CheckE00RuleTable(rules));
    rules[3][7] = {"5"};
    rules[5][4] = {"A,B"};
    const auto rule = CheckE00RuleTable(rules);
    ASSERT_TRUE(rule);
    EXPECT_EQ(std::pair(rule->row, rule->column), std::pair(std::size_t{3}, std::size_t{7}));

    auto heights = [](std::vector<std::string> altitudes) {
        TableRows rows;
        for (const std::string& altitude : altitudes) rows.push_back({{altitude}, {"0 0 0"}, {"0"}});
        return rows;
    };
    struct Case {
        std::vector<std::string> altitudes;
        std::optional<std::size_t> refusedRow;
    };
    const Case cases[] = {
        {{"-20", "0", "32767"}, std::nullopt}, {{"5"}, std::nullopt}, {{}, 0},
        {{"0", "160", "160"}, 2},              {{"0", "660", "160"}, 2}, {{"0", "x", "-1"}, 1},
    };
    for (const Case& c : cases) {
        const auto refused = CheckHeightTable(heights(c.altitudes));
        EXPECT_EQ(refused ? std::optional(refused->row) : std::nullopt, c.refusedRow) << c.altitudes.size();
    }
    EXPECT_EQ(CheckHeightTable(heights({"0", "660", "160"}))->why.message(),
              "The altitudes must rise from row to row: 160 on row 3 is not above 660 on row 2.");
}

}  // namespace
}  // namespace gw
