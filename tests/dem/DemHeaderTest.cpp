#include "tests/TestSupport.h"
#include "core/dem/DemHeader.h"
#include "core/document/GridwrightDoc.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <sstream>
#include <thread>

namespace gw {
namespace {

using test::DemSpec;
using test::TempDir;

// The header read from text, and whether reading it succeeded.
DemHeader Read(const std::string& text, Status* read = nullptr) {
    TempDir dir;
    test::WriteFile(dir.Path("h.hdr"), text);
    DemHeader header;
    Status status = ReadDemHeader(dir.Path("h.hdr"), header);
    if (read) {
        *read = std::move(status);
    } else {
        EXPECT_TRUE(status.ok()) << status.message();
    }
    return header;
}

// The fields the cases below set, in one line.
std::string Fields(const DemHeader& h) {
    std::ostringstream out;
    out << "rows " << h.number_of_rows << " columns " << h.number_of_columns << " title [" << h.file_title << "] min "
        << h.elev_m_min << " max " << h.elev_m_max << " left " << h.left_map_x << " right " << h.right_map_x
        << " upper " << h.upper_map_y << " lower " << h.lower_map_y << " grid " << h.grid_size;
    return out.str();
}

// Keys match without case, aliases share a field and the last line wins; values
// convert by the field's type and keep their trailing blanks; a line without a key,
// an '=' after blanks or a value is ignored; a byte order mark before the first key is
// skipped.
TEST(DemHeader, LinesSetTheirFields) {
    const std::pair<const char*, const char*> cases[] = {
        {"NUMBER_OF_COLUMNS = 4800\r\nelev_m_minimum = -500\nelev_m_min = -20\nelev_m_maximum = 900\n"
         "  \tfile_title \t=\t My DEM  \nnumber_of_rows = 10\nnumber_of_rows = 20",
         "rows 20 columns 4800 title [My DEM  ] min -20 max 900 left 0 right 0 upper 0 lower 0 grid 0.00833333"},
        {"number_of_rows=2400\nnumber_of_columns= 2400\ngrid_size =\ngrid_size =    \nlower_map_y 5\n"
         "unknown_key = 5\n= 7\nright_map_x =3\n",
         "rows 0 columns 0 title [unk] min 0 max 0 left 0 right 3 upper 0 lower 0 grid 0.00833333"},
        {"\xEF\xBB\xBFnumber_of_rows = 7\r\nnumber_of_columns = 3\n",
         "rows 7 columns 3 title [unk] min 0 max 0 left 0 right 0 upper 0 lower 0 grid 0.00833333"},
    };
    for (const auto& [text, fields] : cases) EXPECT_EQ(Fields(Read(text)), fields) << text;
}

TEST(DemHeader, AnOversizedFileFailsWithDefaults) {
    TempDir dir;
    test::WriteFile(dir.Path("big.hdr"), "number_of_rows = 1\n" + std::string(kMaxHeaderBytes, ' '));
    DemHeader header;
    const Status big = ReadDemHeader(dir.Path("big.hdr"), header);
    EXPECT_NE(big.message().find("too large for a DEM header"), std::string::npos) << big.message();
    EXPECT_EQ(header.number_of_rows, 0) << "nothing of it was applied";
    EXPECT_EQ(header.file_title, "unk");
}

// A header of rows and columns 1 over the given extent.
DemHeader Extent(double left, double right, double upper, double lower) {
    DemHeader h;
    h.number_of_rows = h.number_of_columns = 1;
    h.left_map_x = left, h.right_map_x = right, h.upper_map_y = upper, h.lower_map_y = lower;
    return h;
}

TEST(DemHeader, CheckRefusesRastersThatCannotBeRead) {
    const double inf = std::numeric_limits<double>::infinity();
    DemHeader rows = Extent(0, 1, 1, 0), columns = Extent(0, 1, 1, 0);
    rows.number_of_rows = INT32_MIN;
    columns.number_of_columns = -3;
    const std::pair<DemHeader, std::string> cases[] = {
        {Extent(-6, 20, 52, 35), ""},
        {Extent(-1e300, 1e300, 1e300, -1e300), ""},  // wide, but finite
        {rows, "number_of_rows is -2147483648"},
        {columns, "number_of_columns is -3"},
        {Extent(0, inf, 1, 0), "right_map_x is not a finite number"},
        {Extent(0, 1, std::nan(""), 0), "upper_map_y is not a finite number"},
        {Extent(-1e308, 1e308, 1, 0), "the extent from left_map_x -1e+308 to right_map_x 1e+308 is too wide to compute with"},
        {Extent(5, 5, 1, 0), "no extent from left_map_x 5 to right_map_x 5; the first must be below the second"},
        {Extent(0, 1, 0, 1), "no extent from lower_map_y 1 to upper_map_y 0"},
    };
    for (const auto& [header, why] : cases) {
        const Status checked = CheckDemHeader(header);
        EXPECT_EQ(checked.ok(), why.empty()) << why;
        EXPECT_TRUE(checked.message().find(why) != std::string::npos || why.empty()) << checked.message();
    }
}

// A 256 x 256 DEM of 100 ft everywhere: 128 KiB of raster, 32 pages.
class ShrinkingRasterTest : public ::testing::Test {
protected:
    void SetUp() override {
        DemSpec spec;
        spec.rows = spec.columns = kSide;
        spec.right = spec.upper = 4;
        spec.posts.assign(kSide * kSide, 100);
        ASSERT_TRUE(doc.OnOpenDocument(test::WriteDem(dir, "dem", spec)).ok());
        raster = dir.Path("dem.bin");
    }

