#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace gw {
namespace {

using test::DemSpec;
using test::TempDir;

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
