#include "core/generate/TerrainPath.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(TerrainPathTest, LowerCaseL2NamesEveryFile) {
    EXPECT_TRUE(CheckTerrainPath("/out/korea.l2").ok());
    EXPECT_FALSE(NamesOnlyTerrainFiles("/out/korea.l2"));
}

TEST(TerrainPathTest, UpperCaseL2NamesOnlyTheTileAndIndexFiles) {
    EXPECT_TRUE(CheckTerrainPath("/out/korea.L2").ok());
    EXPECT_TRUE(NamesOnlyTerrainFiles("/out/korea.L2"));
}

TEST(TerrainPathTest, ANameWithoutL2IsRefusedNamingTheFile) {
    const Status status = CheckTerrainPath("/out/korea.dat");
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.message().find("korea.dat"), std::string::npos);
    EXPECT_NE(status.message().find("\".l2\""), std::string::npos);
    EXPECT_FALSE(NamesOnlyTerrainFiles("/out/korea.dat"));
}

TEST(TerrainPathTest, OnlyTheFileNameCounts) {
    EXPECT_FALSE(CheckTerrainPath("/out/theater.l2/korea").ok());
    EXPECT_FALSE(CheckTerrainPath("/out.L2/korea").ok());
}

}  // namespace
}  // namespace gw
