#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"

namespace gw {
namespace {

using test::DemSpec;
using test::TempDir;
using test::WriteDem;

// Posts are addressed row by row from the north-west, and read as feet: metres through
// the float factor just below 3.28, negatives as sea level, clamped to 16 bits.
TEST(GridwrightDoc, PostsReadAsFeetFromTheNorthWest) {
    TempDir dir;
    DemSpec wide;
    wide.rows = 3, wide.columns = 4800;
    wide.posts.assign(3 * 4800, 0);
    wide.posts[2 * 4800 + 10] = 1234;  // byte offset 19220
    wide.posts[0] = 7;
    DemSpec metres;
    metres.rows = 1, metres.columns = 6, metres.unit = "meters";
    metres.posts = {1000, 25, 1, -5, 9990, 20000};
    DemSpec feet = metres;
    feet.unit = "Feet";
    struct Case {
        const DemSpec& spec;
        int column, row, feet;
    };
    const Case cases[] = {
        {wide, 10, 2, 1234}, {wide, 0, 0, 7},       {wide, -1, 0, 0},      {wide, 4800, 0, 0},
        {wide, 0, 3, 0},     {metres, 0, 0, 3279},  {metres, 1, 0, 81},    {metres, 2, 0, 3},
        {metres, 3, 0, 0},   {metres, 4, 0, 32767}, {metres, 5, 0, 32767}, {feet, 0, 0, 1000},
        {feet, 5, 0, 20000},
    };
    for (const Case& c : cases) {
        CGridwrightDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, c.spec.unit, c.spec)).ok());
        EXPECT_EQ(doc.GetElevation(c.column, c.row), c.feet) << c.spec.unit << " " << c.column << "," << c.row;
    }
}

// Opens path in a fresh document; the reason it failed, or "" when it opened.
std::string OpenFailure(const std::string& path) {
    CGridwrightDoc doc;
    const Status opened = doc.OnOpenDocument(path);
    return opened.ok() ? std::string() : opened.message();
}

TEST(GridwrightDoc, NonsenseIsRefusedNamingTheFileAndTheFault) {
    TempDir dir;
    const std::string sound = test::ReadFile(WriteDem(dir, "dem", DemSpec{}));
    DemSpec big;
    big.rows = 200, big.columns = 600;
    WriteDem(dir, "short", big);
    test::WriteFile(dir.Path("short.bin"), std::string(1001, '\1'));
    test::WriteFile(dir.Path("long.hdr"), test::ReadFile(dir.Path("short.hdr")));
    test::WriteFile(dir.Path("long.bin"), std::string(240001, '\0'));
    test::WriteFile(dir.Path("esri.hdr"), "NCOLS 4\nNROWS 4\nBYTEORDER I\nLAYOUT BIL\n");
    test::WriteFile(dir.Path("rows.hdr"), sound + "number_of_rows = 0\n");  // the last line wins
    test::WriteFile(dir.Path("rows.bin"), "");
    test::WriteFile(dir.Path("COAST.HDR"), "elev_m_unit = feet\nnumber_of_rows = 1\nnumber_of_columns = 2\n"
                                           "right_map_x = 1\nupper_map_y = 1\n");
    const std::pair<const char*, std::string> cases[] = {
        {"dem.hdr", ""},
        {"long.hdr", ""},  // a longer raster is fine
        {"esri.hdr", dir.Path("esri.hdr") + ": no DEM keys; it is not a DEM header"},
        {"rows.hdr", dir.Path("rows.hdr") + ": number_of_rows is 0; a DEM has at least one row"},
        {"short.hdr", dir.Path("short.bin") + ": raster holds 1001 bytes, the header needs 240000"},
        {"COAST.HDR", dir.Path("COAST.HDR") + ": its name holds no \".hdr\""},
    };
    for (const auto& [name, why] : cases) {
        const std::string got = OpenFailure(dir.Path(name));
        EXPECT_TRUE(why.empty() ? got.empty() : got.find(why) != std::string::npos) << name << ": " << got;
    }
}

