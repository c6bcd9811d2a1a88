#include "core/features/E00Rules.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

// Nothing stored, or another version, gives the built-in rules; saved rules load back
// the same; reading stops at the first missing row.
TEST(E00Rules, StoredRulesLoadBackOrGiveTheBuiltInOnes) {
    MemoryProfileSection store;
    E00Rules rules;
    LoadE00Rules(store, rules);
    ASSERT_EQ(rules, BuiltInE00Rules());
    std::string keywords;
    for (const E00Rule& r : rules) keywords += r.Keyword + " ";
    EXPECT_EQ(keywords, "RIVER COAST CITY ROAD AIRPORT LABEL RAIL ");
    EXPECT_EQ(FormatE00Rule(rules[4]), "aepoint.e00,ffff,AIRPORT,aepoint.pat,AEPOINT#,AEPTNAME,AEPTTYPE,1");
    EXPECT_EQ(FormatE00Rule(rules[6]), "rrline.e00,10000,RAIL,,,,,0");

    SaveE00Rules(store, BuiltInE00Rules());
    EXPECT_EQ(store.ReadInt("Version"), 2);
    rules.clear();
    LoadE00Rules(store, rules);
    EXPECT_EQ(rules, BuiltInE00Rules());

    MemoryProfileSection gap;
    gap.WriteInt("Version", 2);
    gap.WriteInt("Count", 3);
    gap.WriteText("Rule0", "mine.e00,ff,MINE,,,,,0");
    gap.WriteText("Rule2", "lost.e00,ff,LOST,,,,,0");
    rules.clear();
    LoadE00Rules(gap, rules);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].Colour, 0xffu) << "red 255";
    gap.WriteInt("Version", 1);
    rules.clear();
    LoadE00Rules(gap, rules);
    EXPECT_EQ(rules, BuiltInE00Rules()) << "another version";
}

// Rows are split at every comma and their fields are not trimmed.
TEST(E00Rules, RowsAreSplitAtEveryComma) {
    const E00Rule shifted = ParseE00Rule("a,b.e00,ff,KEY,,,,,1");
    EXPECT_EQ(FormatE00Rule(shifted), "a,b,ff,KEY,,,,0") << "\"b.e00\" scans as b; the eighth field is \",1\"";
    EXPECT_EQ(FormatE00Rule(ParseE00Rule("only.e00,zz,WORD")), "only.e00,0,WORD,,,,,0");
    EXPECT_EQ(FormatE00Rule(ParseE00Rule(" x.e00 , 0x1F ,K ,,,,, 7")), " x.e00 ,1f,K ,,,,,7");
}

}  // namespace
}  // namespace gw
