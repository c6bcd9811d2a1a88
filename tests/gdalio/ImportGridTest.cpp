#include "gdalio/DemHeaderText.h"
#include "gdalio/HeightPosts.h"
#include "gdalio/ImportGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace gw::gdalio {
namespace {

TEST(SettleGrid, KeepsTheBoundsAndTakesTheNearestWholeCounts) {
    ImportGrid grid;
    ASSERT_TRUE(SettleGrid({-6, 35, 20, 52}, 1.0 / 30, grid).ok());
    EXPECT_EQ(grid.columns, 780);
    EXPECT_EQ(grid.rows, 510);
    EXPECT_EQ(grid.bounds.west, -6);
    EXPECT_EQ(grid.bounds.north, 52);

    // A spacing that does not divide the bounds: they are kept, the cells give way.
    ASSERT_TRUE(SettleGrid({-6, 35, 20, 52}, 0.0333, grid).ok());
    EXPECT_EQ(grid.columns, 781);
    EXPECT_EQ(grid.rows, 511);
    EXPECT_EQ(grid.bounds.east, 20);

    ASSERT_TRUE(SettleGrid({5, 44, 5.001, 44.001}, 0.5, grid).ok());
    EXPECT_EQ(grid.rows, 1);
    EXPECT_EQ(grid.columns, 1) << "at least one post each way";
}

TEST(SettleGrid, RefusesMoreThanTwoToThe31Posts) {
    ImportGrid grid;
    EXPECT_TRUE(SettleGrid({0, 0, 65536, 32768}, 1.0, grid).ok()) << "exactly 2^31 posts";
    const Status over = SettleGrid({0, 0, 65536, 32769}, 1.0, grid);
    EXPECT_EQ(over.code(), Status::Code::kResourceExhausted);
    EXPECT_NE(over.message().find("more than 2^31"), std::string::npos) << over.message();

    EXPECT_FALSE(SettleGrid({0, 0, 360, 180}, 1e-300, grid).ok());
}

TEST(SettleGrid, RefusesMoreRowsOrColumnsThanAHeaderCanState) {
    ImportGrid grid;
    // 2^31 posts in one row or one column: within the posts' limit, beyond a header's count.
    const double spacing = 180.0 / 2147483648.0;
    for (const auto& [bounds, what] : {std::pair{GeoBounds{0, -90, 1e-7, 90}, "2147483648 rows"},
                                       std::pair{GeoBounds{-90, 0, 90, 1e-7}, "2147483648 columns"}}) {
        const Status over = SettleGrid(bounds, spacing, grid);
        EXPECT_EQ(over.code(), Status::Code::kResourceExhausted);
        EXPECT_NE(over.message().find(what), std::string::npos) << over.message();
    }
    EXPECT_EQ(grid.rows, 0) << "the grid is left as it was";

    ASSERT_TRUE(SettleGrid({0, -90, 1e-7, 90}, 180.0 / 2147483647.0, grid).ok());
    EXPECT_EQ(grid.rows, 2147483647);
    EXPECT_EQ(grid.columns, 1);
}

TEST(UnionOf, GoesEastPastTheAntimeridianWhenThatIsNarrower) {
    const auto longitudes = [](std::vector<GeoBounds> extents) {
        const GeoBounds u = UnionOf(extents);
        return std::pair{u.west, u.east};
    };
    EXPECT_EQ(longitudes({{10, 40, 12, 41}, {11, 42, 13, 43}}), std::pair(10.0, 13.0));
    EXPECT_EQ(UnionOf({{10, 40, 12, 41}, {11, 42, 13, 43}}).north, 43);
    EXPECT_EQ(UnionOf({{10, 40, 12, 41}, {11, 42, 13, 43}}).south, 40);
    EXPECT_EQ(longitudes({{179, -16, 180, -15}, {-180, -16, -179, -15}}), std::pair(179.0, 181.0));
    EXPECT_EQ(longitudes({{175.5, 0, 182.5, 1}, {-179, 0, -178, 1}}), std::pair(175.5, 182.5))
        << "one source already across, the other inside it";
    EXPECT_EQ(longitudes({{190, 0, 191, 1}, {195, 0, 196, 1}}), std::pair(190.0, 196.0)) << "sources keep their "
                                                                                            "longitudes";
    EXPECT_EQ(longitudes({{0, 0, 360, 1}, {-180, 0, -170, 1}}), std::pair(0.0, 360.0)) << "the globe, once";
    EXPECT_EQ(longitudes({{-10, 0, 10, 1}, {172, 0, 175, 1}, {-175, 0, -170, 1}}), std::pair(172.0, 10.0 + 360))
        << "the widest gap, 10 to 172 east, is left out";
}

TEST(Overlap, TakesLongitudesRoundTheGlobe) {
    EXPECT_TRUE(Overlap({190, 0, 191, 1}, {-170, 0, -169, 1}));
    EXPECT_TRUE(Overlap({-180, 0, -179, 1}, {179, 0, 181, 1}));
    EXPECT_FALSE(Overlap({10, 0, 11, 1}, {11, 0, 12, 1})) << "touching is no overlap";
    EXPECT_FALSE(Overlap({10, 0, 11, 1}, {10, 1, 11, 2}));
}

// The windows, laid end to end, must give every post once in the raster's order.
void ExpectRasterOrder(const ImportGrid& grid, const std::vector<GridWindow>& windows, std::uint64_t maxPosts) {
    std::int32_t row = 0, column = 0;
    for (const GridWindow& w : windows) {
        EXPECT_LE(w.posts(), maxPosts);
        ASSERT_EQ(w.row, row);
        ASSERT_EQ(w.column, column);
        if (w.rows > 1) {
            EXPECT_EQ(w.columns, grid.columns) << "several rows only whole";
        }
        column += w.columns;
        if (column == grid.columns) {
            column = 0;
            row += w.rows;
        }
    }
    EXPECT_EQ(row, grid.rows);
    EXPECT_EQ(column, 0);
}

TEST(PlanWindows, CoverTheGridOnceInRasterOrder) {
    const ImportGrid grid{{}, 10, 7};
    for (std::uint64_t maxPosts : {1u, 6u, 7u, 15u, 69u, 70u, 1000u}) {
        SCOPED_TRACE(maxPosts);
        ExpectRasterOrder(grid, PlanWindows(grid, maxPosts), maxPosts);
    }
    EXPECT_EQ(PlanWindows(grid, 1000).size(), 1u);
    EXPECT_EQ(PlanWindows(grid, 15).size(), 5u) << "bands of two rows";
    EXPECT_EQ(PlanWindows(grid, 3).size(), 30u) << "three pieces of each row";
}

TEST(PlanWindows, ARowLongerThanAWindowIsCutWithoutOverflow) {
    const ImportGrid grid{{}, 1, 2147483647};
    const std::vector<GridWindow> windows = PlanWindows(grid, std::uint64_t{1} << 30);
    ASSERT_EQ(windows.size(), 2u);
    ExpectRasterOrder(grid, windows, std::uint64_t{1} << 30);
}

template <typename T>
std::vector<std::int16_t> Convert(const std::vector<T>& heights, PostTally& tally) {
    std::vector<std::uint8_t> bytes(heights.size() * 2);
    ConvertHeights(std::span<const T>(heights), bytes.data(), tally);
    std::vector<std::int16_t> posts;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        posts.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    return posts;
}

TEST(ConvertHeights, RoundsHalvesAwayFromZeroAndMarksNoData) {
    PostTally tally;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Convert(std::vector<float>{2.5f, -2.5f, 2.49f, -0.4f, nan, 4086.f, -5035.2f}, tally),
              (std::vector<std::int16_t>{3, -3, 2, 0, -32768, 4086, -5035}));
    EXPECT_EQ(tally.posts, 7u);
    EXPECT_EQ(tally.noData, 1u);
    EXPECT_EQ(tally.clamped, 0u);
    EXPECT_EQ(tally.lowest, -5035);
    EXPECT_EQ(tally.highest, 4086);
}

