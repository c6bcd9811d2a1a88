#include "core/progress/ProgressState.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(ProgressState, PercentageStartsAgainPastTheEnd) {
    ProgressState state;
    EXPECT_EQ(state.percentText(), " 0 %");
    state.SetRange(0, 16);
    state.SetStep(1);
    state.SetPos(0);
    EXPECT_EQ(state.percentText(), "0%");
    for (int i = 0; i < 8; ++i) state.StepIt();
    EXPECT_EQ(state.percentText(), "50%");
    for (int i = 0; i < 8; ++i) state.StepIt();
    EXPECT_EQ(state.percentText(), "100%");
    EXPECT_EQ(state.StepIt(), 16);
    EXPECT_EQ(state.percentText(), "6%");
    EXPECT_EQ(state.pos(), 0) << "the bar starts again from its lower end";
}

}  // namespace
}  // namespace gw
