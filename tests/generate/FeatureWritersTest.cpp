#include "tests/generate/WriterFixture.h"
#include "core/generate/ObjectivesWriter.h"
#include "core/objectives/ObjectiveRules.h"
#include "core/generate/L2Writer.h"
#include "core/generate/TdfWriter.h"
#include "core/util/OutputFile.h"

#include <sstream>

namespace gw {
namespace {

using test::ReadFile;

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

class ObjectivesWriterTest : public test::WriterFixture {
protected:
    void SetUp() override { OpenThirtyMileTheater(); }
    void Rules(const std::string& obr) {
        objectiveRules.m_objectiveRules.clear();
        objectiveRules.Parse(obr);
    }
    // A point of the built-in LABEL rule.
    void Place(double lat, double lon, std::string name, std::int32_t type) {
        doc.AddFeature(Feature{5, {{lat, lon}}, std::move(name), type});
    }
    // The lines after the time line and the header, without their CR LF ends.
    std::vector<std::string> Write() {
        result = WriteObjectivesFile(Context(), 0, dir.Path("t.l2"));
        std::istringstream text(test::Exists(dir.Path("t-obj.csv")) ? test::ReadFile(dir.Path("t-obj.csv")) : "");
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.size() - 1));
        if (lines.size() >= 2) lines.erase(lines.begin(), lines.begin() + 2);
        return lines;
    }
    WriteResult result;
};

TEST_F(ObjectivesWriterTest, NamesRulesAndIdsThatWriteNothing) {
    Rules("Type Label-0\nIds 1\nType Label-1\nGenerates Label-0 1\n");
    Place(0, 0, "", 0);                // "NoName"
    Place(0, 0, "Quiet", 1);           // no Ids: no line, an id all the same, and it spawns
    Place(0, 0, "Nobody", 2);          // no rule: nothing
    Place(5, 5, "Far", 0);             // off the theater: nothing
    doc.AddFeature(Feature{0, {{0, 0}}, "River", 0});  // a line feature
    const std::vector<std::string> lines = Write();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 10), "NoName, 4,");
    EXPECT_EQ(lines[1].substr(0, 13), "0 Label-0, 6,");
    EXPECT_NE(lines[1].find(", 5, 10, 2"), std::string::npos) << "parent 5, the rule without Ids";

    objectiveRules.m_ignoreNoNames = 1;
    const std::vector<std::string> ignoring = Write();
    ASSERT_EQ(ignoring.size(), 1u);
    EXPECT_EQ(ignoring[0].substr(0, 13), "0 Label-0, 5,") << "the nameless point took no id";
}

// A rule that spawns itself is cut at the depth limit and reported once; one that
// would pass the limit of objectives, or ids that would pass the largest, stop and
// fail the file with one message naming the cause.
TEST_F(ObjectivesWriterTest, RunawayRulesAreCutOrStopTheFile) {
    struct Case {
        const char* rules;
        WriteResult::Outcome outcome;
        std::size_t lines;
        std::string message;
    };
    const Case cases[] = {
        {"Type Label-0\nIds 1\nGenerates Label-0 1\n", WriteResult::Outcome::kWritten, 2 * (1 + kMaxSpawnDepth),
         "Label-0"},
        {"Type Label-0\nIds 1\nGenerates Label-0 2\n", WriteResult::Outcome::kFailed, 0,
         "Objective rule \"Label-0\" runs away: its \"Generates Label-0 2\" would make more than 1000000 "
         "objectives; the objectives file stopped there."},
        {"BaseId 2147483640\nType Label-0\nIds 1\nGenerates Label-0 1\n", WriteResult::Outcome::kFailed, 0,
         "Objective ids ran out after 2147483647 (BaseId 2147483640); the objectives file stopped there."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules);
        Rules(c.rules);
        doc.OnDeleteFeatures();
        Place(0, 0, "Loop", 0);
        Place(0.1, 0.1, "Loop again", 0);
        prompts.messages.clear();
        std::filesystem::remove(dir.Path("t-obj.csv"));
        EXPECT_EQ(Write().size(), c.lines);
        EXPECT_EQ(result.outcome, c.outcome);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_NE(prompts.messages[0].find(c.message), std::string::npos) << prompts.messages[0];
        if (c.outcome == WriteResult::Outcome::kFailed) {
            EXPECT_EQ(result.message, c.message);
            EXPECT_FALSE(test::Exists(dir.Path("t-obj.csv"))) << "a stopped file is a failed one";
        }
    }
}

