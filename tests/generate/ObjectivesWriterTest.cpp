#include "tests/generate/WriterFixture.h"
#include "core/generate/ObjectivesWriter.h"
#include "core/util/OutputFile.h"

#include <sstream>

namespace gw {
namespace {

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

TEST(ObjectivesWriter, IdsSkipTheirGapsAndEndAtTheLargest) {
    test::TempDir dir;
    OutputFile file;
    ASSERT_TRUE(file.Create(dir.Path("x")).ok());
    ObjectiveRuleSet rules;
    CRandom random;
    NullProgress progress;
    test::ScriptedPrompts prompts;
    const std::pair<std::int32_t, std::vector<std::optional<std::int32_t>>> cases[] = {
        {4001, {4001, 4002, 4030}},
        {5994, {5994, 6005}},
        {INT32_MAX, {INT32_MAX, std::nullopt, std::nullopt}},
    };
    for (const auto& [base, ids] : cases) {
        rules.m_baseId = base;
        ObjectivesWriter writer(rules, random, 32, 32, file, progress, prompts, kMaxObjectives);
        for (const std::optional<std::int32_t> id : ids) EXPECT_EQ(writer.NextObjectiveId(), id) << base;
    }
}

}  // namespace
}  // namespace gw
