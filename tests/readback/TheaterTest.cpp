#include "core/readback/Theater.h"

#include "core/util/LittleEndian.h"
#include "core/util/Text.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <functional>
#include <map>

namespace gw::test {
namespace {

// A block of 256 regular records: every tile `elevation` with `code`, except the
// south-east corner tile, `corner` feet high.
std::string Block(std::uint16_t code, std::int16_t elevation, std::int16_t corner) {
    std::string block(256 * 7, '\0');
    for (int tile = 0; tile < 256; ++tile) {
        auto* record = reinterpret_cast<std::uint8_t*>(&block[tile * 7]);
        PutLE16(record, code);
        PutLE16(record + 2, static_cast<std::uint16_t>(tile == 15 ? corner : elevation));
    }
    return block;
}

std::string Offsets(const std::vector<std::uint32_t>& offsets) {
    std::string bytes(offsets.size() * 4, '\0');
    for (std::size_t i = 0; i < offsets.size(); ++i) PutLE32(reinterpret_cast<std::uint8_t*>(&bytes[4 * i]), offsets[i]);
    return bytes;
}

std::string Cells(const std::vector<std::int16_t>& cells) {
    std::string bytes(cells.size() * 2, '\0');
    for (std::size_t i = 0; i < cells.size(); ++i) {
        PutLE16(reinterpret_cast<std::uint8_t*>(&bytes[2 * i]), static_cast<std::uint16_t>(cells[i]));
    }
    return bytes;
}

// A clean 2 x 2 theater: the two western segments share a block; the south-east one
// reaches 900 ft in its south-east corner, the north-east one lies at 50 ft.
struct Files {
    std::string l2 = Block(1, 100, 100) + Block(2, 200, 900) + Block(3, 50, 50);
    std::string o2 = Offsets({0, 1792, 0, 3584});
    std::string txt = "Theater name: t\nTheater size: Regular\nSize (L2 segments): 2 x 2\nSize (L2 tiles): 32 x 32\n"
                      "Highest point: 900ft\nLowest point: 50ft\n";
    // Rows from the south, each quarter the highest tile at least 0.
    std::string mea = Cells({100, 100, 200, 900, 100, 100, 200, 200, 100, 100, 50, 50, 100, 100, 50, 50});
    std::string map = [] {
        std::string bytes(28 + 1024 + 60, '\0');
        PutLE32(reinterpret_cast<std::uint8_t*>(&bytes[4]), 4);
        PutLE32(reinterpret_cast<std::uint8_t*>(&bytes[8]), 4);
        return bytes;
    }();
    std::string tdf = "RIVER 3 0,0 16,16 32,32 1 Long river\n";
    std::string obj = "2.0 Objective Generate Mon Dec  7 10:00:00 2026\nName, Id, Object, X, Y, Z, Owner, CampId, Parent, "
                      "Priority, FOwner\nSaint-Jean, Cap, 1, 5, 3, 4, 0, 2, 1, 0, 50, 2\n"
                      "NoName, 2, 6, 31, 0, 0, 2, 2, 1, 40, 2\n";

    std::map<std::string, std::string> others;  // more files beside them

