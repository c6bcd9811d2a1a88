#include "core/util/RunFiles.h"

#include "core/util/OutputFile.h"
#include "core/util/OutputSet.h"
#include "tests/generate/WriterFixture.h"
#include "tests/util/FaultyFileOps.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace gw {
namespace {

using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Files = std::map<std::string, std::string>;

TEST(RunFilesTest, AnOutputThatIsAnInputIsRefusedUnderAnyName) {
    TempDir dir;
    WriteFile(dir.Path("coast.pal"), "palette");
    WriteFile(dir.Path("coast.hdr"), "header");
    std::filesystem::create_hard_link(dir.Path("coast.pal"), dir.Path("hard.map"));
    std::filesystem::create_symlink(dir.Path("coast.hdr"), dir.Path("soft.l2"));
    const std::vector<RunInput> inputs = {{dir.Path("coast.hdr"), "the DEM header"},
                                          {dir.Path("coast.pal"), "the palette"},
                                          {dir.Path("gone.e00"), "an E00 file"}};
    const struct {
        std::string output;
        std::string refusal;  // empty: allowed
    } cases[] = {
        {dir.Path("coast.pal"), dir.Path("coast.pal") + " is the palette this run reads"},
        {dir.Path("hard.map"), dir.Path("hard.map") + " is the palette this run reads"},
        {dir.Path("soft.l2"), dir.Path("soft.l2") + " is the DEM header this run reads"},
        {dir.Path("new.l2"), ""},
        {dir.Path("gone.e00"), ""},
    };
    for (const auto& c : cases) {
        const Status status = CheckOutputsAreNotInputs(inputs, {dir.Path("other.o2"), c.output});
        EXPECT_EQ(status.message(), c.refusal) << c.output;
        EXPECT_EQ(status.code(), c.refusal.empty() ? Status::Code::kOk : Status::Code::kInvalidArgument);
    }
}

// A file written whole that cannot be put in place leaves the earlier file as it was.
// Failed writes and syncs are GenerateOutputsTest's, through the same OutputFile.
TEST(RunFilesTest, AWholeFileThatCannotBePutInPlaceLeavesTheEarlierOne) {
    TempDir dir;
    WriteFile(dir.Path("p.png"), "earlier");
    test::FaultyFileOps ops(test::FaultyFileOps::Call::kRename, "p.png");
    EXPECT_FALSE(WriteWholeFile(dir.Path("p.png"), "new", ops).ok());
    EXPECT_EQ(test::Contents(dir.Path("")), (Files{{"p.png", "earlier"}}));
}

TEST(RunFilesTest, TemporariesOfEndedRunsAreRemovedOthersKept) {
    TempDir dir;
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string target = dir.Path("t.l2");
    const std::string stale = TemporaryPathFor(target, std::to_string(ended) + "-3");
    const std::string running = TemporaryPathFor(target, std::to_string(::getppid()) + "-0");
    const std::string otherOutput = TemporaryPathFor(dir.Path("t.o2"), std::to_string(ended) + "-4");
    const std::string notOurs = dir.Path(".t.l2.notes.part");
    for (const std::string& path : {stale, running, otherOutput, notOurs}) WriteFile(path, "x");

    EXPECT_EQ(RemoveStaleTemporaries(target), std::vector<std::string>{stale});
    EXPECT_FALSE(Exists(stale));
    for (const std::string& path : {running, otherOutput, notOurs}) EXPECT_TRUE(Exists(path)) << path;

    // Creating an output clears its stale temporaries and says which.
    WriteFile(stale, "x");
    OutputFile file;
    ASSERT_TRUE(file.Create(target).ok());
    EXPECT_EQ(file.removed_stale(), std::vector<std::string>{stale});
}

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteFile(dir.Path("t.l2"), "old"); }
    Files Folder() const { return test::Contents(dir.Path("")); }
    test::TempDir dir;
};

TEST_F(OutputFileTest, ReplacesTheFileOnlyWhenClosed) {
    {
        OutputFile file;
        ASSERT_TRUE(file.Create(dir.Path("t.l2")).ok());
        file.Write(std::string(3 << 20, 'x'));  // more than one buffer reaches the disk
    }
    EXPECT_EQ(Folder(), (Files{{"t.l2", "old"}})) << "never closed: no temporary is left";
    OutputFile file;
    ASSERT_TRUE(file.Create(dir.Path("t.l2")).ok());
    file.Write("new");
    EXPECT_EQ(ReadFile(dir.Path("t.l2")), "old");
    ASSERT_TRUE(file.Close().ok());
    EXPECT_TRUE(file.in_place());
    EXPECT_EQ(Folder(), (Files{{"t.l2", "new"}}));
}

TEST_F(OutputFileTest, ASetPutsItsFilesInPlaceTogetherOrNotAtAll) {
    test::WriteFile(dir.Path("t.o2"), "old index");
    {
        OutputSet set;
        OutputFile *tiles, *index;
        ASSERT_TRUE(set.Create(dir.Path("t.l2"), &tiles).ok());
        EXPECT_EQ(set.Create(dir.Path("t.l2"), &index).code(), Status::Code::kInvalidArgument);
        tiles->Write("dropped");
        ASSERT_TRUE(tiles->Close().ok());
        EXPECT_FALSE(tiles->in_place()) << "a set's file waits for the set";
    }  // destroyed uncommitted, as when an exception passes
    EXPECT_EQ(Folder(), (Files{{"t.l2", "old"}, {"t.o2", "old index"}}));

    OutputSet set;
    OutputFile *tiles, *index;
    ASSERT_TRUE(set.Create(dir.Path("t.l2"), &tiles).ok());
    ASSERT_TRUE(set.Create(dir.Path("t.o2"), &index).ok());
    tiles->Write("new");
    ASSERT_TRUE(tiles->Close().ok());
    index->Write("new index");  // left open: Commit completes it
    ASSERT_TRUE(set.Commit().ok());
    EXPECT_TRUE(set.InPlace(dir.Path("t.l2")) && set.InPlace(dir.Path("t.o2")));
    EXPECT_EQ(Folder(), (Files{{"t.l2", "new"}, {"t.o2", "new index"}}));
}

}  // namespace
}  // namespace gw
