#include "core/util/CNumbers.h"
#include "core/util/Text.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace gw {
namespace {

// Integers read the leading digits as atoi does, clamped to 32 bits; floats the longest
// decimal prefix as strtod does, never "inf", "nan" or hexadecimal.
TEST(CNumbers, TextsReadTheirLeadingNumber) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::pair<const char*, std::int32_t> ints[] = {
        {"  12.7", 12}, {"\t-500", -500}, {"+7x", 7}, {"abc", 0}, {"- 5", 0}, {"", 0},
        {"99999999999999999999", kMax}, {"-99999999999999999999", -kMax - 1},
    };
    for (const auto& [text, value] : ints) EXPECT_EQ(ParseCInt(text), value) << text;
    const std::pair<const char*, double> doubles[] = {
        {"45.5N", 45.5}, {" -1e3x", -1000}, {".5", 0.5}, {"5.", 5}, {"1e", 1}, {"abc", 0}, {".", 0},
        {"inf", 0}, {"nan", 0}, {"0x10", 0}, {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL}, {"1e-999", 0},
    };
    for (const auto& [text, value] : doubles) EXPECT_EQ(ParseCDouble(text), value) << text;
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

TEST(CNumbers, FormatAndTruncationFollowPrintfAndTheX86Conversion) {
    const std::pair<double, const char*> formats[] = {
        {552.376915385182, "552.377"}, {0.1348576453577105, "0.134858"}, {100000.0, "100000"},
        {1000000.0, "1e+06"},          {0.0000123456, "1.23456e-05"},    {-0.0, "-0"},
    };
    for (const auto& [value, text] : formats) EXPECT_EQ(FormatG(value), text);
    EXPECT_EQ(FormatG(819.99487, 15), "819.99487");
    EXPECT_EQ(TruncToInt32(-2.9), -2);
    EXPECT_EQ(TruncToInt32(std::nan("")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TruncToInt32(3e9), std::numeric_limits<std::int32_t>::min());
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

TEST(Text, LinesEndAtLfOrCrLfAndStopAtNul) {
    test::TempDir dir;
    const std::string path = dir.Path("lines.txt");
    test::WriteFile(path, std::string("one\r\ntwo\nthr\0ee\n\nlast", 22));
    LineReader reader(path);
    ASSERT_TRUE(reader.is_open());
    std::vector<std::string> lines;
    for (std::string line; reader.Next(line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "thr", "", "last"}));

    EXPECT_FALSE(LineReader(dir.Path("missing")).is_open());
    EXPECT_FALSE(LineReader(dir.Path("")).is_open()) << "a folder is no text file";
}

}  // namespace
}  // namespace gw
