#include "core/generate/L2Writer.h"
#include "core/util/LittleEndian.h"
#include "tests/generate/WriterFixture.h"

namespace gw {
namespace {

using test::ReadFile;

class L2WriterTest : public test::WriterFixture {
protected:
    WriteResult Write(bool large = false, MeaGrid* mea = nullptr, unsigned workers = 2) {
        return WriteL2File(Context(), large, dir.Path("t.l2"), mea, results, workers);
    }
    std::vector<std::uint32_t> Index() const {
        const std::string bytes = ReadFile(dir.Path("t.o2"));
        std::vector<std::uint32_t> index;
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            index.push_back(GetLE32(reinterpret_cast<const std::uint8_t*>(&bytes[i])));
        }
        return index;
    }
    TerrainResults results;
};

TEST_F(L2WriterTest, LargeRecordsCarry32BitCodesRegularOnlyTheLow16Bits) {
    OpenDem(test::MinuteDem([](int c, int) { return c < 60 ? 100 : 0; }));
    heights.Replace({{0, 0, 7}, {32767, 0, 65536 + 48}});
    SetSegments(2, 1);
    ASSERT_EQ(Write(true).outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(Index(), (std::vector<std::uint32_t>{0, 2304}));
    EXPECT_EQ(ReadFile(dir.Path("t.l2")).substr(0, 9), std::string("\x30\x00\x01\x00\x64\x00\x82\x3f\x3f", 9));
    EXPECT_TRUE(results.m_largeTerrain);

    ASSERT_EQ(Write(false).outcome, WriteResult::Outcome::kWritten);
    const std::string regular = ReadFile(dir.Path("t.l2"));
    EXPECT_EQ(regular.substr(0, 7), std::string("\x30\x00\x64\x00\x82\x3f\x3f", 7));
    EXPECT_EQ(regular[1792 + 7], 7) << "record 1 of the eastern segment lies on the land's edge";
    EXPECT_FALSE(results.m_largeTerrain);
}

// A cancelled writer puts nothing in place: the earlier run's files stay as they were and
// are named as kept. The MEA grid holds the rows done.
TEST_F(L2WriterTest, CancelPutsNothingInPlace) {
    OpenDem(test::MinuteDem([](int c, int r) { return c + r * 3; }));
    layout.OnResolutionChanged("0.1");
    SetSegments(2, 3);
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    const std::string earlier = ReadFile(dir.Path("t.l2"));
    SetSegments(2, 2);
    test::CancellingProgress cancelling(1);
    progress = &cancelling;
    MeaGrid mea(2, 2);
    const WriteResult cancelled = Write(false, &mea);
    EXPECT_EQ(cancelled.outcome, WriteResult::Outcome::kCancelled);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Cancel?"});
    EXPECT_TRUE(cancelled.files.empty());
    EXPECT_EQ(cancelled.kept, (std::vector<std::string>{dir.Path("t.l2"), dir.Path("t.o2")}));
    EXPECT_EQ(Index().size(), 6u) << "the earlier index";
    EXPECT_TRUE(ReadFile(dir.Path("t.l2")) == earlier);
    EXPECT_NE(mea.cells()[0], 0);
    for (std::size_t c = 8; c < mea.cells().size(); ++c) EXPECT_EQ(mea.cells()[c], 0) << c;

    prompts.answerYes = false;
    test::CancellingProgress declined(1);
    progress = &declined;
    EXPECT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(Index().size(), 4u);
}

// Theaters wider than the runs of segments built together, pinned: the tiles, the
// index and the MEA grid, whatever the number of workers.
TEST_F(L2WriterTest, WideTheatersGiveThePinnedFilesWhateverTheWorkers) {
    OpenDem(test::MinuteDem([](int c, int r) { return (c * 53 + r * 29) % 2000 - 300; }));
    struct Case {
        int x, y;
        const char* resolution;
        const char *tiles, *index, *mea;
    };
    const Case cases[] = {
        {37, 5, "0.05", "06eb5c251985496b2a34a30c0f50cfd5", "ab1a51e1257ee9defc345b85198601ef",
         "a18e70d5a7d7063bb8543627efb1b386"},
        {130, 3, "0.0135", "26ba482bc9d7b6e37e1c5729a984aecb", "6b0ff956ce6b0b91fc2d3ea03972be93",
         "0f62bafbccb5bec0aa03178754d2f69f"},
        {300, 2, "0.006", "2bf57799c87b074c884ee5a1b12ed707", "dd91fadec669f3425d02e897e87b1f84",
         "9868b7c0d05459f8f94fdb19bfb523d7"},
    };
    for (const Case& c : cases) {
        layout.OnResolutionChanged(c.resolution);
        SetSegments(c.x, c.y);
        for (const unsigned workers : {0u, 1u, 3u}) {
            SCOPED_TRACE(std::to_string(c.x) + " x " + std::to_string(c.y) + ", workers " + std::to_string(workers));
            MeaGrid mea(c.x, c.y);
            ASSERT_EQ(Write(false, &mea, workers).outcome, WriteResult::Outcome::kWritten);
            const std::string cells(reinterpret_cast<const char*>(mea.cells().data()), mea.cells().size() * 2);
            EXPECT_EQ(test::Md5(ReadFile(dir.Path("t.l2"))), c.tiles);
            EXPECT_EQ(test::Md5(ReadFile(dir.Path("t.o2"))), c.index);
            EXPECT_EQ(test::Md5(cells), c.mea);
        }
    }
}

}  // namespace
}  // namespace gw
