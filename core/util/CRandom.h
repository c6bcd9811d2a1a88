#pragma once

#include <cstdint>

namespace gw {

// The C runtime's rand: state 1 at start, state = state * 214013 + 2531011 (mod 2^32),
// each draw (state >> 16) & 0x7fff. The same numbers on every platform.
class CRandom {
public:
    static constexpr int kMax = 0x7fff;

    int Next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7fff);
    }

private:
    std::uint32_t m_state = 1;
};

}  // namespace gw
