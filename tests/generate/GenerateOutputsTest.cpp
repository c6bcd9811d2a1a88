#include "core/generate/Generate.h"
#include "core/generate/L2Writer.h"
#include "core/generate/TheaterLock.h"
#include "tests/generate/WriterFixture.h"
#include "tests/util/FaultyFileOps.h"
#include "core/util/OutputSet.h"

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <map>

namespace gw {
namespace {

using test::FaultyFileOps;

// Every entry of a folder, hidden ones included, with its bytes.
std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename()] = entry.is_regular_file() ? test::ReadFile(entry.path()) : "<folder>";
    }
    return files;
}

// The names of the entries that differ between two listings of a folder.
std::vector<std::string> Changed(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : a) {
        if (!b.count(name) || b.at(name) != bytes) names.push_back(name);
    }
    for (const auto& [name, bytes] : b) {
        if (!a.count(name)) names.push_back(name);
    }
    return names;
}

class GenerateOutputsTest : public test::WriterFixture {
protected:
    void SetUp() override {
        OpenThirtyMileTheater();
        std::filesystem::create_directory(dir.Path("out"));
        std::string palette = "JASC-PAL\n0100\n256\n";
        for (int i = 0; i < 256; ++i) palette += std::to_string(i) + " 1 2\n";
        test::WriteFile(dir.Path("p.pal"), palette);
        prompts.palette = dir.Path("p.pal");
        doc.AddFeature(Feature{0, {{0, 0}, {0.1, 0.1}}, "Rio", 1});
        doc.AddFeature(Feature{5, {{0.05, -0.05}}, "Town", 2});  // a LABEL point
        options.map = options.tdf = options.objectives = true;
    }
    GenerateReport Run(OutputSet* outputs = nullptr, const std::string& name = "t.l2") {
        GenerateContext context = Context();
        context.outputs = outputs;
        return RunGenerate(context, options, Out(name), results, 2);
    }
    std::string Out(const std::string& name) const { return dir.Path("out/" + name); }
    std::map<std::string, std::string> Folder() const { return Contents(dir.Path("out")); }

    BuildOptions options;
    TerrainResults results;
};

TEST_F(GenerateOutputsTest, ARunLeavesItsFilesAndNothingElse) {
    const GenerateReport report = Run();
    ASSERT_TRUE(report.complete());
    std::vector<std::string> names;
    for (const auto& [name, bytes] : Folder()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"t-LABEL.tdf", "t-RIVER.tdf", "t-obj.csv", "t.l2", "t.map", "t.mea",
                                               "t.o2", "t.txt"}));
    EXPECT_EQ(report.files().size(), names.size());
}

