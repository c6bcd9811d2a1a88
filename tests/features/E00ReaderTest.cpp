// What the reader refuses, and how much memory it may take, whatever a file claims.
#include "tests/TestSupport.h"
#include "core/features/E00Reader.h"
#include "core/features/E00Rules.h"
#include "tests/features/E00Text.h"
#include "core/progress/ProgressState.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

namespace gw {
namespace {

using namespace test;

constexpr long kClaim = 2147483647;
const std::string kFirst = "EXP  0 /X/PPPOINT.E00\n";

std::string Repeat(const std::string& unit, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + unit.size());
    while (text.size() < bytes) text += unit;
    return text;
}

std::string TableHeader(const std::string& name, long items, long records) {
    char b[96];
    std::snprintf(b, sizeof b, "%-32sXX%4ld%4ld%4d%10ld\n", name.c_str(), items, items, 80, records);
    return b;
}

// Runs parse in a child process whose address space may grow by at most extra bytes
// beyond what it has at the start; true when parse returned true within it.
bool WithinAddressSpace(std::size_t extra, const std::function<bool()>& parse) {
    const pid_t child = ::fork();
    if (child == 0) {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + extra;
        const rlimit space{limit, limit};
        ::setrlimit(RLIMIT_AS, &space);
        ::_exit(parse() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class E00ReaderTest : public ::testing::Test {
protected:
    Status ParseText(const std::string& text) { return e00.ParseText(text, progress); }
    E00Reader e00;
    NullProgress progress;
};

// Texts of about 8 MB that claim 2^31 records, points or items and follow with the
// cheapest lines each section accepts. Reading one may take no more than four times
// its size (and a little for the program), and ends in a failure of the file, never
// of memory.
TEST_F(E00ReaderTest, MemoryFollowsTheFileNotTheCountsItClaims) {
    constexpr std::size_t kSize = 8 << 20;
    const std::string nameItems = Item("PPPOINT#", 4, 50) + Item("PPPTNAME", 69, 20);
    const std::pair<const char*, std::string> cases[] = {
        {"records of empty lines", kFirst + "IFO  2\n" + TableHeader("P.PAT", 2, kClaim) + nameItems + Repeat("\n", kSize)},
        {"records of thirteen lines",
         kFirst + "IFO  2\n" + TableHeader("T.PAT", 2, kClaim) + Item("N", 4, 50) + Item("TEXT", 999, 20) +
             Repeat("\n", kSize)},
        {"items", kFirst + "IFO  2\n" + TableHeader("T.PAT", kClaim, 1) + Repeat(Item("SIXTEEN-CHARS-XX", 4, 50), kSize)},
        {"tables", kFirst + "IFO  2\n" + Repeat(TableHeader("THIRTY-TWO-CHARACTERS-OF-A-NAME!", 0, 0), kSize)},
        {"arc points", kFirst + "ARC  2\n" + ArcRecord(1, kClaim) + Repeat(F(1) + F(2) + F(3) + F(4) + "\n", kSize)},
        {"arcs", kFirst + "ARC  2\n" + Repeat(ArcRecord(1, 1) + F(1) + F(2) + "\n", kSize)},
        {"labels", kFirst + "LAB  3\n" + Repeat(I(1) + I(2) + "\n\n\n", kSize)},
        {"centroids", kFirst + "CNT  2\n" + Repeat("0 0 0\n", kSize)},
        {"polygons", kFirst + "PAL  3\n" + Repeat(I(0) + D(0) + D(0) + "\n" + D(0) + D(0) + "\n", kSize)},
        {"polygon arc lines", kFirst + "PAL  2\n" + I(kClaim) + F(0) + F(0) + F(0) + F(0) + "\n" + Repeat("\n", kSize)},
    };
    for (const auto& [what, text] : cases) {
        EXPECT_TRUE(WithinAddressSpace(4 * text.size() + (16 << 20), [&] {
            const Status parsed = ParseText(text);
            return !parsed.ok() && parsed.code() == Status::Code::kCorruption;
        })) << what;
    }
}

// Lines too short to hold what they must are refused, so that no line of a few bytes
// can make tens of bytes of structure.
TEST_F(E00ReaderTest, LinesTooShortForTheirNumbersAreRefused) {
    const std::pair<std::string, std::string> cases[] = {
        {"ARC  2\n" + ArcRecord(1, 3) + F(1) + F(2) + F(3) + "\n" + F(5) + F(6) + "\n",
         "line 4: an arc's coordinate line has fewer than 56 characters"},
        {"ARC  2\n" + ArcRecord(1, 1) + "\n" + kArcEnd, "line 4: an arc's coordinate line has fewer than 28 characters"},
        {"ARC  3\n" + ArcRecord(1, 1) + D(1) + "\n" + kArcEnd,
         "line 4: an arc's coordinate line has fewer than 42 characters"},
        {"LAB  2\n" + I(1) + "\n\n", "line 3: a LAB record line has fewer than 20 characters"},
        {"PAL  3\n" + I(1) + D(0) + "\n" + D(0) + D(0) + "\n\n", "line 3: a PAL record line has fewer than 52 characters"},
        {"PAL  3\n" + I(1) + D(0) + D(0) + "\n" + D(0) + "\n\n",
         "line 4: a PAL record's second line has fewer than 42 characters"},
        {"IFO  2\nT.PAT                           XX   1   1   8\n",
         "line 3: an INFO table header has fewer than 56 characters"},
        {"IFO  2\n" + TableHeader("T.PAT", 1, 0) + "A                 4-1\n",
         "line 4: an INFO item definition has fewer than 37 characters"},
    };
    for (const auto& [body, message] : cases) {
        EXPECT_EQ(ParseText(kFirst + body + "EOS\n").message(), message);
    }
    EXPECT_TRUE(ParseText(kFirst + "LAB  2\n" + I(1) + I(2) + "\n\n" + I(-1) + I(0) + "\nEOS\n").ok())
        << "a label record needs its two integers, not its point";
}

// Nothing stored, or another version, gives the built-in rules; saved rules load back
// the same; reading stops at the first missing row.
TEST(E00Rules, StoredRulesLoadBackOrGiveTheBuiltInOnes) {
    MemoryProfileSection store;
    E00Rules rules;
    LoadE00Rules(store, rules);
    ASSERT_EQ(rules, BuiltInE00Rules());

    SaveE00Rules(store, BuiltInE00Rules());
    EXPECT_EQ(store.ReadInt("Version"), 2);
    rules.clear();
    LoadE00Rules(store, rules);
    EXPECT_EQ(rules, BuiltInE00Rules());

    MemoryProfileSection gap;
    gap.WriteInt("Version", 2);
    gap.WriteInt("Count", 3);
    gap.WriteText("Rule0", "mine.e00,ff,MINE,,,,,0");
    gap.WriteText("Rule2", "lost.e00,ff,LOST,,,,,0");
    rules.clear();
    LoadE00Rules(gap, rules);
    ASSERT_EQ(rules.size(), 1u);
    gap.WriteInt("Version", 1);
    rules.clear();
    LoadE00Rules(gap, rules);
    EXPECT_EQ(rules, BuiltInE00Rules()) << "another version";
}

// Rows are split at every comma and their fields are not trimmed.
TEST(E00Rules, RowsAreSplitAtEveryComma) {
    const E00Rule shifted = ParseE00Rule("a,b.e00,ff,KEY,,,,,1");
    EXPECT_EQ(FormatE00Rule(shifted), "a,b,ff,KEY,,,,0") << "\"b.e00\" scans as b; the eighth field is \",1\"";
    EXPECT_EQ(FormatE00Rule(ParseE00Rule("only.e00,zz,WORD")), "only.e00,0,WORD,,,,,0");
    EXPECT_EQ(FormatE00Rule(ParseE00Rule(" x.e00 , 0x1F ,K ,,,,, 7")), " x.e00 ,1f,K ,,,,,7");
}

}  // namespace
}  // namespace gw
