#include "gdalio/DemHeaderText.h"
#include "gdalio/HeightPosts.h"
#include "gdalio/ImportGrid.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <tuple>

namespace gw::gdalio {
namespace {

std::array<double, 4> Edges(const GeoBounds& b) { return {b.west, b.south, b.east, b.north}; }

// The bounds are kept and the cells give way; at least one post each way; no more than
// 2^31 posts, nor more rows or columns than a header can state. A refusal leaves the grid.
TEST(SettleGrid, TakesTheNearestWholeCountsWithinTheLimits) {
    const double headerCount = 180.0 / 2147483648.0;  // 2^31 rows or columns, within the posts' limit
    struct Case {
        GeoBounds bounds;
        double spacing;
        std::int32_t columns, rows;  // 0: refused
        std::string says;
    };
    const Case cases[] = {
        {{-6, 35, 20, 52}, 1.0 / 30, 780, 510, ""},
        {{-6, 35, 20, 52}, 0.0333, 781, 511, ""},
        {{5, 44, 5.001, 44.001}, 0.5, 1, 1, ""},
        {{0, 0, 65536, 32768}, 1.0, 65536, 32768, ""},
        {{0, -90, 1e-7, 90}, 180.0 / 2147483647.0, 1, 2147483647, ""},
        {{0, 0, 65536, 32769}, 1.0, 0, 0, "more than 2^31"},
        {{0, 0, 360, 180}, 1e-300, 0, 0, "more than"},
        {{0, -90, 1e-7, 90}, headerCount, 0, 0, "2147483648 rows"},
        {{-90, 0, 90, 1e-7}, headerCount, 0, 0, "2147483648 columns"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spacing);
        ImportGrid grid;
        const Status settled = SettleGrid(c.bounds, c.spacing, grid);
        EXPECT_EQ(settled.ok(), c.columns > 0) << settled.message();
        if (c.columns == 0) {
            EXPECT_EQ(settled.code(), Status::Code::kResourceExhausted);
        }
        EXPECT_NE(settled.message().find(c.says), std::string::npos) << settled.message();
        EXPECT_EQ(grid.columns, c.columns);
        EXPECT_EQ(grid.rows, c.rows);
        if (c.columns > 0) {
            EXPECT_EQ(Edges(grid.bounds), Edges(c.bounds));
        }
    }
}

// Longitudes go east past the antimeridian when that is narrower, and keep their own
// values beyond it; the widest gap between the extents is what is left out.
TEST(UnionOf, TakesTheNarrowestWayRoundTheGlobe) {
    const std::pair<std::vector<GeoBounds>, GeoBounds> cases[] = {
        {{{10, 40, 12, 41}, {11, 42, 13, 43}}, {10, 40, 13, 43}},
        {{{179, -16, 180, -15}, {-180, -16, -179, -15}}, {179, -16, 181, -15}},
        {{{175.5, 0, 182.5, 1}, {-179, 0, -178, 1}}, {175.5, 0, 182.5, 1}},
        {{{190, 0, 191, 1}, {195, 0, 196, 1}}, {190, 0, 196, 1}},
        {{{0, 0, 360, 1}, {-180, 0, -170, 1}}, {0, 0, 360, 1}},
        {{{-10, 0, 10, 1}, {172, 0, 175, 1}, {-175, 0, -170, 1}}, {172, 0, 370, 1}},
    };
    for (const auto& [extents, expected] : cases) {
        EXPECT_EQ(Edges(UnionOf(extents)), Edges(expected));
    }
    EXPECT_FALSE(Overlap({10, 0, 11, 1}, {11, 0, 12, 1})) << "touching is no overlap";
    EXPECT_FALSE(Overlap({10, 0, 11, 1}, {10, 1, 11, 2}));
}

// Laid end to end, the windows give every post once in the raster's order, several rows
// only whole, and never more posts than asked.
TEST(PlanWindows, CoverTheGridOnceInRasterOrder) {
    const ImportGrid small{{}, 10, 7};
    const std::tuple<ImportGrid, std::uint64_t, std::size_t> cases[] = {  // windows: 0 unchecked
        {small, 1, 70}, {small, 3, 30},  {small, 6, 0},    {small, 7, 10}, {small, 15, 5},
        {small, 69, 0}, {small, 70, 1}, {small, 1000, 1}, {{{}, 1, 2147483647}, std::uint64_t{1} << 30, 2},
    };
    for (const auto& [grid, maxPosts, count] : cases) {
        SCOPED_TRACE(maxPosts);
        const std::vector<GridWindow> windows = PlanWindows(grid, maxPosts);
        if (count) {
            EXPECT_EQ(windows.size(), count);
        }
        std::int32_t row = 0, column = 0;
        for (const GridWindow& w : windows) {
            EXPECT_LE(w.posts(), maxPosts);
            ASSERT_EQ(w.row, row);
            ASSERT_EQ(w.column, column);
            if (w.rows > 1) {
                EXPECT_EQ(w.columns, grid.columns);
            }
            column += w.columns;
            if (column == grid.columns) column = 0, row += w.rows;
        }
        EXPECT_EQ(row, grid.rows);
        EXPECT_EQ(column, 0);
    }
}

template <typename T>
std::vector<std::int16_t> Convert(const std::vector<T>& heights, PostTally& tally) {
    std::vector<std::uint8_t> bytes(heights.size() * 2);
    ConvertHeights(std::span<const T>(heights), bytes.data(), tally);
    std::vector<std::int16_t> posts;
    for (std::size_t i = 0; i < bytes.size(); i += 2) posts.push_back(std::int16_t(bytes[i] | bytes[i + 1] << 8));
    return posts;
}

// Halves away from zero; NaN is no data; beyond the range above the missing flag, the
// nearer end of it, counted. Whole metres are written as they are.
TEST(ConvertHeights, RoundsClampsAndCountsThePosts) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    PostTally tally;
    EXPECT_EQ(Convert(std::vector<float>{2.5f, -2.5f, 2.49f, -0.4f, nan, 4086.f, -5035.2f, 40000.f, -40000.f,
                                         -32767.4f, 32767.4f, inf, -inf, -32767.6f, -32767.5f},
                      tally),
              (std::vector<std::int16_t>{3, -3, 2, 0, -32768, 4086, -5035, 32767, -32767, -32767, 32767, 32767,
                                         -32767, -32767, -32767}));
    EXPECT_EQ(tally.posts, 15u);
    EXPECT_EQ(tally.noData, 1u) << "a height far below is not no data";
    EXPECT_EQ(tally.clamped, 6u);
    EXPECT_EQ(tally.lowest, -32767);
    EXPECT_EQ(tally.highest, 32767);

