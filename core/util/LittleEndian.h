#pragma once

#include <bit>
#include <cstdint>

namespace gw {

// Stores and reads values little-endian at p, whatever the machine's byte order.
inline void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLE32(std::uint8_t* p, std::uint32_t v) {
    PutLE16(p, static_cast<std::uint16_t>(v));
    PutLE16(p + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void PutLEFloat(std::uint8_t* p, float v) { PutLE32(p, std::bit_cast<std::uint32_t>(v)); }

inline std::uint16_t GetLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t GetLE32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace gw
