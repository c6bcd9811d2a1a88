#include "tests/TestSupport.h"
#include "core/objectives/ObjectiveRules.h"

namespace gw {
namespace {

TEST(ObjectiveRules, FileLinesAndTheirOddities) {
    ObjectiveRuleSet rules;
    rules.m_objectiveRules.clear();
    rules.Parse(
        "# comment\r\n"
        "Priority 99\n"        // before the first Type: a rule never kept
        "baseid 500\n"
        "IgnoreNoNames 1\n"
        "type label-0\n"
        "  Priority 70\n"      // indented: no key
        "PRIORITY 60\n"
        "Ids ,5\n"
        "Ids 7,,8\t9\n"
        "Generates Depot 3\n"
        "Generates Depot 3-5\n"
        "Generates Depot 3 - 5\n"
        "Generates Depot\n"
        "Unknown 1\n"
        "Type Depot\n"
        "Type label-0\n"
        "Priority 1\n");
    EXPECT_EQ(rules.m_baseId, 500);
    EXPECT_EQ(rules.m_ignoreNoNames, 1);
    ASSERT_EQ(rules.m_objectiveRules.size(), 3u) << "two rules of one name are both kept";
    const ObjectiveRule* first = rules.FindRule("LABEL-0");
    ASSERT_EQ(first, &rules.m_objectiveRules[0]);
    EXPECT_EQ(first->Priority, 60);
    EXPECT_EQ(first->Ids, (std::vector<std::int32_t>{0, 5, 7, 8, 9}));
    EXPECT_EQ(first->Generates,
              (std::vector<GeneratesEntry>{{"Depot", 3, 3}, {"Depot", 3, 5}, {"Depot", 3, 3}}));
    EXPECT_EQ(rules.m_objectiveRules[1].Priority, 10);
    EXPECT_TRUE(rules.m_objectiveRules[1].Ids.empty());
}

// What Parse reads back from FormatObjectiveRules formats the same.
void ExpectRoundTrip(const ObjectiveRuleSet& rules) {
    ObjectiveRuleSet back;
    back.m_objectiveRules.clear();
    back.m_baseId = rules.m_baseId + 1;
    back.m_ignoreNoNames = rules.m_ignoreNoNames + 1;
    back.Parse(FormatObjectiveRules(rules));
    EXPECT_EQ(FormatObjectiveRules(back), FormatObjectiveRules(rules));
}

TEST(ObjectiveRules, FormattedRulesReadBackTheSame) {
    const ObjectiveRuleSet defaults;
    ExpectRoundTrip(defaults);

    ObjectiveRuleSet rich;
    rich.m_objectiveRules.clear();
    rich.Parse(
        "BaseId -2147483648\nIgnoreNoNames 7\n"
        "Type Big Town  \nPriority -3\nIds ,5 x 2147483647,-2147483648\nGenerates Depot 3\n"
        "Generates Depot -2--5\nGenerates #Odd\t4-9\n"
        "Type Depot\nType Depot\nPriority 2147483647\nType Trailing\r\r\n"
        "Type #Odd\nIds " + std::string(100, '7') + " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18\n");
    ASSERT_EQ(rich.m_objectiveRules.size(), 5u);
    EXPECT_EQ(rich.m_objectiveRules[3].Type, "Trailing\r");
    EXPECT_EQ(rich.m_objectiveRules[4].Ids.size(), 19u);
    ExpectRoundTrip(rich);
}

}  // namespace
}  // namespace gw
