#pragma once

#include "core/progress/Progress.h"

#include <string>

namespace gw {

// The percentage shown for position p of the range lower..upper: the share in whole
// percent, truncated, starting again from 0 past 100 (100 itself stays). An empty
// range shows 0.
int ProgressPercent(int p, int lower, int upper);

// The position, range and percentage text of a progress bar, as the progress dialog
// keeps them. The percentage text is " 0 %" until the first SetPos or StepIt.
class ProgressState {
public:
    void SetRange(int lower, int upper);
    void SetStep(int step) { m_step = step; }
    // Both return the previous position.
    int SetPos(int pos);
    // Advances by one step; past the upper end the bar starts again from its lower end,
    // while the percentage is that of the previous position plus the step.
    int StepIt();

    const std::string& percentText() const { return m_percentText; }
    int pos() const { return m_pos; }

private:
    void ShowPercentFor(int p);

    int m_lower = 0;
    int m_upper = 100;
    int m_step = 10;
    int m_pos = 0;
    std::string m_percentText = " 0 %";
};

// A progress that shows nothing and is never cancelled.
class NullProgress : public Progress {
public:
    void SetStatus(const std::string&) override {}
    void SetRange(int lower, int upper) override { m_state.SetRange(lower, upper); }
    void SetStep(int step) override { m_state.SetStep(step); }
    int SetPos(int pos) override { return m_state.SetPos(pos); }
    int StepIt() override { return m_state.StepIt(); }
    bool CheckCancelButton() override { return false; }

private:
    ProgressState m_state;
};

}  // namespace gw