TEST(GridwrightDoc, AFailedReopenLeavesTheDocumentAsItWas) {
    TempDir dir;
    DemSpec spec;
    spec.posts.assign(16, 5);
    spec.left = 10, spec.right = 14;
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, "first", spec)).ok());
    spec.posts.assign(16, 9);
    spec.left = 0;
    spec.unit = "meters";
    const std::string second = WriteDem(dir, "second", spec);
    test::WriteFile(dir.Path("second.bin"), "xx");
    EXPECT_FALSE(doc.OnOpenDocument(second).ok());
    test::WriteFile(dir.Path("third.hdr"), test::ReadFile(second) + "elev_m_unit = yards\n");
    test::WriteFile(dir.Path("third.bin"), test::ReadFile(dir.Path("first.bin")));
    EXPECT_FALSE(doc.OnOpenDocument(dir.Path("third.hdr")).ok());

    EXPECT_EQ(doc.header().file_title, "first");
    EXPECT_EQ(doc.header().left_map_x, 10);
    EXPECT_EQ(doc.raster().path(), dir.Path("first.bin"));
    EXPECT_EQ(doc.unitFactor(), 1.0f);
    EXPECT_EQ(doc.GetElevation(3, 3), 5);

    test::WriteFile(dir.Path("second.bin"), std::string(32, '\1'));
    ASSERT_TRUE(doc.OnOpenDocument(second).ok()) << "and a sound reopen replaces everything";
    EXPECT_EQ(doc.GetElevation(0, 0), static_cast<int>(257 * 3.28f));
    EXPECT_EQ(doc.raster().path(), dir.Path("second.bin"));
    EXPECT_TRUE(doc.RasterIntact().ok());
}

// A 4 x 4 raster one degree per post over 0..4 E, 0..4 N: post (c, r), row 0 north,
// holds 100 r + 10 c + 10. A sample blends with the nearer neighbour (the western one
// on a boundary, the southern one south of a centre) unless its span is coarse in that
// direction, and has no neighbour beyond the edges.
TEST(GridwrightDoc, SamplesBlendWithTheNearerNeighbour) {
    TempDir dir;
    DemSpec spec;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) spec.posts.push_back(static_cast<std::int16_t>(100 * r + 10 * c + 10));
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteDem(dir, "grid", spec)).ok());
    const auto post = [](int c, int r) { return 100 * r + 10 * c + 10; };
    const int east = static_cast<int>(post(2, 1) * 0.5 + post(1, 1) * 0.5);
    const int south = static_cast<int>(post(1, 2) * 0.5 + post(1, 1) * 0.5);
    struct Case {
        double lat, lon, latSpan, longSpan;
        int expected;
    };
    const Case cases[] = {
        {2.5, 2.5, 0.1, 0.1, post(2, 1)},   {2.5, 2.5, 2, 2, post(2, 1)},
        {2.5, 2.0, 0.1, 0.1, (post(1, 1) + post(2, 1)) / 2},
        {2.5, 1.75, 0.1, 0.1, (east + post(1, 1)) / 2},
        {2.25, 1.5, 0.1, 0.1, (post(1, 1) + south) / 2},
        {2.25, 1.75, 0.1, 2.0, (post(1, 1) + south) / 2},
        {2.5, 0.25, 0.1, 0.1, post(0, 1)},  {2.5, 3.75, 0.1, 0.1, post(3, 1)},
        {3.75, 2.5, 0.1, 0.1, post(2, 0)},  {0.25, 2.5, 0.1, 0.1, post(2, 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(doc.SampleElevation(c.lat, c.lon, c.latSpan, c.longSpan), c.expected) << c.lat << ", " << c.lon;
    }
}

// Features of rules 0, 1 and 2 (and one whose rule has no row) through edits of a
// three-row table, given as the earlier row each edited row came from.
TEST(RuleRenumberingTest, FeaturesFollowTheirRulesAndLoseDeletedOnes) {
    using Origins = std::vector<std::optional<std::int32_t>>;
    const struct {
        const char* edit;
        Origins origins;
        std::vector<std::int32_t> rulesAfter;  // the features' rules, in load order
    } cases[] = {
        {"unchanged", {0, 1, 2}, {0, 1, 2}},
        {"a row inserted first", {std::nullopt, 0, 1, 2}, {1, 2, 3}},
        {"the middle row deleted", {0, 2}, {0, 1}},
        {"rows swapped and one appended", {1, 0, 2, std::nullopt}, {1, 0, 2}},
        {"all replaced", {std::nullopt, std::nullopt, std::nullopt}, {}},
    };
    for (const auto& c : cases) {
        CGridwrightDoc doc;
        for (const std::int32_t rule : {0, 1, 2, 7}) doc.AddFeature({rule, {}, "", 0});
        const std::size_t dropped = doc.RenumberRules(RenumberingFromOrigins(c.origins, 3));
        std::vector<std::int32_t> rules;
        for (const Feature& feature : doc.features()) rules.push_back(feature.ruleIndex);
        EXPECT_EQ(rules, c.rulesAfter) << c.edit;
        EXPECT_EQ(dropped, 4 - c.rulesAfter.size()) << c.edit;
    }
}

}  // namespace
}  // namespace gw
