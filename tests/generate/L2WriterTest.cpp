#include "core/generate/L2Writer.h"
#include "core/util/LittleEndian.h"
#include "tests/generate/WriterFixture.h"

#include <cmath>
#include <set>

namespace gw {
namespace {

using test::ReadFile;

// The written files, read back.
struct Terrain {
    std::string tiles;
    std::vector<std::uint32_t> index;
    std::size_t recordSize;

    Terrain(const std::string& l2, const std::string& o2, bool large)
        : tiles(ReadFile(l2)), recordSize(large ? 9 : 7) {
        const std::string bytes = ReadFile(o2);
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            index.push_back(GetLE32(reinterpret_cast<const std::uint8_t*>(&bytes[i])));
        }
    }
    // Record k of the block of the n-th segment in segment order.
    const std::uint8_t* Record(std::size_t n, int k) const {
        return reinterpret_cast<const std::uint8_t*>(tiles.data()) + index.at(n) + k * recordSize;
    }
    std::int16_t Elevation(std::size_t n, int k) const {
        const std::uint8_t* r = Record(n, k) + recordSize - 5;
        return static_cast<std::int16_t>(r[0] | (r[1] << 8));
    }
};

class L2WriterTest : public test::WriterFixture {
protected:
    WriteResult Write(bool large = false, MeaGrid* mea = nullptr, unsigned workers = 2,
                      const std::string& name = "t.l2") {
        return WriteL2File(Context(), large, dir.Path(name), mea, results, workers);
    }
    Terrain Read(bool large = false) { return Terrain(dir.Path("t.l2"), dir.Path("t.o2"), large); }

    // The elevation of tile (X, Y) worked out from the tile geometry on its own.
    std::int16_t ExpectedTile(int X, int Y) const {
        const double r = layout.m_resolution, f = layout.m_unitScale;
        const int H = (layout.m_segmentsY / 2) * 16, W = (layout.m_segmentsX / 2) * 16;
        const double lat = layout.m_centerLat - ((Y * r * 4) - (H * r * 4)) * (1.0 / 60) / f;
        const double c = std::cos(lat * (3.141592653589793 * (1.0 / 180)));
        const double lon = layout.m_centerLong + ((X * r * 4) - (W * r * 4)) * (1.0 / 60) / f / c;
        const double dLat = r * 4 * (1.0 / 60) / f;
        return doc.SampleElevation(lat, lon, dLat, dLat / c);
    }

