#include "TestSupport.h"
#include "objectives/ObjectiveRules.h"

namespace gw {
namespace {

TEST(ObjectiveRules, DefaultsMatchKeywordAndType) {
    const ObjectiveRuleSet rules;
    ASSERT_NE(rules.FindRule("LABEL-2"), nullptr);
    EXPECT_EQ(rules.FindRule("LABEL-2")->Generates, (std::vector<GeneratesEntry>{{"Factory", 1, 2}}));
    EXPECT_EQ(rules.FindRule("factory")->Ids.size(), 69u);
    EXPECT_NE(rules.FindRule("AIRPORT"), nullptr);
    EXPECT_EQ(rules.FindRule("LABEL-3"), nullptr);
}

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

TEST(ObjectiveRules, LoadingReplacesTheRulesButKeepsUnsetSettings) {
    test::TempDir dir;
    test::WriteFile(dir.Path("a.obr"), "BaseId 500\nType Town\nIds 1\n");
    test::WriteFile(dir.Path("b.obr"), "IgnoreNoNames 1\n");
    ObjectiveRuleSet rules;
    EXPECT_TRUE(rules.LoadObjectiveRules(dir.Path("a.obr")));
    EXPECT_EQ(rules.m_objRulesName, "a.obr");
    EXPECT_TRUE(rules.LoadObjectiveRules(dir.Path("b.obr")));
    EXPECT_TRUE(rules.m_objectiveRules.empty()) << "no Type line: no rule";
    EXPECT_EQ(rules.m_baseId, 500);
    EXPECT_EQ(rules.m_ignoreNoNames, 1);

    EXPECT_FALSE(rules.LoadObjectiveRules(dir.Path("missing.obr")));
    EXPECT_TRUE(rules.m_objectiveRules.empty());
    EXPECT_EQ(rules.m_objRulesName, "missing.obr");
}

}  // namespace
}  // namespace gw
