#include "tests/TestSupport.h"
#include "core/util/Text.h"

namespace gw {
namespace {

TEST(Text, OutputNamesReplaceEveryLowerCaseL2OfTheFileNameOnly) {
    EXPECT_EQ(OutputPathFor("/a/t.l2", ".o2"), "/a/t.o2");
    EXPECT_EQ(OutputPathFor("t.l2", ".o2"), "t.o2");
    EXPECT_EQ(OutputPathFor("/a/t.l2.l2", "-ROAD.tdf"), "/a/t-ROAD.tdf-ROAD.tdf");
    EXPECT_EQ(OutputPathFor("/x.l2/t.l2", "-obj.csv"), "/x.l2/t-obj.csv");
    EXPECT_EQ(OutputPathFor("run.l2/t.l2", ".o2"), "run.l2/t.o2");
    EXPECT_EQ(OutputPathFor("run.l2/t", ".o2"), std::nullopt) << "a folder's .l2 names nothing";
    EXPECT_EQ(OutputPathFor("run.l2/", ".o2"), std::nullopt);
    EXPECT_EQ(OutputPathFor("/a/t.L2", ".txt"), std::nullopt);
    EXPECT_EQ(ReplaceAll("a.hdr.hdr", ".hdr", ".bin"), "a.bin.bin");
    EXPECT_EQ(ReplaceInFileName("a.hdr/b.hdr", ".hdr", ".bin"), "a.hdr/b.bin");
}

TEST(Text, FileNameAndFolder) {
    EXPECT_EQ(FileNameOf("/pal/jasc.pal"), "jasc.pal");
    EXPECT_EQ(FileNameOf("jasc.pal"), "jasc.pal");
    EXPECT_EQ(FolderOf("/pal/jasc.pal"), "/pal/");
    EXPECT_EQ(FolderOf("jasc.pal"), "");
    EXPECT_EQ(FolderOf("/jasc.pal"), "/");
}

TEST(Text, LinesEndAtLfOrCrLfAndStopAtNul) {
    test::TempDir dir;
    const std::string path = dir.Path("lines.txt");
    test::WriteFile(path, std::string("one\r\ntwo\nthr\0ee\n\nlast", 22));
    LineReader reader(path);
    ASSERT_TRUE(reader.is_open());
    std::vector<std::string> lines;
    for (std::string line; reader.Next(line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "thr", "", "last"}));

    EXPECT_FALSE(LineReader(dir.Path("missing")).is_open());
    EXPECT_FALSE(LineReader(dir.Path("")).is_open()) << "a folder is no text file";
}

}  // namespace
}  // namespace gw
