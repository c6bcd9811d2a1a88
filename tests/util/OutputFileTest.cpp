#include "tests/generate/WriterFixture.h"
#include "core/util/OutputFile.h"
#include "core/util/OutputSet.h"

namespace gw {
namespace {

using test::ReadFile;
using Files = std::map<std::string, std::string>;

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
