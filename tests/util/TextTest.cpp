#include "tests/TestSupport.h"
#include "core/util/Text.h"

namespace gw {
namespace {

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
