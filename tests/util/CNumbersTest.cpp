#include "core/util/CNumbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace gw {
namespace {

TEST(CNumbers, IntegersReadTheLeadingDigitsLikeAtoi) {
    EXPECT_EQ(ParseCInt("  12.7"), 12);
    EXPECT_EQ(ParseCInt("\t-500"), -500);
    EXPECT_EQ(ParseCInt("+7x"), 7);
    EXPECT_EQ(ParseCInt("abc"), 0);
    EXPECT_EQ(ParseCInt("- 5"), 0);
    EXPECT_EQ(ParseCInt(""), 0);
    EXPECT_EQ(ParseCInt("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ParseCInt("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(CNumbers, FloatsReadTheLongestDecimalPrefix) {
    EXPECT_EQ(ParseCDouble("45.5N"), 45.5);
    EXPECT_EQ(ParseCDouble(" -1e3x"), -1000.0);
    EXPECT_EQ(ParseCDouble(".5"), 0.5);
    EXPECT_EQ(ParseCDouble("5."), 5.0);
    EXPECT_EQ(ParseCDouble("1e"), 1.0);
    EXPECT_EQ(ParseCDouble("abc"), 0.0);
    EXPECT_EQ(ParseCDouble("."), 0.0);
    // Not decimal numbers: nothing is read.
    EXPECT_EQ(ParseCDouble("inf"), 0.0);
    EXPECT_EQ(ParseCDouble("nan"), 0.0);
    EXPECT_EQ(ParseCDouble("0x10"), 0.0);
    // Out of range as strtod gives it.
    EXPECT_EQ(ParseCDouble("1e999"), HUGE_VAL);
    EXPECT_EQ(ParseCDouble("-1e999"), -HUGE_VAL);
    EXPECT_EQ(ParseCDouble("1e-999"), 0.0);
}

TEST(CNumbers, WholeTextParsesRefuseTrailingText) {
    std::int32_t i = 0;
    double d = 0;
    EXPECT_TRUE(ParseWholeInt("64", i));
    EXPECT_EQ(i, 64);
    EXPECT_FALSE(ParseWholeInt("64x", i));
    EXPECT_FALSE(ParseWholeInt(" 64", i));
    EXPECT_FALSE(ParseWholeInt("99999999999", i));
    EXPECT_TRUE(ParseWholeDouble("-12.5e1", d));
    EXPECT_EQ(d, -125.0);
    EXPECT_FALSE(ParseWholeDouble("1.5,", d));
    EXPECT_FALSE(ParseWholeDouble("1e999", d));
    EXPECT_FALSE(ParseWholeDouble("", d));
}

TEST(CNumbers, GeneralFormatMatchesPrintf) {
    EXPECT_EQ(FormatG(552.376915385182), "552.377");
    EXPECT_EQ(FormatG(0.1348576453577105), "0.134858");
    EXPECT_EQ(FormatG(43.5), "43.5");
    EXPECT_EQ(FormatG(100000.0), "100000");
    EXPECT_EQ(FormatG(1000000.0), "1e+06");
    EXPECT_EQ(FormatG(0.0000123456), "1.23456e-05");
    EXPECT_EQ(FormatG(-0.0), "-0");
    EXPECT_EQ(FormatG(819.99487, 15), "819.99487");
}

TEST(CNumbers, TruncationFollowsTheX86Conversion) {
    EXPECT_EQ(TruncToInt32(2.9), 2);
    EXPECT_EQ(TruncToInt32(-2.9), -2);
    EXPECT_EQ(TruncToInt32(std::nan("")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TruncToInt32(3e9), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(NarrowToInt16(65536 + 48), 48);
    EXPECT_EQ(NarrowToInt16(40000), -25536);
}

TEST(CNumbers, NumbersIgnoreTheLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    const double parsed = ParseCDouble("0.5");
    const std::string formatted = FormatG(1234.5);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(parsed, 0.5);
    EXPECT_EQ(formatted, "1234.5");
}

}  // namespace
}  // namespace gw