TEST(ConvertHeights, ClampsToTheRangeAboveTheMissingFlagAndCountsIt) {
    PostTally tally;
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(
        Convert(std::vector<float>{40000.f, -40000.f, -32767.4f, 32767.4f, inf, -inf, -32767.6f, -32767.5f}, tally),
        (std::vector<std::int16_t>{32767, -32767, -32767, 32767, 32767, -32767, -32767, -32767}));
    EXPECT_EQ(tally.clamped, 6u);
    EXPECT_EQ(tally.noData, 0u) << "a height far below is not no data";
    EXPECT_EQ(tally.lowest, -32767);
    EXPECT_EQ(tally.highest, 32767);
}

TEST(ConvertHeights, WholeMetresAreWrittenAsTheyAreAndCounted) {
    PostTally tally;
    const std::vector<std::int16_t> posts = {-32768, -32767, 0, 255, 32767, -32768};
    EXPECT_EQ(Convert(posts, tally), posts);
    EXPECT_EQ(tally.posts, 6u);
    EXPECT_EQ(tally.noData, 2u);
    EXPECT_EQ(tally.lowest, -32767);
    EXPECT_EQ(tally.highest, 32767);
}

TEST(ConvertHeights, WithoutAnyHeightTheRangeStaysEmpty) {
    PostTally tally;
    Convert(std::vector<float>{std::numeric_limits<float>::quiet_NaN()}, tally);
    EXPECT_GT(tally.lowest, tally.highest);
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
    written.elev_m_missing_flag = -32768;
    DemHeader read;
    for (const std::string& line : DemHeaderLines(written)) EXPECT_TRUE(ApplyHeaderLine(read, line)) << line;
    // The shortest text of a double reads back as that double, and no other does.
    EXPECT_EQ(DemHeaderLines(read), DemHeaderLines(written));
    EXPECT_EQ(DemHeaderLines(written).front(), "file_title = Alps = high");
}

}  // namespace
}  // namespace gw::gdalio
