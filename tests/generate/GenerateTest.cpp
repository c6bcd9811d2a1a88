#include "core/document/FeatureLoader.h"
#include "core/generate/Generate.h"
#include "core/generate/TheaterLock.h"
#include "core/util/OutputSet.h"
#include "tests/generate/WriterFixture.h"
#include "tests/util/FaultyFileOps.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace gw {
namespace {

using test::FaultyFileOps;

class GenerateTest : public test::WriterFixture {
protected:
    GenerateReport Run(OutputSet* outputs = nullptr, const std::string& name = "t.l2") {
        GenerateContext context = Context();
        context.outputs = outputs;
        return RunGenerate(context, options, Out(name), results, 2);
    }
    std::string Out(const std::string& name) const { return dir.Path("out/" + name); }
    std::map<std::string, std::string> Folder() const { return test::Contents(dir.Path("out")); }
    // Every file of the output folder by the MD5 of its bytes.
    std::map<std::string, std::string> Digests() const {
        std::map<std::string, std::string> digests;
        for (const auto& [name, bytes] : Folder()) digests[name] = test::Md5(bytes);
        return digests;
    }
    void SetUp() override { std::filesystem::create_directory(dir.Path("out")); }

    BuildOptions options;
    TerrainResults results;
};

// Whole runs pinned to the bytes of every file they leave: the sample DEM with a river
// and a town, and a real DEM with the real coverages loaded through the built-in rules.
TEST_F(GenerateTest, WholeRunsGiveThePinnedFiles) {
    struct Case {
        std::string dem;
        std::vector<std::string> e00;
        const char* resolution;
        int x, y;
        bool large;
        std::map<std::string, std::string> md5;
    };
    const std::string shared = test::SharedDataDir();
    const std::vector<Case> cases = {
        {test::SampleDir() + "/coast.hdr", {}, "0.5", 20, 12, false,
         {{"t-LABEL.tdf", "2f136231a73ec2e27aeb3b3de94f420b"}, {"t-RIVER.tdf", "85b9d0c27933c7410fb16b81124b8b1b"},
          {"t-obj.csv", "3034e93f7a3bfd85dc7d9462f44bd2a7"}, {"t.l2", "7bf8ac51149ba258211ea3452b1069dc"},
          {"t.map", "5334ab7a2e2eaa0c3c9b4b1e674f351d"}, {"t.mea", "5df62bb84380a8a3ec494bc68e54c984"},
          {"t.o2", "7a7fd710ef6173285594b92dee520709"}, {"t.txt", "6286a70bb1acc598ade1fc023a906000"}}},
        {shared + "/dem/fr_it_etopo2.hdr",
         {shared + "/e00/dcw/dnnet.e00", shared + "/e00/dcw/ponet.e00", shared + "/e00/dcw/pppoint.e00",
          shared + "/e00/dcw/aepoint.e00"},
         "0.5", 37, 25, true,
         {{"t-AIRPORT.tdf", "7f4aaa5f0ba4757ef9345a07d3dd580e"}, {"t-COAST.tdf", "71adff4e8f22730628338be7801942b8"},
          {"t-LABEL.tdf", "4d2a0a875af924db40191f754a2ed93a"}, {"t-RIVER.tdf", "606e068c11068ff5637a31c493e96908"},
          {"t-obj.csv", "66d1e637511b7a17a59b9396940d7170"}, {"t.l2", "80d30f54b4decb5caa8e4b9c429d02b7"},
          {"t.map", "45488bf423928e3da77fb24916de48f3"}, {"t.mea", "0906f1128c929c5bb4af480b77657d92"},
          {"t.o2", "1a41dba783ed5cf762caa365de86e1f3"}, {"t.txt", "8afec9053c10528cd62556a3b961b385"}}},
    };
    for (const Case& c : cases) {
        if (c.dem.starts_with("/dem/")) continue;  // no shared data
        SCOPED_TRACE(c.dem);
        std::filesystem::remove_all(dir.Path("out"));
        std::filesystem::create_directory(dir.Path("out"));
        doc.OnDeleteFeatures();
        random = CRandom();
        OpenHeader(c.dem);
        if (c.e00.empty()) {
            doc.AddFeature(Feature{0, {{44, 14}, {44.5, 14.5}, {45, 15.2}}, "Rio", 1});
            doc.AddFeature(Feature{5, {{44.2, 14.3}}, "Town", 2});
        } else {
            LoadE00Files(doc, rules, c.e00, quiet, prompts);
        }
        layout.OnResolutionChanged(c.resolution);
        SetSegments(c.x, c.y);
        prompts.palette = test::SampleDir() + "/coast.pal";
        options.map = options.tdf = options.objectives = true;
        options.large = c.large;
        options.objectivesTime = 1700000000;
        ASSERT_TRUE(Run().complete());
        EXPECT_EQ(Digests(), c.md5);
    }
}

class GenerateOutputsTest : public GenerateTest {
protected:
    void SetUp() override {
        GenerateTest::SetUp();
        OpenThirtyMileTheater();
        prompts.palette = test::SampleDir() + "/coast.pal";
        doc.AddFeature(Feature{0, {{0, 0}, {0.1, 0.1}}, "Rio", 1});
        doc.AddFeature(Feature{5, {{0.05, -0.05}}, "Town", 2});  // a LABEL point
        options.map = options.tdf = options.objectives = true;
    }
};

// A DEM cut short after it was opened fails the run and changes nothing.
TEST_F(GenerateOutputsTest, ADemCutShortFailsTheRun) {
    ASSERT_TRUE(Run().complete());
    const auto earlier = Folder();
    std::filesystem::resize_file(dir.Path("dem.bin"), 1000);
    const GenerateReport report = Run();
    ASSERT_EQ(report.jobs.size(), 1u);
    EXPECT_NE(report.jobs[0].result.message.find("the DEM changed while it was read"), std::string::npos);
    EXPECT_EQ(Folder(), earlier);
}

// A failed create, write, sync, close or rename of any one file fails its writer's
// job, names the file, and leaves the files of the earlier run as they were.
TEST_F(GenerateOutputsTest, AFailingFileKeepsTheEarlierRunWhole) {
    ASSERT_TRUE(Run().complete());
    const auto earlier = Folder();
    const std::map<std::string, std::string> jobOf = {
        {"t.l2", "L2"},   {"t.o2", "L2"},          {"t.txt", "TXT"},     {"t.map", "MAP"},
        {"t.mea", "MEA"}, {"t-RIVER.tdf", "TDF"}, {"t-obj.csv", "OBJ"},
    };
    layout.OnCenterLatKillFocus("0.01");  // a run that would change every file
    for (const auto& [name, job] : jobOf) {
        for (const auto call : {FaultyFileOps::Call::kCreate, FaultyFileOps::Call::kWrite, FaultyFileOps::Call::kSync,
                                FaultyFileOps::Call::kClose, FaultyFileOps::Call::kRename}) {
            SCOPED_TRACE(name + " call " + std::to_string(static_cast<int>(call)));
            FaultyFileOps ops(call, name);
            OutputSet outputs(ops);
            const GenerateReport report = Run(&outputs);
            EXPECT_EQ(ops.failures, 1);
            const auto failed = std::find_if(report.jobs.begin(), report.jobs.end(), [](const JobReport& j) {
                return j.result.outcome == WriteResult::Outcome::kFailed;
            });
            ASSERT_NE(failed, report.jobs.end());
            EXPECT_EQ(JobName(failed->job), job);
            EXPECT_NE(failed->result.message.find(Out(name)), std::string::npos) << failed->result.message;
            EXPECT_EQ(Folder(), earlier);
            EXPECT_TRUE(report.files().empty()) << "no file of the run is in place";
            if (call != FaultyFileOps::Call::kRename) {
                EXPECT_EQ(failed, report.jobs.end() - 1) << "the run ends at the failing writer";
            }
        }
    }
}

TEST_F(GenerateOutputsTest, AFileThatCannotBeRenamedBringsBackTheFilesRenamedBeforeIt) {
    ASSERT_TRUE(Run().complete());
    test::WriteFile(Out("t.mea"), "the old MEA file");
    std::filesystem::remove(Out("t.txt"));
    const auto earlier = Folder();
    layout.OnCenterLatKillFocus("0.01");
    FaultyFileOps ops(FaultyFileOps::Call::kRename, "t.mea", EIO);
    OutputSet outputs(ops);
    const GenerateReport report = Run(&outputs);
    ASSERT_EQ(report.jobs.size(), 6u);
    EXPECT_EQ(report.jobs[3].job, Job::kMea);
    EXPECT_EQ(report.jobs[3].result.message, "cannot put " + Out("t.mea") + " in place: Input/output error");
    EXPECT_EQ(Folder(), earlier) << "t.txt, new in this run, is gone again";
}

TEST_F(GenerateOutputsTest, ASecondRunOnTheSameTheaterFailsAtOnce) {
    TheaterLock first;
    ASSERT_TRUE(first.Acquire(Out("t.l2")).ok());
    for (const char* name : {"t.l2", "t.L2"}) {  // both write t.o2
        const GenerateReport report = Run(nullptr, name);
        ASSERT_EQ(report.jobs.size(), 1u) << name;
        EXPECT_EQ(report.jobs[0].result.message, "another run is writing " + Out(name));
    }
    EXPECT_TRUE(Run(nullptr, "u.l2").complete()) << "another theater in the same folder";
    first.Release();
    EXPECT_FALSE(test::Exists(Out(".t.o2.lock"))) << "the lock file goes with the lock";

    // A run that opened the lock file just before its holder removed it, and then
    // locked it, holds a lock on a file nobody else will open.
    ASSERT_TRUE(first.Acquire(Out("t.l2")).ok());
    const int late = ::open(Out(".t.o2.lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(late, 0);
    first.Release();
    ASSERT_EQ(::flock(late, LOCK_EX | LOCK_NB), 0);
    TheaterLock next;
    EXPECT_TRUE(next.Acquire(Out("t.l2")).ok());
    ::close(late);
    next.Release();

    // A lock file a crashed run left behind is taken over.
    test::WriteFile(Out(".t.o2.lock"), "");
    EXPECT_TRUE(Run().complete());
    EXPECT_FALSE(test::Exists(Out(".t.o2.lock")));
}

}  // namespace
}  // namespace gw
