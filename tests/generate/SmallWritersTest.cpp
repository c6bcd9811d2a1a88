#include "core/generate/MapWriter.h"
#include "tests/generate/WriterFixture.h"
#include "core/util/LittleEndian.h"

namespace gw {
namespace {

using test::ReadFile;

class SmallWritersTest : public test::WriterFixture {
protected:
    void SetUp() override { OpenDem(test::MinuteDem([](int c, int r) { return c * 10 - r; })); }

    std::string WritePalette(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        const std::string path = dir.Path("p.pal");
        test::WriteFile(path, text);
        return path;
    }
    std::vector<std::string> GoodPalette(const std::string& firstColour = "1 2 3") {
        std::vector<std::string> lines = {"JASC-PAL", "0100", "256", firstColour};
        for (int i = 1; i < 256; ++i) lines.push_back(std::to_string(i) + " 0 " + std::to_string(255 - i));
        return lines;
    }
    static std::uint32_t U32(const std::string& bytes, std::size_t offset) {
        return GetLE32(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
    }
};

TEST_F(SmallWritersTest, MapFlagsAndLevelsFollowTheSegments) {
    SetSegments(65, 3);
    std::vector<std::uint8_t> bytes = BuildMapFile(layout, true, std::vector<std::uint8_t>(1024));
    std::string map(bytes.begin(), bytes.end());
    EXPECT_EQ(U32(map, 1100), 3u);
    SetSegments(3, 65);
    bytes = BuildMapFile(layout, false, std::vector<std::uint8_t>(1024));
    map.assign(bytes.begin(), bytes.end());
    const std::uint32_t across[6] = {12, 6, 3, 1, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(U32(map, 1052 + 8 * i), across[i]) << i;
    EXPECT_EQ(U32(map, 1100), 0u);
}

TEST_F(SmallWritersTest, BadPalettesAreRefusedWithTheirReasonAndWriteNoMapFile) {
    struct Case {
        std::vector<std::string> lines;
        std::string why;
    };
    std::vector<std::string> shortLine = GoodPalette();
    shortLine[100] = "1 2";
    const std::vector<Case> bad = {
        {{}, "the file is empty"},
        {{"jasc-pal", "0100", "256"}, "the first line is not \"JASC-PAL\""},
        {{"JASC-PAL", "0100"}, "the file ends before the number of colours"},
        {{"JASC-PAL", "0100", "16", "1 2 3"}, "the number of colours is not 256"},
        {{"JASC-PAL", "0100", "256", "1 2 3"}, "the file ends after 1 colours"},
        {shortLine, "colour 98 is not three numbers"},
    };
    for (const Case& c : bad) {
        std::vector<std::uint8_t> entries;
        const Status read = ReadPalette(WritePalette(c.lines), entries);
        EXPECT_EQ(read.code(), Status::Code::kCorruption) << c.why;
        EXPECT_EQ(read.message(), dir.Path("p.pal") + ": " + c.why);
    }
    std::vector<std::uint8_t> entries;
    EXPECT_EQ(ReadPalette(dir.Path("none.pal"), entries).code(), Status::Code::kIOError);
    EXPECT_EQ(ReadPalette(dir.Path(""), entries).code(), Status::Code::kIOError) << "a folder is no palette";

    prompts.palette = WritePalette(shortLine);
    const std::optional<WriteResult> result = ChooseAndReadPalette(Context(), {}, entries);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, WriteResult::Outcome::kSkipped);
    EXPECT_EQ(result->message, dir.Path("p.pal") + ": colour 98 is not three numbers");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Bad palette file - is it paint shop pro format?\n p.pal"});

    prompts.palette.reset();
    EXPECT_EQ(ChooseAndReadPalette(Context(), {}, entries)->outcome, WriteResult::Outcome::kSkipped);
}

}  // namespace
}  // namespace gw