TEST_F(ObjectivesWriterTest, IdsSkipTheirGapsAndEndAtTheLargest) {
    OutputFile file;
    ASSERT_TRUE(file.Create(dir.Path("x")).ok());
    const std::pair<std::int32_t, std::vector<std::optional<std::int32_t>>> cases[] = {
        {4001, {4001, 4002, 4030}},
        {5994, {5994, 6005}},
        {INT32_MAX, {INT32_MAX, std::nullopt, std::nullopt}},
    };
    for (const auto& [base, ids] : cases) {
        objectiveRules.m_baseId = base;
        ObjectivesWriter writer(objectiveRules, random, 32, 32, file, *progress, prompts, kMaxObjectives);
        for (const std::optional<std::int32_t> id : ids) EXPECT_EQ(writer.NextObjectiveId(), id) << base;
    }
}

class TdfWriterTest : public test::WriterFixture {
protected:
    void SetUp() override { OpenThirtyMileTheater(); }
    void Add(std::int32_t rule, std::vector<GeoPoint> points, std::string name = "", std::int32_t type = 0) {
        doc.AddFeature(Feature{rule, std::move(points), std::move(name), type});
    }
    WriteResult Write() { return WriteTdfFiles(Context(), dir.Path("t.l2")); }
};

TEST_F(TdfWriterTest, PointsBecomeTileCoordinatesFromTheSouthWest) {
    Add(0, {{0, 0}, {0.25, 0}, {0, 0.25}, {-0.25, -0.25}, {0.26, 0}, {0.1, -0.3}}, "", 4);
    Add(0, {{0.125, -0.125}}, "Long Name  ", 2);
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(test::ReadFile(dir.Path("t-RIVER.tdf")),
              "RIVER 4 16,16 16,32 32,16 0,0 4\r\n"
              "RIVER 1 8,24 2 Long Name  \r\n");
}