TEST_F(GenerateOutputsTest, TheRunChecksItsInputsAndReadsThePaletteBeforeWriting) {
    SetSegments(0, 2);
    GenerateReport report = Run();
    ASSERT_EQ(report.jobs.size(), 1u);
    EXPECT_EQ(report.jobs[0].result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_NE(report.jobs[0].result.message.find("segments must be from 1"), std::string::npos);
    EXPECT_TRUE(Folder().empty());

    SetSegments(2, 2);
    test::WriteFile(dir.Path("p.pal"), "JASC-PAL\n0100\n16\n");
    report = Run();
    EXPECT_EQ(prompts.messages.front(), "Bad palette file - is it paint shop pro format?\n p.pal");
    ASSERT_GE(report.jobs.size(), 3u);
    EXPECT_EQ(report.jobs[2].job, Job::kMap);
    EXPECT_EQ(report.jobs[2].result.outcome, WriteResult::Outcome::kSkipped);
    EXPECT_FALSE(Folder().count("t.map"));
    EXPECT_TRUE(Folder().count("t.mea")) << "the other files are written";

    CGridwrightDoc closed;
    GenerateContext context = Context();
    const GenerateContext noDem{closed, context.layout, context.heights, context.rules, context.objectiveRules,
                                context.random, context.progress, context.prompts};
    EXPECT_EQ(RunGenerate(noDem, options, Out("n.l2"), results, 1).jobs[0].result.message, "no DEM is open");
}

TEST_F(GenerateOutputsTest, ARasterCutShortWhileReadFailsTheRun) {
    ASSERT_TRUE(Run().complete());
    const auto earlier = Folder();
    std::filesystem::resize_file(dir.Path("dem.bin"), 1000);
    const GenerateReport report = Run();
    ASSERT_EQ(report.jobs.size(), 1u);
    EXPECT_EQ(report.jobs[0].result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_NE(report.jobs[0].result.message.find("the DEM changed while it was read"), std::string::npos)
        << report.jobs[0].result.message;
    EXPECT_EQ(Folder(), earlier);
}

// A failed create, write, sync, close or rename of any one file fails its writer's
// job, names the file, and leaves the files of the earlier run as they were.
TEST_F(GenerateOutputsTest, AFailingFileKeepsTheEarlierRunWhole) {
    ASSERT_TRUE(Run().complete());
    const auto earlier = Folder();
    const std::map<std::string, Job> jobOf = {
        {"t.l2", Job::kTerrain},  {"t.o2", Job::kTerrain}, {"t.txt", Job::kDescription}, {"t.map", Job::kMap},
        {"t.mea", Job::kMea}, {"t-RIVER.tdf", Job::kTdf}, {"t-obj.csv", Job::kObjectives},
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
            EXPECT_FALSE(report.complete());
            const auto failed = std::find_if(report.jobs.begin(), report.jobs.end(), [](const JobReport& j) {
                return j.result.outcome == WriteResult::Outcome::kFailed;
            });
            ASSERT_NE(failed, report.jobs.end());
            EXPECT_EQ(failed->job, job);
            EXPECT_NE(failed->result.message.find(Out(name)), std::string::npos) << failed->result.message;
            EXPECT_EQ(Changed(Folder(), earlier), std::vector<std::string>{});
            if (call != FaultyFileOps::Call::kRename) {
                EXPECT_EQ(failed, report.jobs.end() - 1) << "the run ends at the failing writer";
                EXPECT_TRUE(report.files().empty()) << "no file of the run is in place";
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
    EXPECT_EQ(report.jobs[3].result.outcome, WriteResult::Outcome::kFailed);
    EXPECT_EQ(report.jobs[3].result.message, "cannot put " + Out("t.mea") + " in place: Input/output error");
    EXPECT_TRUE(report.files().empty());
    EXPECT_EQ(Changed(Folder(), earlier), std::vector<std::string>{}) << "t.txt, new in this run, is gone again";
}

TEST_F(GenerateOutputsTest, ACancelledWriterStillHasItsFilesPutInPlace) {
    test::CancellingProgress cancelling(1);
    progress = &cancelling;
    SetSegments(2, 3);
    const GenerateReport report = Run();
    ASSERT_GE(report.jobs.size(), 2u);
    EXPECT_EQ(report.jobs[0].result.outcome, WriteResult::Outcome::kCancelled);
    EXPECT_EQ(report.jobs[0].result.files, (std::vector<std::string>{Out("t.l2"), Out("t.o2")}));
    EXPECT_EQ(test::ReadFile(Out("t.o2")).size(), 8u) << "the southernmost segment row";
    EXPECT_EQ(report.jobs[1].result.outcome, WriteResult::Outcome::kWritten) << "the run goes on";
    EXPECT_FALSE(Folder().count(".t.o2.lock"));
}

TEST_F(GenerateOutputsTest, AnExceptionLeavesNoTemporaryAndNoLock) {
    ASSERT_TRUE(Run().complete());
    const auto earlier = Folder();
    // Thrown once the earlier writers have made their files.
    class ThrowingProgress : public NullProgress {
        void SetStatus(const std::string& text) override {
            if (text == "Generating TDF files") throw std::runtime_error("gone");
        }
    } throwing;
    progress = &throwing;
    EXPECT_THROW(Run(), std::runtime_error);
    EXPECT_EQ(Changed(Folder(), earlier), std::vector<std::string>{});
}

TEST_F(GenerateOutputsTest, ASecondRunOnTheSameTheaterFailsAtOnce) {
    TheaterLock first;
    ASSERT_TRUE(first.Acquire(Out("t.l2")).ok());
    EXPECT_TRUE(test::Exists(Out(".t.o2.lock")));
    for (const char* name : {"t.l2", "t.L2"}) {  // both write t.o2
        const GenerateReport report = Run(nullptr, name);
        ASSERT_EQ(report.jobs.size(), 1u) << name;
        EXPECT_EQ(report.jobs[0].result.outcome, WriteResult::Outcome::kFailed);
        EXPECT_EQ(report.jobs[0].result.message, "another run is writing " + Out(name));
    }
    EXPECT_TRUE(Run(nullptr, "u.l2").complete()) << "another theater in the same folder";
    EXPECT_EQ(Folder().count("t.o2"), 0u);

    first.Release();
    EXPECT_FALSE(test::Exists(Out(".t.o2.lock"))) << "the lock file goes with the lock";
    EXPECT_TRUE(Run().complete());
    EXPECT_FALSE(test::Exists(Out(".t.o2.lock")));
}

TEST_F(GenerateOutputsTest, ALockLeftOnAFileNoLongerAtTheNameKeepsNoRunOff) {
    // A run that opened the lock file just before its holder removed it, and then
    // locked it, holds a lock on a file nobody else will open.
    TheaterLock holder;
    ASSERT_TRUE(holder.Acquire(Out("t.l2")).ok());
    const int late = ::open(Out(".t.o2.lock").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(late, 0);
    holder.Release();
    ASSERT_EQ(::flock(late, LOCK_EX | LOCK_NB), 0);
    TheaterLock next;
    EXPECT_TRUE(next.Acquire(Out("t.l2")).ok());
    ::close(late);

    // A lock file a crashed run left behind is taken over.
    next.Release();
    test::WriteFile(Out(".t.o2.lock"), "");
    EXPECT_TRUE(Run().complete());
    EXPECT_FALSE(test::Exists(Out(".t.o2.lock")));
}

TEST_F(GenerateOutputsTest, AnotherProcessIsKeptOffTheTheater) {
    TheaterLock held;
    ASSERT_TRUE(held.Acquire(Out("c.l2")).ok());
    const auto run = test::RunCommand(test::CliPath() + " generate " + test::SampleDir() + "/coast.hdr " + Out("c.l2") +
                                      " --segments 2 --quiet");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("another run is writing " + Out("c.l2")), std::string::npos) << run.err;
    EXPECT_FALSE(test::Exists(Out("c.o2")));
}

TEST_F(GenerateOutputsTest, NamesChangeOnlyInTheFileName) {
    std::filesystem::create_directory(Out("run.l2"));
    const GenerateReport report = Run(nullptr, "run.l2/t.l2");
    ASSERT_TRUE(report.complete());
    EXPECT_TRUE(test::Exists(Out("run.l2/t.o2")));
    EXPECT_TRUE(test::Exists(Out("run.l2/t-RIVER.tdf")));
    EXPECT_EQ(IndexPathFor("run.L2/T.L2"), "run.L2/T.o2");
    EXPECT_EQ(IndexPathFor("run.L2/t"), std::nullopt);
    EXPECT_EQ(TheaterLock::LockPathFor("/a/t.l2"), "/a/.t.o2.lock");
    EXPECT_EQ(TheaterLock::LockPathFor("/a.l2/t"), "");

    options = BuildOptions{};
    const GenerateReport unnamed = Run(nullptr, "run.l2/t");
    ASSERT_FALSE(unnamed.jobs.empty());
    EXPECT_EQ(unnamed.jobs[0].result.outcome, WriteResult::Outcome::kNotNamed);
    EXPECT_EQ(Contents(Out("run.l2")).size(), 8u) << "nothing more is written";
}

}  // namespace
}  // namespace gw
