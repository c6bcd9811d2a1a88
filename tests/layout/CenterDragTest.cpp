#include "core/layout/CenterDrag.h"

#include "core/layout/PreviewFrame.h"
#include "core/layout/TheaterLayout.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(CenterDrag, APressOffThePictureStartsNothing) {
    CenterDrag drag;
    for (const PixelPoint p : {PixelPoint{-1, 0}, PixelPoint{0, -1}, PixelPoint{400, 10}, PixelPoint{10, 300}}) {
        EXPECT_FALSE(drag.OnButtonDown(p, 400, 300));
        EXPECT_FALSE(drag.dragging());
        EXPECT_FALSE(drag.OnMouseMove({10, 10}, 400, 300));
    }
}

TEST(CenterDrag, MovesTheCenterThroughTheMappingAndRecalculates) {
    PreviewFrame frame;
    frame.SetFrame(44, 14, 8, 6);  // 10..18 E, 41..47 N
    frame.SetImageSize(400, 300);
    TheaterLayout layout;
    layout.OnInitialUpdate();
    MoveCenterTo(layout, frame, {100, 75});
    EXPECT_DOUBLE_EQ(layout.m_centerLong, 12.0);
    EXPECT_DOUBLE_EQ(layout.m_centerLat, 45.5);
    EXPECT_DOUBLE_EQ(layout.m_northLat + layout.m_southLat, 2 * 45.5);
    EXPECT_GT(layout.m_northLat, 45.5);
    EXPECT_LT(layout.m_northWestLong, 12.0);
}

}  // namespace
}  // namespace gw
