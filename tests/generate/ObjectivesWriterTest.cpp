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
    // The lines the writer itself writes for the placed features, for runs that stop:
    // a stopped objectives file is a failed one, and is not put in place.
    std::vector<std::string> WriteStopped() {
        OutputFile file;
        EXPECT_TRUE(file.Create(dir.Path("stopped.csv")).ok());
        ObjectivesWriter writer(objectiveRules, random, 32, 32, file, *progress, prompts);
        for (const Feature& f : doc.features()) writer.MakeTopLevel(f.name, "LABEL", f.type, {1, 1});
        stop = writer.stop();
        stopReason = writer.stopReason();
        EXPECT_TRUE(file.Close().ok());
        return Lines(dir.Path("stopped.csv"));
    }
    WriteResult result;
    ObjectivesWriter::Stop stop = ObjectivesWriter::Stop::kNone;
    std::string stopReason;
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

    const std::vector<std::string> lines = WriteStopped();
    EXPECT_EQ(stop, ObjectivesWriter::Stop::kRunaway);
    ASSERT_EQ(lines.size(), kMaxObjectives);
    EXPECT_EQ(lines.back().substr(0, 19), "0 Label-0, 1000040,") << "ids from 4, past both gaps";
}

TEST_F(ObjectivesWriterTest, IdsThatWouldPassTheLargestIdStopTheFile) {
    Rules("BaseId 2147483640\nType Label-0\nIds 1\nGenerates Label-0 1\n");
    Place(0, 0, "Town", 0);
    Write();
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_EQ(result.message,
              "Objective ids ran out after 2147483647 (BaseId 2147483640); the objectives file stopped there.");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{result.message});

    const std::vector<std::string> lines = WriteStopped();
    EXPECT_EQ(stop, ObjectivesWriter::Stop::kIdsExhausted);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines.back().substr(0, 21), "0 Label-0, 2147483647");
}

// A progress whose Cancel is pressed at its nth look.
class CancelAtLook : public NullProgress {
public:
    explicit CancelAtLook(int n) : m_pressAt(n) {}
    bool CheckCancelButton() override { return ++m_looks == m_pressAt; }

private:
    int m_pressAt;
    int m_looks = 0;
};

TEST_F(ObjectivesWriterTest, CancelIsSeenWhileOneFeatureSpawns) {
    Rules("Type Label-0\nIds 1\nGenerates Label-0 2\n");
    Place(0, 0, "Town", 0);
    CancelAtLook pressed(500);
    progress = &pressed;
    const std::vector<std::string> lines = Write();
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kCancelled);
    EXPECT_EQ(lines.size(), 1u + 500) << "the town and 499 spawned before the 500th look";
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Cancel?"});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("levels deep"), std::string::npos) << "the depth cut, no runaway";
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

TEST(ObjectivesWriter, EveryShapeOfRunawayStops) {
    const std::pair<const char*, const char*> shapes[] = {
        {"Type Town\nIds 1\nGenerates Factory 2147483647\nType Factory\nIds 2\n",
         "\"Town\" runs away: its \"Generates Factory 2147483647\""},
        {"Type Town\nIds 1\nGenerates Depot 1-2\nType Depot\nIds 2\nGenerates Town 2\n", " runs away: its "},
        {"Type Town\nGenerates Town 2\n", "\"Town\" runs away"},  // no Ids: no lines, but ids all the same
    };
    for (const auto& [obr, culprit] : shapes) {
        WriterParts parts;
        parts.rules.m_objectiveRules.clear();
        parts.rules.Parse(obr);
        ObjectivesWriter writer = parts.Make(32, 1000);
        writer.MakeTopLevel("x", "Town", 0, {5, 5});
        EXPECT_EQ(writer.stop(), ObjectivesWriter::Stop::kRunaway) << obr;
        EXPECT_NE(writer.stopReason().find(culprit), std::string::npos) << writer.stopReason();
        EXPECT_NE(writer.stopReason().find("more than 1000 objectives"), std::string::npos);
        writer.MakeTopLevel("y", "Town", 0, {6, 6});
        EXPECT_LE(parts.Lines(), 1000u) << "nothing more once stopped";
        EXPECT_EQ(writer.NextObjectiveId(), 4 + 1000) << "exactly the limit's ids were taken";
    }
}

TEST(ObjectivesWriter, FreeTilesWrapToZeroAndFallBackToTheTileItself) {
    WriterParts parts;
    ObjectivesWriter writer = parts.Make(2);
    // On a 2 x 2 theater every candidate near (1, 1) is one of its four tiles.
    std::set<ObjectivesWriter::Tile> found;
    for (int i = 0; i < 4; ++i) found.insert(writer.FindFreeTileNear({1, 1}));
    EXPECT_EQ(found, (std::set<ObjectivesWriter::Tile>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(writer.FindFreeTileNear({7, 7}), (ObjectivesWriter::Tile{7, 7})) << "all taken";
}

}  // namespace
}  // namespace gw
