#include "tests/generate/WriterFixture.h"
#include "core/generate/ObjectivesWriter.h"
#include "core/util/OutputFile.h"

#include <algorithm>
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
    // The lines of a file, without their CR LF ends.
    std::vector<std::string> Lines(const std::string& path) const {
        std::istringstream text(test::ReadFile(path));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.size() - 1));
        return lines;
    }
    // The lines after the time line.
    std::vector<std::string> Write() {
        result = WriteObjectivesFile(Context(), 0, dir.Path("t.l2"));
        std::vector<std::string> lines = Lines(dir.Path("t-obj.csv"));
        if (!lines.empty()) lines.erase(lines.begin());
        return lines;
    }
    WriteResult result;
};

const char* const kHeader = "Name, Id, Object, X, Y, Z, Owner, CampId, Parent, Priority, FOwner";

TEST_F(ObjectivesWriterTest, AShortRunDrawsInItsOrder) {
    Rules("Type Label-0\nPriority 30\nIds 100 200 300\nGenerates Depot 1-2\nType Depot\nPriority 5\nIds 7\n");
    Place(-0.075, -5.5 / 60, "Town   ", 0);  // the tile (10, 11)
    const std::vector<std::string> lines = Write();
    // Draws 41 (discarded), 18467 (object 300), 6334 and 26500 (the depot's tile: 4 and
    // 0 from two tiles south-west of the town), 19169 (its object), 15724 (no extra).
    EXPECT_EQ(lines, (std::vector<std::string>{kHeader, "Town, 4, 300, 10, 11, 0, 2, 4, 0, 30, 2",
                                               "0 Depot, 5, 7, 12, 9, 0, 2, 5, 4, 5, 2"}));
    EXPECT_EQ(test::ReadFile(dir.Path("t-obj.csv")).substr(0, 23), "2.0 Objective Generate ");
}

TEST_F(ObjectivesWriterTest, NamesRulesAndIdsThatWriteNothing) {
    Rules("Type Label-0\nIds 1\nType Label-1\nGenerates Label-0 1\n");
    Place(0, 0, "", 0);                // "NoName"
    Place(0, 0, "Quiet", 1);           // no Ids: no line, an id all the same, and it spawns
    Place(0, 0, "Nobody", 2);          // no rule: nothing
    Place(5, 5, "Far", 0);             // off the theater: nothing
    doc.AddFeature(Feature{0, {{0, 0}}, "River", 0});  // a line feature
    const std::vector<std::string> lines = Write();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].substr(0, 10), "NoName, 4,");
    EXPECT_EQ(lines[2].substr(0, 13), "0 Label-0, 6,");
    EXPECT_NE(lines[2].find(", 5, 10, 2"), std::string::npos) << "parent 5, the rule without Ids";

    objectiveRules.m_ignoreNoNames = 1;
    const std::vector<std::string> ignoring = Write();
    ASSERT_EQ(ignoring.size(), 2u);
    EXPECT_EQ(ignoring[1].substr(0, 13), "0 Label-0, 5,") << "the nameless point took no id";
}

TEST_F(ObjectivesWriterTest, ASelfSpawningRuleIsCutAndReportedOnce) {
    Rules("Type Label-0\nIds 1\nGenerates Label-0 1\n");
    Place(0, 0, "Loop", 0);
    Place(0.1, 0.1, "Loop again", 0);
    const std::vector<std::string> lines = Write();
    EXPECT_EQ(lines.size(), 1u + 2 * (1 + kMaxSpawnDepth));
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("Label-0"), std::string::npos);
}

TEST_F(ObjectivesWriterTest, RulesThatRunAwayStopTheFileAtTheLimitNamingTheRule) {
    Rules("Type Label-0\nIds 1\nGenerates Label-0 2\n");  // 2^32 objectives within the depth cut
    Place(0, 0, "Town", 0);
    Place(0.1, 0.1, "Never reached", 0);
    Write();
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_FALSE(test::Exists(dir.Path("t-obj.csv"))) << "a stopped file is a failed one";
    ASSERT_EQ(prompts.messages.size(), 1u) << "one message, not the depth cut's as well";
    EXPECT_EQ(prompts.messages[0],
              "Objective rule \"Label-0\" runs away: its \"Generates Label-0 2\" would make more than 1000000 "
              "objectives; the objectives file stopped there.");
    EXPECT_EQ(result.message, prompts.messages[0]);
}

TEST_F(ObjectivesWriterTest, IdsThatWouldPassTheLargestIdStopTheFile) {
    Rules("BaseId 2147483640\nType Label-0\nIds 1\nGenerates Label-0 1\n");
    Place(0, 0, "Town", 0);
    Write();
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_EQ(result.message,
              "Objective ids ran out after 2147483647 (BaseId 2147483640); the objectives file stopped there.");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{result.message});
}


// What an ObjectivesWriter of its own needs.
struct WriterParts {
    WriterParts() { EXPECT_TRUE(file.Create(dir.Path("x")).ok()); }
    ObjectivesWriter Make(std::int32_t tiles, std::int64_t maxObjectives = kMaxObjectives) {
        return ObjectivesWriter(rules, random, tiles, tiles, file, progress, prompts, maxObjectives);
    }
    // The lines written so far.
    std::size_t Lines() {
        EXPECT_TRUE(file.Close().ok());
        const std::string text = test::ReadFile(dir.Path("x"));
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }

    test::TempDir dir;
    OutputFile file;
    ObjectiveRuleSet rules;
    CRandom random;
    NullProgress progress;
    test::ScriptedPrompts prompts;
};

TEST(ObjectivesWriter, IdsSkipTheirGapsAndEndAtTheLargest) {
    WriterParts parts;
    parts.rules.m_baseId = 4001;
    ObjectivesWriter low = parts.Make(32);
    EXPECT_EQ(low.NextObjectiveId(), 4001);
    EXPECT_EQ(low.NextObjectiveId(), 4002);
    EXPECT_EQ(low.NextObjectiveId(), 4030);
    parts.rules.m_baseId = 5994;
    ObjectivesWriter high = parts.Make(32);
    EXPECT_EQ(high.NextObjectiveId(), 5994);
    EXPECT_EQ(high.NextObjectiveId(), 6005);
    parts.rules.m_baseId = INT32_MAX;
    ObjectivesWriter top = parts.Make(32);
    EXPECT_EQ(top.NextObjectiveId(), INT32_MAX);
    EXPECT_EQ(top.NextObjectiveId(), std::nullopt);
    EXPECT_EQ(top.NextObjectiveId(), std::nullopt);
}

}  // namespace
}  // namespace gw