    TerrainResults results;
};

TEST_F(L2WriterTest, EveryRecordHoldsItsTileInBlockOrder) {
    OpenDem(test::MinuteDem([](int c, int r) { return 7 * c + 13 * r - 600; }));
    layout.OnCenterLatKillFocus("0.1");
    layout.OnResolutionChanged("0.11");
    SetSegments(3, 3);  // odd: the centre tile is the first of the middle segment
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    const Terrain t = Read();
    ASSERT_EQ(t.index.size(), 9u);
    for (std::size_t n = 0; n < 9; ++n) {
        const int i = static_cast<int>(n % 3), j = 2 - static_cast<int>(n / 3);
        for (int k = 0; k < 256; ++k) {
            const int X = 16 * i + k % 16, Y = 16 * j + 15 - k / 16;
            const std::int16_t e = ExpectedTile(X, Y);
            ASSERT_EQ(t.Elevation(n, k), e) << "segment " << n << " record " << k;
            const std::uint8_t* rec = t.Record(n, k);
            ASSERT_EQ(rec[0] | (rec[1] << 8), static_cast<int>(heights.LookupTileCode(e)));
            ASSERT_EQ(rec[4], 0x82);
            ASSERT_EQ(rec[5], 0x3F);
            ASSERT_EQ(rec[6], 0x3F);
        }
    }
}

TEST_F(L2WriterTest, IdenticalBlocksAreStoredOnceInOrderOfFirstOccurrence) {
    // Land only north-west of the centre; one tile is one post.
    OpenDem(test::MinuteDem([](int c, int r) { return c < 60 && r < 60 ? 500 : -20; }));
    layout.OnResolutionChanged("0.25");
    SetSegments(2, 2);
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    const Terrain t = Read();
    // Segment order: south-west, south-east, north-west, north-east.
    EXPECT_EQ(t.index, (std::vector<std::uint32_t>{0, 0, 1792, 0}));
    EXPECT_EQ(t.tiles.size(), 2u * 1792);
    EXPECT_EQ(t.Elevation(2, 0), 500);
    EXPECT_EQ(results.m_lowestPoint, 0);
    EXPECT_EQ(results.m_highestPoint, 500);
}

TEST_F(L2WriterTest, SeaTheaterIsOneBlock) {
    OpenDem(test::MinuteDem([](int, int) { return -3; }));
    SetSegments(4, 3);
    ASSERT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    const Terrain t = Read();
    EXPECT_EQ(t.tiles.size(), 1792u);
    EXPECT_EQ(t.index, std::vector<std::uint32_t>(12, 0));
    EXPECT_EQ(results.m_lowestPoint, 0);
    EXPECT_EQ(results.m_highestPoint, 0);
}

TEST_F(L2WriterTest, FilesDoNotDependOnTheNumberOfWorkers) {
    OpenDem(test::MinuteDem([](int c, int r) { return (c * 37 + r * r * 11) % 900 - 100; }));
    layout.OnResolutionChanged("0.05");
    SetSegments(37, 5);  // runs of 16 segments end inside a row
    ASSERT_EQ(Write(false, nullptr, 0).outcome, WriteResult::Outcome::kWritten);
    const std::string tiles = ReadFile(dir.Path("t.l2")), index = ReadFile(dir.Path("t.o2"));
    for (unsigned workers : {1u, 2u, 3u}) {
        ASSERT_EQ(Write(false, nullptr, workers).outcome, WriteResult::Outcome::kWritten);
        EXPECT_EQ(ReadFile(dir.Path("t.l2")), tiles) << workers << " workers";
        EXPECT_EQ(ReadFile(dir.Path("t.o2")), index) << workers << " workers";
    }
}

TEST_F(L2WriterTest, MeaCellsHoldTheHighestTileOfEachQuarter) {
    OpenDem(test::MinuteDem([](int c, int r) { return (c * 53 + r * 29) % 2000 - 300; }));
    layout.OnResolutionChanged("0.1");
    SetSegments(3, 2);
    MeaGrid mea(3, 2);
    ASSERT_EQ(Write(false, &mea).outcome, WriteResult::Outcome::kWritten);
    const Terrain t = Read();
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 3; ++i) {
            const std::size_t n = static_cast<std::size_t>((1 - j) * 3 + i);
            std::int16_t maxima[4] = {0, 0, 0, 0};  // south-west, south-east, north-west, north-east
            for (int k = 0; k < 256; ++k) {
                const int x = k % 16, y = 15 - k / 16;
                const int q = (y < 8 ? 2 : 0) + (x >= 8 ? 1 : 0);
                maxima[q] = std::max(maxima[q], t.Elevation(n, k));
            }
            const int south = 2 * (2 - 1 - j);
            const auto cell = [&](int row, int col) { return mea.cells()[row * 6 + col]; };
            EXPECT_EQ(cell(south, 2 * i), maxima[0]);
            EXPECT_EQ(cell(south, 2 * i + 1), maxima[1]);
            EXPECT_EQ(cell(south + 1, 2 * i), maxima[2]);
            EXPECT_EQ(cell(south + 1, 2 * i + 1), maxima[3]);
        }
    }
}

TEST_F(L2WriterTest, LargeRecordsCarry32BitCodesRegularOnlyTheLow16Bits) {
    OpenDem(test::MinuteDem([](int c, int) { return c < 60 ? 100 : 0; }));
    heights.Replace({{0, 0, 7}, {32767, 0, 65536 + 48}});
    SetSegments(2, 1);
    ASSERT_EQ(Write(true).outcome, WriteResult::Outcome::kWritten);
    const Terrain large = Read(true);
    EXPECT_EQ(large.tiles.size(), 2u * 2304);
    EXPECT_EQ(large.index, (std::vector<std::uint32_t>{0, 2304}));
    EXPECT_EQ(GetLE32(large.Record(0, 0)), 65536u + 48);
    EXPECT_EQ(large.Record(0, 0)[6], 0x82);
    EXPECT_TRUE(results.m_largeTerrain);

    ASSERT_EQ(Write(false).outcome, WriteResult::Outcome::kWritten);
    const Terrain regular = Read(false);
    EXPECT_EQ(regular.Record(0, 0)[0], 48);
    EXPECT_EQ(regular.Record(0, 0)[1], 0);
    EXPECT_EQ(regular.Record(1, 1)[0], 7) << "record 0 of the eastern segment lies on the land's edge";
    EXPECT_FALSE(results.m_largeTerrain);
}

