#include "core/generate/DescriptionWriter.h"
#include "core/generate/MapWriter.h"
#include "core/generate/MeaWriter.h"
#include "tests/generate/WriterFixture.h"
#include "core/util/LittleEndian.h"

#include <bit>
#include <cstring>

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
    static float F32(const std::string& bytes, std::size_t offset) { return std::bit_cast<float>(U32(bytes, offset)); }

    TerrainResults results;
};

TEST_F(SmallWritersTest, DescriptionPrintsTheLayoutWithCrLf) {
    layout.OnUnitSelected(2);
    layout.OnResolutionChanged("0.2488");  // six figures of size, not five
    results = {-12, 4321, true};
    ASSERT_EQ(WriteDescriptionFile(Context(), results, dir.Path("t.l2")).outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(ReadFile(dir.Path("t.txt")),
              "Theater name: dem\r\n"
              "Theater size: Large\r\n"
              "Size (L2 segments): 64 x 64\r\n"
              "Size (L2 tiles): 1024 x 1024\r\n"
              "Size (Kilometers): 1019.08 x 1019.08\r\n"
              "Resolution: 0.2488 Kilometers\r\n"
              "Centered on: Lat 0 Long 0\r\n"
              "NW: Lat 4.58237 Long -4.59707\r\n"
              "NE: Lat 4.58237 Long 4.59707\r\n"
              "SW: Lat -4.58237 Long -4.59707\r\n"
              "SE: Lat -4.58237 Long 4.59707\r\n"
              "Highest point: 4321ft\r\n"
              "Lowest point: -12ft\r\n");
}

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

TEST_F(SmallWritersTest, MeaFileOfOneSegmentListsItsQuartersFromTheSouthWest) {
    SetSegments(1, 1);
    MeaGrid mea(1, 1);
    const std::int16_t quarters[4] = {1, 2, 3, -4};
    mea.SetSegment(0, 0, quarters);
    ASSERT_EQ(WriteMeaFile(Context(), dir.Path("t.l2"), mea).outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(ReadFile(dir.Path("t.mea")), std::string("\x01\x00\x02\x00\x03\x00\xfc\xff", 8));
}

}  // namespace
}  // namespace gw