    std::string Write(const TempDir& dir) const {
        for (const auto& [name, bytes] : others) WriteFile(dir.Path(name), bytes);
        WriteFile(dir.Path("t.l2"), l2);
        WriteFile(dir.Path("t.o2"), o2);
        const std::pair<const char*, const std::string*> companions[] = {
            {"t.txt", &txt}, {"t.mea", &mea}, {"t.map", &map}, {"t-RIVER.tdf", &tdf}, {"t-obj.csv", &obj}};
        for (const auto& [name, bytes] : companions) {
            if (!bytes->empty()) WriteFile(dir.Path(name), *bytes);
        }
        return dir.Path("t.l2");
    }
};

TheaterReport Inspected(const Files& files, const InspectOptions& options = {}) {
    TempDir dir;
    const StatusOr<Theater> theater = Theater::Open(files.Write(dir), options);
    EXPECT_TRUE(theater.ok()) << theater.status().message();
    return theater.ok() ? theater->Inspect() : TheaterReport{};
}

// A keyword may hold blanks; the files of a theater named after this one are its own.
TEST(Theater, ACleanTheaterIsReadWithEveryCompanion) {
    Files files;
    files.others = {{"t-MAJOR ROAD.tdf", "MAJOR ROAD 1 3,3 1 Via Aurelia\n"}, {"t-north.l2", ""}, {"t-north-RIVER.tdf", "x"}};
    const TheaterReport r = Inspected(files);
    EXPECT_EQ(r.problems, std::vector<std::string>());
    EXPECT_EQ(r.sizeFrom, "the description");
    EXPECT_EQ(std::make_pair(r.segmentsX, r.segmentsY), std::make_pair(2, 2));
    EXPECT_EQ(r.blocksStored, 3u);
    EXPECT_EQ(r.segmentsSharing, 2u);
    EXPECT_EQ(r.lowest, 50);
    EXPECT_EQ(r.highest, 900);
    EXPECT_EQ(r.tileCodes, (std::vector<std::uint32_t>{1, 2, 3}));
    std::vector<std::string> holds;
    for (const auto& c : r.companions) holds.push_back(FileNameOf(c.path) + ": " + c.holds);
    EXPECT_EQ(holds, (std::vector<std::string>{"t.txt: the theater's description", "t.mea: 4 x 4 MEA cells, the highest 900ft",
                                               "t.map: a palette of 256 colours", "t-MAJOR ROAD.tdf: 1 feature", "t-RIVER.tdf: 1 feature",
                                               "t-obj.csv: 2 objectives"}));
}

TEST(Theater, TheSizeComesFromTheDescriptionTheOptionsOrASquareIndex) {
    Files files;
    files.txt.clear();
    EXPECT_EQ(Inspected(files).sizeFrom, "a square index");
    files.o2 = Offsets({0, 1792, 0, 3584, 0, 0});
    files.mea.clear();
    files.map.clear();
    const TheaterReport given = Inspected(files, {std::make_pair(3, 2), false});
    EXPECT_EQ(given.sizeFrom, "the options");
    EXPECT_EQ(given.problems, std::vector<std::string>());
    TempDir dir;
    EXPECT_TRUE(Has(Theater::Open(files.Write(dir), {}).status().message(), "6 offsets are not a square number"));
}

// Each fault made in one file is found and named, with its file and its place.
TEST(Theater, EachProblemIsNamedWithItsFileAndPlace) {
    const struct {
        const char* fault;
        std::function<void(Files&)> make;
        std::string problem;
    } cases[] = {
        {"a cut index", [](Files& f) { f.o2.pop_back(); }, "t.o2: 15 bytes are not a whole number of 4-byte offsets"},
        {"an offset missing", [](Files& f) { f.o2.resize(12); }, "t.o2: it holds 3 offsets; 2 x 2 segments need 4"},
        {"past the end", [](Files& f) { f.o2 = Offsets({0, 1792, 0, 5376}); }, "t.o2: segment 1,1 points at offset 5376, past the end of"},
        {"off a boundary", [](Files& f) { f.o2 = Offsets({0, 1792, 7, 3584}); }, "t.o2: segment 0,1 points at offset 7, not on a block boundary"},
        {"a cut tile file", [](Files& f) { f.l2.pop_back(); }, "t.l2: 5375 bytes are not a whole number of 1792-byte blocks"},
        {"a block no one uses", [](Files& f) { f.l2 += Block(4, 0, 0); }, "t.l2: the block at offset 5376 is stored but no segment uses it"},
        {"a short MEA grid", [](Files& f) { f.mea.resize(30); }, "t.mea: 30 bytes; 4 x 4 cells take 32"},
        {"an MEA cell wrong", [](Files& f) { f.mea[2 * 3] = 1; }, "t.mea: cell 3,0 holds 769ft; the tiles it covers reach 900ft"},
        {"the highest point wrong", [](Files& f) { f.txt = ReplaceAll(f.txt, "900ft", "901ft"); }, "t.txt: the highest point stated is not the tiles' 900ft"},
        {"no size stated", [](Files& f) { f.txt = "Theater name: t\n"; }, "t.txt: it does not state the theater's size and format"},
        {"the tiles wrong", [](Files& f) { f.txt = ReplaceAll(f.txt, "32 x 32", "32 x 16"); }, "t.txt: the tiles stated are not the 32 x 32"},
        {"a MAP of 250 colours", [](Files& f) { f.map.resize(1088); }, "t.map: 1088 bytes do not hold a 256-colour palette"},
        {"a feature off the theater", [](Files& f) { f.tdf = "RIVER 2 0,0 33,5 1\n"; }, "t-RIVER.tdf: line 1 has the tile 33,5, off the theater"},
        {"a line not a feature", [](Files& f) { f.tdf += "RIVER 4 0,0 1\n"; }, "t-RIVER.tdf: line 2 is not a RIVER feature"},
        {"an objective id again", [](Files& f) { f.obj += "Town, 1, 5, 3, 4, 0, 2, 1, 0, 50, 2\n"; }, "t-obj.csv: line 5 repeats the id 1 of line 3"},
        {"an objective off the theater", [](Files& f) { f.obj = ReplaceAll(f.obj, " 31, 0,", " -1, 0,"); }, "t-obj.csv: line 4 has the tile -1,0, off the theater"},
    };
    for (const auto& c : cases) {
        Files files;
        c.make(files);
        const TheaterReport r = Inspected(files);
        const bool named = std::any_of(r.problems.begin(), r.problems.end(), [&](const std::string& p) {
            const std::size_t colon = std::min(p.find(':'), p.size());
            return Has(FileNameOf(p.substr(0, colon)) + p.substr(colon), c.problem);
        });
        EXPECT_TRUE(named) << c.fault << ": " << (r.problems.empty() ? "no problem" : r.problems[0]);
    }
}

TEST(Theater, ThePictureAndTheComparisonReadTheTilesAsStored) {
    TempDir dir, otherDir, gapDir;
    const Theater theater = std::move(Theater::Open(Files().Write(dir), {})).value();
    Files changed;
    changed.l2 = Block(1, 100, 100) + Block(2, 200, 700) + Block(3, 60, 40);
    const Theater other = std::move(Theater::Open(changed.Write(otherDir), {})).value();
    const TheaterDifference d = CompareTheaters(theater, other);
    EXPECT_TRUE(d.sameSize);
    EXPECT_EQ(d.segmentsDiffering, 2);
    EXPECT_EQ(d.firstDiffering, (std::vector<SegmentPlace>{{1, 0}, {1, 1}}));
    EXPECT_EQ(d.lowestChange, -200);
    EXPECT_EQ(d.highestChange, 10);
    Files cut;  // the north-east segment's block gone
    cut.o2 = Offsets({0, 1792, 0, 7168});
    const Theater gap = std::move(Theater::Open(cut.Write(gapDir), {})).value();
    EXPECT_EQ(CompareTheaters(theater, gap).segmentsDiffering, 1);

    E00Rules rules = BuiltInE00Rules();
    const auto river = std::find_if(rules.begin(), rules.end(), [](const E00Rule& r) { return r.Keyword == "RIVER"; });
    ASSERT_NE(river, rules.end());
    const HeightTable heights;
    const StatusOr<RgbImage> picture = theater.Picture(heights, rules);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(std::make_pair(picture->width, picture->height), std::make_pair(32, 32));
    EXPECT_EQ(picture->At(16, 0), heights.LookupColour(50));  // the north-east segment, north up
    EXPECT_EQ(picture->At(31, 31), heights.LookupColour(900));
    EXPECT_EQ(picture->At(3, 20), heights.LookupColour(100));
    EXPECT_EQ(picture->At(0, 31), river->Colour);  // the river's first point, the south-west tile
    EXPECT_EQ(picture->At(8, 23), river->Colour);
}

}  // namespace
}  // namespace gw::test