    PostTally whole, none;
    const std::vector<std::int16_t> posts = {-32768, -5, 0, 255, -32768};
    EXPECT_EQ(Convert(posts, whole), posts);
    EXPECT_EQ(std::tuple(whole.posts, whole.noData, whole.lowest, whole.highest), std::tuple(5u, 2u, -5, 255));
    Convert(std::vector<float>{nan}, none);
    EXPECT_GT(none.lowest, none.highest) << "without any height the range stays empty";
}

TEST(DemHeaderLines, ReadBackAsTheSameHeader) {
    DemHeader written;
    ApplyHeaderDefaults(written);
    written.file_title = "Alps = high";
    written.left_map_x = -5.9833333333333334;
    written.right_map_x = 20.000000000000004;
    written.upper_map_y = 1.0 / 3;
    written.lower_map_y = -1e-7;
    written.number_of_columns = 2147483647;
    written.grid_size = 1.0 / 30;
    written.elev_m_min = -32767;
    DemHeader read;
    for (const std::string& line : DemHeaderLines(written)) EXPECT_TRUE(ApplyHeaderLine(read, line)) << line;
    // The shortest text of a double reads back as that double, and no other does.
    EXPECT_EQ(DemHeaderLines(read), DemHeaderLines(written));
    EXPECT_EQ(DemHeaderLines(written).front(), "file_title = Alps = high");
}

}  // namespace
}  // namespace gw::gdalio
