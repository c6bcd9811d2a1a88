#include "core/layout/HeightTable.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(HeightTable, FirstRowAtOrAboveTheElevationWins) {
    const HeightTable table;
    EXPECT_EQ(table.LookupTileCode(160), 48u);
    EXPECT_EQ(table.LookupTileCode(161), 160u);
    EXPECT_EQ(table.LookupTileCode(0), 0u);
    EXPECT_EQ(table.LookupTileCode(-40), 0u);
    EXPECT_EQ(table.LookupTileCode(32767), 694u);
    EXPECT_EQ(table.LookupColour(0), Rgb(154, 182, 216));
    EXPECT_EQ(table.LookupColour(40000), Rgb(255, 255, 255)) << "above every row: the last row";
}

}  // namespace
}  // namespace gw
