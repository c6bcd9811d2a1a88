#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gw {

// Number conversions with the C library's semantics, independent of the locale.

// atoi: leading white space, an optional sign, then decimal digits up to the first
// other character; 0 when there are none. Values beyond the 32-bit range saturate.
std::int32_t ParseCInt(std::string_view text);

// atof restricted to decimal numbers: leading white space, then the longest prefix
// that forms an optionally signed decimal number with optional fraction and exponent;
// 0.0 when there is none. Overflow gives +-HUGE_VAL, as strtod does.
double ParseCDouble(std::string_view text);

// sscanf's "%d" and "%lg" (decimal numbers only): white space, then a number. Return
// how many characters were taken, white space included; 0 when no number follows.
std::size_t ScanCInt(std::string_view text, std::int32_t& value);
std::size_t ScanCDouble(std::string_view text, double& value);

// Whole-text parses for command-line values: true only when the whole text (no
// surrounding blanks) is one number and it fits.
bool ParseWholeInt(std::string_view text, std::int32_t& value);
bool ParseWholeDouble(std::string_view text, double& value);

// printf("%.<precision>g"), always with '.' as the decimal point.
std::string FormatG(double value, int precision = 6);

// The shortest text that reads back as the same double ("3.2799999713897705").
std::string FormatShortest(double value);

// A C-style conversion of a double to a 32-bit integer, truncating toward zero. Values
// that do not fit, and NaN, give INT32_MIN, as the x86 conversion instruction does.
inline std::int32_t TruncToInt32(double value) {
    // The range test is written so that NaN fails it.
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
    return INT32_MIN;
}

// The low 16 bits of a value, as a signed number (C's narrowing to short).
inline std::int16_t NarrowToInt16(std::int32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value)));
}

}  // namespace gw
