#include "core/util/CNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace gw {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view SkipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    return text.substr(i);
}

// strtod under the "C" locale; used only for the values from_chars reports as out of
// range, so that they overflow to HUGE_VAL and underflow to 0 exactly as in C.
double StrtodC(const std::string& text) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

// Parses a decimal number at the start of text; sets used to the characters taken.
double ParseDecimalPrefix(std::string_view text, std::size_t& used) {
    used = 0;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars also takes "inf" and "nan", which are no decimal numbers.
    const bool digitFirst = i < text.size() && IsDigit(text[i]);
    const bool pointFirst = i + 1 < text.size() && text[i] == '.' && IsDigit(text[i + 1]);
    if (!digitFirst && !pointFirst) return 0.0;

    double value = 0.0;
    const char* begin = text.data() + i;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        value = StrtodC(std::string(begin, end));
    } else if (ec != std::errc()) {
        return 0.0;
    }
    used = static_cast<std::size_t>(end - text.data());
    return negative ? -value : value;
}

}  // namespace

std::int32_t ParseCInt(std::string_view text) {
    text = SkipSpace(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    }
    if (negative) value = -value;
    value = std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(value);
}

double ParseCDouble(std::string_view text) {
    std::size_t used = 0;
    return ParseDecimalPrefix(SkipSpace(text), used);
}

std::size_t ScanCInt(std::string_view text, std::int32_t& value) {
    const std::string_view rest = SkipSpace(text);
    std::size_t i = rest.size() > 0 && (rest[0] == '+' || rest[0] == '-') ? 1 : 0;
    const std::size_t firstDigit = i;
    while (i < rest.size() && IsDigit(rest[i])) ++i;
    if (i == firstDigit) return 0;
    value = ParseCInt(rest.substr(0, i));
    return text.size() - rest.size() + i;
}

std::size_t ScanCDouble(std::string_view text, double& value) {
    const std::string_view rest = SkipSpace(text);
    std::size_t used = 0;
    const double parsed = ParseDecimalPrefix(rest, used);
    if (used == 0) return 0;
    value = parsed;
    return text.size() - rest.size() + used;
}

bool ParseWholeInt(std::string_view text, std::int32_t& value) {
    if (text.empty() || text.front() == '+') return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseWholeDouble(std::string_view text, double& value) {
    std::size_t used = 0;
    const double parsed = ParseDecimalPrefix(text, used);
    if (used == 0 || used != text.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

std::string FormatG(double value, int precision) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::general, precision);
    if (ec != std::errc()) return {};
    return std::string(buffer, end);
}

std::string FormatShortest(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}


}  // namespace gw
