#include "core/progress/ProgressState.h"

#include <algorithm>
#include <cstdint>

namespace gw {

int ProgressPercent(int p, int lower, int upper) {
    if (upper == lower) return 0;
    const std::int64_t percent = (std::int64_t{p} - lower) * 100 / (std::int64_t{upper} - lower);
    return static_cast<int>(percent == 100 ? percent : percent % 100);
}

void ProgressState::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

int ProgressState::SetPos(int pos) {
    const int previous = m_pos;
    m_pos = std::clamp(pos, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    ShowPercentFor(pos);
    return previous;
}

int ProgressState::StepIt() {
    const int previous = m_pos;
    m_pos = previous + m_step;
    if (m_pos > m_upper) m_pos = m_lower;
    ShowPercentFor(previous + m_step);
    return previous;
}

void ProgressState::ShowPercentFor(int p) {
    m_percentText = std::to_string(ProgressPercent(p, m_lower, m_upper)) + "%";
}

}  // namespace gw
