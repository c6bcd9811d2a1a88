#include "core/layout/DistanceUnit.h"
#include "core/layout/TheaterLayout.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TheaterLayout Started() {
    TheaterLayout layout;
    layout.OnInitialUpdate();
    return layout;
}

TEST(TheaterLayout, UnitsReexpressTheSameTheater) {
    TheaterLayout l = Started();
    l.OnCenterLatKillFocus("45");
    const double north = l.m_northLat, west = l.m_northWestLong;
    l.OnUnitSelected(kFeetUnit);
    EXPECT_NEAR(l.m_northLat, north, 1e-12);
    EXPECT_NEAR(l.m_northWestLong, west, 1e-12);
    l.OnUnitSelected(7);  // no such row: nothing changes
    EXPECT_EQ(l.m_unitIndex, kFeetUnit);
}

TEST(TheaterLayout, SquareTiesYToX) {
    TheaterLayout l = Started();
    l.SetSegmentsX("128");
    l.OnSegmentsYChanged("32");
    EXPECT_EQ(l.m_segmentsY, 128) << "the Y box is ignored while Square is on";
    l.OnSquareClicked(false);
    l.OnSegmentsYChanged("32");
    l.SetSegmentsX("48");
    EXPECT_EQ(l.m_tilesX, 768);
    EXPECT_EQ(l.m_tilesY, 512);
    l.OnSquareClicked(true);
    EXPECT_EQ(l.m_segmentsY, 48);
}

// Layouts a run refuses: "" for one it accepts, else part of the reason.
TEST(TheaterLayout, ValidationRefusesLayoutsThatCannotBeBuilt) {
    const struct {
        const char *lat, *resolution, *segments, *why;
    } cases[] = {
        {"45", "abc", "64", "resolution"},   {"45", "0.2", "64", ""},
        {"45", "0.2", "99999999999", "segments"}, {"45", "0.001", "4096", ""},
        {"-91", "0.2", "64", "within 90 degrees"}, {"45", "1e306", "64", "infinite"},
        {"45", "0.2", "0", "segments"},
    };
    for (const auto& c : cases) {
        TheaterLayout l = Started();
        l.OnCenterLatKillFocus(c.lat);
        l.OnResolutionChanged(c.resolution);
        l.SetSegmentsX(c.segments);
        const Status valid = l.ValidateForGenerate();
        if (*c.why == '\0') {
            EXPECT_TRUE(valid.ok()) << c.resolution << ": " << valid.message();
        } else {
            EXPECT_NE(valid.message().find(c.why), std::string::npos) << c.resolution << ": " << valid.message();
        }
    }
}

}  // namespace
}  // namespace gw
