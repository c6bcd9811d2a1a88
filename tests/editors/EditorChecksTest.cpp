#include "core/editors/EditorChecks.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

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