    // Reads every post, and samples the whole extent, on two threads at once; returns
    // how many posts read 100 ft.
    int ReadEverythingOnTwoThreads() {
        std::atomic<int> high{0};
        const auto read = [&](int firstRow) {
            for (int row = firstRow; row < kSide; row += 2) {
                for (int column = 0; column < kSide; ++column) {
                    if (doc.GetElevation(column, row) == 100) ++high;
                    const double lat = 4 - (row + 0.5) / kSide * 4, lon = (column + 0.25) / kSide * 4;
                    EXPECT_GE(doc.SampleElevation(lat, lon, 0.001, 0.001), 0);
                    EXPECT_GE(doc.GetElevationAtFraction(float(column) / kSide, float(row) / kSide), 0);
                }
            }
        };
        std::thread other(read, 1);
        read(0);
        other.join();
        return high;
    }

    static constexpr int kSide = 256;
    TempDir dir;
    CGridwrightDoc doc;
    std::string raster;
};

TEST_F(ShrinkingRasterTest, PostsItLostReadAsZeroAndTheCheckFails) {
    EXPECT_EQ(ReadEverythingOnTwoThreads(), kSide * kSide);
    EXPECT_TRUE(doc.RasterIntact().ok());
    std::filesystem::resize_file(raster, 1000);
    // What lies in the file's remaining page still reads; the rest of that page and
    // every page after it read as 0.
    EXPECT_EQ(ReadEverythingOnTwoThreads(), 500);
    const Status intact = doc.RasterIntact();
    EXPECT_EQ(intact.code(), Status::Code::kCorruption);
    EXPECT_EQ(intact.message(), "the DEM changed while it was read: " + raster);

    std::filesystem::resize_file(raster, 2 * kSide * kSide);
    EXPECT_FALSE(doc.RasterIntact().ok()) << "pages lost stay lost, though the file grew back";
}

TEST(MappingGuard, FaultsOutsideGuardedMappingsStayFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    test::WriteFile(dir.Path("guarded"), std::string(8192, 'g'));
    test::WriteFile(dir.Path("bare"), std::string(8192, 'b'));
    EXPECT_EXIT(
        {
            MappedFile guarded;  // installs the handler
            if (!guarded.Open(dir.Path("guarded")).ok()) std::exit(1);
            const int fd = ::open(dir.Path("bare").c_str(), O_RDONLY);
            void* bare = ::mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0);
            if (bare == MAP_FAILED || ::truncate(dir.Path("bare").c_str(), 0) != 0) std::exit(1);
            std::printf("%d", static_cast<volatile char*>(bare)[4096]);
            std::exit(0);
        },
        [](int status) {
            // AddressSanitizer reports the fault and aborts instead of dying of it.
            return WIFSIGNALED(status) && (WTERMSIG(status) == SIGBUS || WTERMSIG(status) == SIGABRT);
        },
        "");
}

}  // namespace
}  // namespace gw
