#include "core/features/E00Rules.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(E00Rules, NothingStoredGivesTheBuiltInRules) {
    const MemoryProfileSection empty;
    E00Rules rules;
    LoadE00Rules(empty, rules);
    ASSERT_EQ(rules.size(), 7u);
    std::string keywords;
    for (const E00Rule& r : rules) keywords += r.Keyword + " ";
    EXPECT_EQ(keywords, "RIVER COAST CITY ROAD AIRPORT LABEL RAIL ");
    EXPECT_EQ(FormatE00Rule(rules[4]), "aepoint.e00,ffff,AIRPORT,aepoint.pat,AEPOINT#,AEPTNAME,AEPTTYPE,1");
    EXPECT_EQ(FormatE00Rule(rules[6]), "rrline.e00,10000,RAIL,,,,,0");
}

TEST(E00Rules, SavedRulesLoadBackTheSame) {
    MemoryProfileSection store;
    SaveE00Rules(store, BuiltInE00Rules());
    EXPECT_EQ(store.ReadInt("Version"), 2);
    E00Rules rules;
    LoadE00Rules(store, rules);
    EXPECT_EQ(rules, BuiltInE00Rules());
}

TEST(E00Rules, ReadingStopsAtTheFirstMissingRow) {
    MemoryProfileSection store;
    store.WriteInt("Version", 2);
    store.WriteInt("Count", 3);
    store.WriteText("Rule0", "mine.e00,ff,MINE,,,,,0");
    store.WriteText("Rule2", "lost.e00,ff,LOST,,,,,0");
    E00Rules rules;
    LoadE00Rules(store, rules);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].Colour, 0xffu) << "red 255";

    store.WriteInt("Version", 1);
    rules.clear();
    LoadE00Rules(store, rules);
    EXPECT_EQ(rules.size(), 7u) << "another version gives the built-in rules";
}

TEST(E00Rules, RowsAreSplitAtEveryComma) {
    const E00Rule shifted = ParseE00Rule("a,b.e00,ff,KEY,,,,,1");
    EXPECT_EQ(shifted.File, "a");
    EXPECT_EQ(shifted.Colour, 0xbu) << "\"b.e00\" scans as hexadecimal b";
    EXPECT_EQ(shifted.Keyword, "ff");
    EXPECT_EQ(shifted.Label, 0) << "the eighth field is \",1\"";

    const E00Rule few = ParseE00Rule("only.e00,zz,WORD");
    EXPECT_EQ(few.File, "only.e00");
    EXPECT_EQ(few.Colour, 0u) << "not hexadecimal";
    EXPECT_EQ(few.Keyword, "WORD");
    EXPECT_EQ(few.TypeField, "");
    EXPECT_EQ(few.Label, 0);
    EXPECT_EQ(ParseE00Rule(" x.e00 , 0x1F ,K ,,,,, 7").Colour, 0x1fu);
    EXPECT_EQ(ParseE00Rule(" x.e00 , 0x1F ,K ,,,,, 7").Keyword, "K ") << "fields are not trimmed";
}

}  // namespace
}  // namespace gw
