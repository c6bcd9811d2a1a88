#include "core/generate/Generate.h"
#include "core/generate/L2Writer.h"
#include "core/generate/TerrainPath.h"
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
    void SetUp() override { std::filesystem::create_directory(dir.Path("out")); }

    BuildOptions options;
    TerrainResults results;
};

// A whole run pinned to the bytes of every file it leaves: the sample DEM with a river
// and a town. The real DEMs and coverages are pinned through the command line.
TEST_F(GenerateTest, AWholeRunGivesThePinnedFiles) {
    OpenHeader(test::SampleDir() + "/coast.hdr");
    doc.AddFeature(Feature{0, {{44, 14}, {44.5, 14.5}, {45, 15.2}}, "Rio", 1});
    doc.AddFeature(Feature{5, {{44.2, 14.3}}, "Town", 2});
    layout.OnResolutionChanged("0.5");
    SetSegments(20, 12);
    prompts.palette = test::SampleDir() + "/coast.pal";
    options.map = options.tdf = options.objectives = true;
    options.objectivesTime = 1700000000;
    ASSERT_TRUE(Run().complete());
    std::map<std::string, std::string> digests;
    for (const auto& [name, bytes] : Folder()) digests[name] = test::Md5Hex(bytes);
    EXPECT_EQ(digests, (std::map<std::string, std::string>{
                             {"t-LABEL.tdf", "2f136231a73ec2e27aeb3b3de94f420b"},
                             {"t-RIVER.tdf", "85b9d0c27933c7410fb16b81124b8b1b"},
                             {"t-obj.csv", "3034e93f7a3bfd85dc7d9462f44bd2a7"},
                             {"t.l2", "7bf8ac51149ba258211ea3452b1069dc"},
                             {"t.map", "5334ab7a2e2eaa0c3c9b4b1e674f351d"},
                             {"t.mea", "5df62bb84380a8a3ec494bc68e54c984"},
                             {"t.o2", "7a7fd710ef6173285594b92dee520709"},
                             {"t.txt", "6286a70bb1acc598ade1fc023a906000"}}));
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
// job, names the file, and leaves the files of the earlier run as they were: those
// already put in place are brought back, and t.txt, new in this run, is gone again.
TEST_F(GenerateOutputsTest, AFailingFileKeepsTheEarlierRunWhole) {
    ASSERT_TRUE(Run().complete());
    std::filesystem::remove(Out("t.txt"));
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

TEST_F(GenerateOutputsTest, ASecondRunOnTheSameTheaterFailsAtOnce) {
    TheaterLock first;
    ASSERT_TRUE(first.Acquire(Out("t.l2")).ok());
    const GenerateReport refused = Run();  // t.L2 takes the same lock: TerrainPathTest
    ASSERT_EQ(refused.jobs.size(), 1u);
    EXPECT_EQ(refused.jobs[0].result.message, "another run is writing " + Out("t.l2"));
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

// A lower-case ".l2" in the file name names every output, its every ".l2" replaced;
// an upper-case ".L2" names only the tile and index files; a folder's never counts.
TEST(TerrainPathTest, TheL2OfTheFileNameNamesTheOutputs) {
    struct Case {
        const char* path;
        bool accepted, onlyTerrain;
        std::optional<std::string> description, index;
        const char* lock;
    };
    const Case cases[] = {
        {"/out/korea.l2", true, false, "/out/korea.txt", "/out/korea.o2", "/out/.korea.o2.lock"},
        {"korea.l2", true, false, "korea.txt", "korea.o2", ".korea.o2.lock"},
        {"/a/t.l2.l2", true, false, "/a/t.txt.txt", "/a/t.o2.o2", "/a/.t.o2.o2.lock"},
        {"/x.l2/t.l2", true, false, "/x.l2/t.txt", "/x.l2/t.o2", "/x.l2/.t.o2.lock"},
        {"/out/korea.L2", true, true, std::nullopt, "/out/korea.o2", "/out/.korea.o2.lock"},
        {"run.L2/T.L2", true, true, std::nullopt, "run.L2/T.o2", "run.L2/.T.o2.lock"},
        {"/out/korea.dat", false, false, std::nullopt, std::nullopt, ""},
        {"/out/theater.l2/korea", false, false, std::nullopt, std::nullopt, ""},
        {"/out.L2/korea", false, false, std::nullopt, std::nullopt, ""},
        {"run.l2/", false, false, std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Status checked = CheckTerrainPath(c.path);
        EXPECT_EQ(checked.ok(), c.accepted);
        if (!c.accepted) {
            EXPECT_NE(checked.message().find(FileNameOf(c.path)), std::string::npos) << checked.message();
            EXPECT_NE(checked.message().find("\".l2\""), std::string::npos) << checked.message();
        }
        EXPECT_EQ(NamesOnlyTerrainFiles(c.path), c.onlyTerrain);
        EXPECT_EQ(OutputPathFor(c.path, ".txt"), c.description);
        EXPECT_EQ(IndexPathFor(c.path), c.index);
        EXPECT_EQ(TheaterLock::LockPathFor(c.path), c.lock);
    }
}

}  // namespace
}  // namespace gw