TEST_F(L2WriterTest, CancelKeepsTheRowsWrittenSoFar) {
    OpenDem(test::MinuteDem([](int c, int r) { return c + r * 3; }));
    layout.OnResolutionChanged("0.1");
    SetSegments(2, 3);
    test::CancellingProgress cancelling(1);
    progress = &cancelling;
    MeaGrid mea(2, 3);
    const WriteResult result = Write(false, &mea);
    EXPECT_EQ(result.outcome, WriteResult::Outcome::kCancelled);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{"Cancel?"});
    EXPECT_EQ(Read().index.size(), 2u) << "the southernmost row only";
    EXPECT_NE(mea.cells()[0], 0);
    for (std::size_t c = 8; c < mea.cells().size(); ++c) EXPECT_EQ(mea.cells()[c], 0) << c;

    prompts.answerYes = false;
    test::CancellingProgress declined(1);
    progress = &declined;
    EXPECT_EQ(Write().outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(Read().index.size(), 6u);
}

TEST_F(L2WriterTest, PathsWithoutLowerCaseL2) {
    OpenDem(test::MinuteDem([](int, int) { return 1; }));
    SetSegments(1, 1);
    EXPECT_EQ(Write(false, nullptr, 2, "T.L2").outcome, WriteResult::Outcome::kWritten);
    EXPECT_EQ(ReadFile(dir.Path("T.o2")).size(), 4u);

    EXPECT_EQ(Write(false, nullptr, 2, "plain.ter").outcome, WriteResult::Outcome::kNotNamed);
    EXPECT_FALSE(test::Exists(dir.Path("plain.ter"))) << "a name without .l2 is refused before anything is made";

    const WriteResult failed = Write(false, nullptr, 2, "missing/t.l2");
    EXPECT_EQ(failed.outcome, WriteResult::Outcome::kFailed);
    EXPECT_NE(failed.message.find("missing/t.l2"), std::string::npos);
}

// Theaters wider than the runs of segments built together: every record, the sharing
// of blocks and the MEA grid are checked against the tile geometry on its own.
TEST_F(L2WriterTest, WideTheatersHoldEveryTileWhateverTheWorkers) {
    OpenDem(test::MinuteDem([](int c, int r) { return (c * 53 + r * 29) % 2000 - 300; }));
    struct Wide {
        int x, y;
        const char* resolution;
    };
    for (const Wide w : {Wide{130, 3, "0.0135"}, Wide{300, 2, "0.006"}}) {
        layout.OnResolutionChanged(w.resolution);
        SetSegments(w.x, w.y);
        MeaGrid mea(w.x, w.y);
        ASSERT_EQ(Write(false, &mea, 3).outcome, WriteResult::Outcome::kWritten);
        const std::string tiles = ReadFile(dir.Path("t.l2")), index = ReadFile(dir.Path("t.o2"));
        const Terrain t = Read();
        ASSERT_EQ(t.index.size(), static_cast<std::size_t>(w.x * w.y));
        std::set<std::string> blocks;
        for (std::size_t b = 0; b < tiles.size(); b += 1792) blocks.insert(tiles.substr(b, 1792));
        EXPECT_EQ(blocks.size() * 1792, tiles.size()) << "a block is stored once";
        for (std::size_t n = 0; n < t.index.size(); ++n) {
            const int i = static_cast<int>(n % w.x), j = w.y - 1 - static_cast<int>(n / w.x);
            std::int16_t highest = 0;
            for (int k = 0; k < 256; ++k) {
                const std::int16_t e = ExpectedTile(16 * i + k % 16, 16 * j + 15 - k / 16);
                ASSERT_EQ(t.Elevation(n, k), e) << w.x << " x " << w.y << ", segment " << n << " record " << k;
                if (k / 16 < 8 && k % 16 < 8) highest = std::max(highest, e);
            }
            ASSERT_EQ(mea.cells()[static_cast<std::size_t>(2 * (w.y - 1 - j)) * (2 * w.x) + 2 * i], highest)
                << "south-west quarter of segment " << n;
        }
        ASSERT_EQ(Write(false, nullptr, 0).outcome, WriteResult::Outcome::kWritten);
        EXPECT_EQ(ReadFile(dir.Path("t.l2")), tiles) << w.x << " x " << w.y;
        EXPECT_EQ(ReadFile(dir.Path("t.o2")), index) << w.x << " x " << w.y;
    }
}

}  // namespace
}  // namespace gw