TEST_F(TdfWriterTest, RulesSharingAKeywordShareItsFileInFeatureOrder) {
    rules[3].Keyword = "RIVER";  // ROAD's rule now writes under RIVER
    rules[6].Keyword = "River";  // another file: the case is the name's
    Add(0, {{0, 0}}, "a");
    Add(3, {{0.1, 0.1}}, "b");
    Add(6, {{0, 0}}, "c");
    Add(0, {{-0.1, -0.1}}, "d");
    const WriteResult result = Write();
    ASSERT_EQ(result.outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(result.files, (std::vector<std::string>{dir.Path("t-RIVER.tdf"), dir.Path("t-River.tdf")}));
    EXPECT_EQ(test::ReadFile(dir.Path("t-RIVER.tdf")),
              "RIVER 1 16,16 0 a\r\n"
              "RIVER 1 22,22 0 b\r\n"
              "RIVER 1 9,9 0 d\r\n");
    EXPECT_EQ(test::ReadFile(dir.Path("t-River.tdf")), "River 1 16,16 0 c\r\n");
}

TEST_F(TdfWriterTest, AKeywordThatWouldNameAFolderIsRefused) {
    rules[1].Keyword = "../COAST";
    Add(0, {{0, 0}});
    Add(1, {{0, 0}});
    const WriteResult result = Write();
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_NE(result.message.find("the keyword \"../COAST\" cannot be part of a file name"), std::string::npos);
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Can't open file " + dir.Path("t-../COAST.tdf")});
    EXPECT_FALSE(test::Exists(dir.Path("t-RIVER.tdf"))) << "a failed writer puts none of its files in place";
    EXPECT_FALSE(test::Exists(dir.Path("COAST.tdf")));
}

class L2WriterTest : public test::WriterFixture {
protected:
    WriteResult Write(bool large = false, MeaGrid* mea = nullptr, unsigned workers = 2) {
        return WriteL2File(Context(), large, dir.Path("t.l2"), mea, results, workers);
    }
    TerrainResults results;
};

TEST_F(L2WriterTest, LargeRecordsCarry32BitCodesRegularOnlyTheLow16Bits) {
    OpenDem(test::MinuteDem([](int c, int) { return c < 60 ? 100 : 0; }));
    heights.Replace({{0, 0, 7}, {32767, 0, 65536 + 48}});
    SetSegments(2, 1);
    ASSERT_EQ(Write(true).outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(ReadFile(dir.Path("t.o2")), std::string("\0\0\0\0\0\x09\0\0", 8)) << "segments at 0 and 2304";
    EXPECT_EQ(ReadFile(dir.Path("t.l2")).substr(0, 9), std::string("\x30\x00\x01\x00\x64\x00\x82\x3f\x3f", 9));
    EXPECT_TRUE(results.m_largeTerrain);

    ASSERT_EQ(Write(false).outcome, WriteResult::Outcome::kWritten);
    const std::string regular = ReadFile(dir.Path("t.l2"));
    EXPECT_EQ(regular.substr(0, 7), std::string("\x30\x00\x64\x00\x82\x3f\x3f", 7));
    EXPECT_EQ(regular[1792 + 7], 7) << "record 1 of the eastern segment lies on the land's edge";
    EXPECT_FALSE(results.m_largeTerrain);
}

// A cancelled writer puts nothing in place: the earlier run's files stay as they were and
// are named as kept. The MEA grid holds the rows done.
TEST_F(L2WriterTest, CancelPutsNothingInPlace) {
    OpenDem(test::MinuteDem([](int c, int r) { return c + r * 3; }));
    layout.OnResolutionChanged("0.1");
    SetSegments(2, 3);
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    const std::string earlier = ReadFile(dir.Path("t.l2"));
    SetSegments(2, 2);
    test::CancellingProgress cancelling(1);
    progress = &cancelling;
    MeaGrid mea(2, 2);
    const WriteResult cancelled = Write(false, &mea);
    EXPECT_EQ(cancelled.outcome, WriteResult::Outcome::kCancelled);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Cancel?"});
    EXPECT_TRUE(cancelled.files.empty());
    EXPECT_EQ(cancelled.kept, (std::vector<std::string>{dir.Path("t.l2"), dir.Path("t.o2")}));
    EXPECT_EQ(ReadFile(dir.Path("t.o2")).size(), 6 * 4u) << "the earlier index";
    EXPECT_TRUE(ReadFile(dir.Path("t.l2")) == earlier);
    EXPECT_NE(mea.cells()[0], 0);
    for (std::size_t c = 8; c < mea.cells().size(); ++c) EXPECT_EQ(mea.cells()[c], 0) << c;

    prompts.answerYes = false;
    test::CancellingProgress declined(1);
    progress = &declined;
    EXPECT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(ReadFile(dir.Path("t.o2")).size(), 4 * 4u);
}

// Theaters wider than the runs of segments built together, pinned: the tiles, the
// index and the MEA grid, whatever the number of workers.
TEST_F(L2WriterTest, WideTheatersGiveThePinnedFilesWhateverTheWorkers) {
    OpenDem(test::MinuteDem([](int c, int r) { return (c * 53 + r * 29) % 2000 - 300; }));
    struct Case {
        int x, y;
        const char* resolution;
        const char *tiles, *index, *mea;
    };
    const Case cases[] = {
        {37, 5, "0.05", "06eb5c251985496b2a34a30c0f50cfd5", "ab1a51e1257ee9defc345b85198601ef",
         "a18e70d5a7d7063bb8543627efb1b386"},
        {130, 3, "0.0135", "26ba482bc9d7b6e37e1c5729a984aecb", "6b0ff956ce6b0b91fc2d3ea03972be93",
         "0f62bafbccb5bec0aa03178754d2f69f"},
        {300, 2, "0.006", "2bf57799c87b074c884ee5a1b12ed707", "dd91fadec669f3425d02e897e87b1f84",
         "9868b7c0d05459f8f94fdb19bfb523d7"},
    };
    for (const Case& c : cases) {
        layout.OnResolutionChanged(c.resolution);
        SetSegments(c.x, c.y);
        for (const unsigned workers : {0u, 1u, 3u}) {
            SCOPED_TRACE(std::to_string(c.x) + " x " + std::to_string(c.y) + ", workers " + std::to_string(workers));
            MeaGrid mea(c.x, c.y);
            ASSERT_EQ(Write(false, &mea, workers).outcome, WriteResult::Outcome::kWritten);
            const std::string cells(reinterpret_cast<const char*>(mea.cells().data()), mea.cells().size() * 2);
            EXPECT_EQ(test::Md5Hex(ReadFile(dir.Path("t.l2"))), c.tiles);
            EXPECT_EQ(test::Md5Hex(ReadFile(dir.Path("t.o2"))), c.index);
            EXPECT_EQ(test::Md5Hex(cells), c.mea);
        }
    }
}

}  // namespace
}  // namespace gw
