#include "tests/TestSupport.h"
#include "tests/util/FaultyFileOps.h"
#include "core/util/OutputFile.h"
#include "core/util/OutputSet.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>

namespace gw {
namespace {

using test::FaultyFileOps;
using test::ReadFile;

// Every entry of a folder, hidden ones included, with its bytes.
std::map<std::string, std::string> Contents(const test::TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) {
        files[entry.path().filename()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<folder>";
    }
    return files;
}

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteFile(dir.Path("t.l2"), "old"); }
    test::TempDir dir;
};

TEST_F(OutputFileTest, ReplacesTheFileOnlyWhenClosed) {
    OutputFile file;
    ASSERT_TRUE(file.Create(dir.Path("t.l2")).ok());
    file.Write("new");
    EXPECT_EQ(ReadFile(dir.Path("t.l2")), "old");
    ASSERT_TRUE(file.Close().ok());
    EXPECT_TRUE(file.in_place());
    EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"t.l2", "new"}}));
}

TEST_F(OutputFileTest, AFileNeverClosedOrFailingLeavesTheOldOneAndNoTemporary) {
    {
        OutputFile file;
        ASSERT_TRUE(file.Create(dir.Path("t.l2")).ok());
        file.Write(std::string(3 << 20, 'x'));  // more than one buffer reaches the disk
    }
    EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"t.l2", "old"}}));

    for (const auto call : {FaultyFileOps::Call::kWrite, FaultyFileOps::Call::kSync, FaultyFileOps::Call::kClose,
                            FaultyFileOps::Call::kRename}) {
        FaultyFileOps ops(call, "t.l2");
        OutputFile file;
        ASSERT_TRUE(file.Create(dir.Path("t.l2"), ops).ok());
        file.WriteLine("new");
        const Status closed = file.Close();
        EXPECT_EQ(ops.failures, 1);
        EXPECT_EQ(closed.code(), Status::Code::kIOError);
        EXPECT_NE(closed.message().find(dir.Path("t.l2")), std::string::npos) << closed.message();
        EXPECT_NE(closed.message().find("No space left on device"), std::string::npos) << closed.message();
        EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"t.l2", "old"}}));
    }
}

TEST_F(OutputFileTest, ASetPutsItsFilesInPlaceTogetherOrNotAtAll) {
    test::WriteFile(dir.Path("t.o2"), "old index");
    {
        OutputSet set;
        OutputFile *tiles, *index;
        ASSERT_TRUE(set.Create(dir.Path("t.l2"), &tiles).ok());
        ASSERT_TRUE(set.Create(dir.Path("t.o2"), &index).ok());
        EXPECT_EQ(set.Create(dir.Path("t.o2"), &index).code(), Status::Code::kInvalidArgument);
        tiles->Write("new");
        ASSERT_TRUE(tiles->Close().ok());
        EXPECT_FALSE(tiles->in_place()) << "a set's file waits for the set";
        EXPECT_EQ(ReadFile(dir.Path("t.l2")), "old");
        set.Discard();
        EXPECT_FALSE(set.InPlace(dir.Path("t.l2")));
    }
    const std::map<std::string, std::string> before = {{"t.l2", "old"}, {"t.o2", "old index"}};
    EXPECT_EQ(Contents(dir), before);

    {
        OutputSet set;
        OutputFile* tiles;
        ASSERT_TRUE(set.Create(dir.Path("t.l2"), &tiles).ok());
        tiles->Write("dropped");
    }  // destroyed uncommitted, as when an exception passes
    EXPECT_EQ(Contents(dir), before);

    OutputSet set;
    OutputFile *tiles, *index;
    ASSERT_TRUE(set.Create(dir.Path("t.l2"), &tiles).ok());
    ASSERT_TRUE(set.Create(dir.Path("t.o2"), &index).ok());
    tiles->Write("new");
    ASSERT_TRUE(tiles->Close().ok());
    index->Write("new index");  // left open: Commit completes it
    ASSERT_TRUE(set.Commit().ok());
    EXPECT_TRUE(set.InPlace(dir.Path("t.l2")) && set.InPlace(dir.Path("t.o2")));
    EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"t.l2", "new"}, {"t.o2", "new index"}}));
}

TEST_F(OutputFileTest, ASetWithAFileThatCouldNotBeWrittenCommitsNothing) {
    FaultyFileOps ops(FaultyFileOps::Call::kWrite, "t.o2");
    OutputSet set(ops);
    OutputFile *tiles, *index;
    ASSERT_TRUE(set.Create(dir.Path("t.l2"), &tiles).ok());
    ASSERT_TRUE(set.Create(dir.Path("t.o2"), &index).ok());
    tiles->Write("new");
    index->Write("new index");
    const Status committed = set.Commit();
    EXPECT_NE(committed.message().find("cannot write " + dir.Path("t.o2")), std::string::npos) << committed.message();
    EXPECT_EQ(Contents(dir), (std::map<std::string, std::string>{{"t.l2", "old"}}));
}

}  // namespace
}  // namespace gw
