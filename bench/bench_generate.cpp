// Times theater generation against two references on the same machine in the same run:
// MD5 over as many block bytes as the theater has (the lower bound of recognising
// duplicate blocks), and GDAL's gdalwarp resampling the same raster to the same grid.
// Also reports the generator's peak memory beyond the mapped raster.
//
//   bench_generate [WORK_FOLDER]   (default: a new folder under /tmp)

#include "core/util/CNumbers.h"
#include "core/util/OutputFile.h"

#include <md5.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr int kPosts = 2400;  // the DEM is kPosts x kPosts
constexpr int kRepeats = 3;   // best of

struct Run {
    double seconds = 0;
    long maxRssKb = 0;
    bool ok = false;
};

// Runs a program with its output discarded; wall time and peak resident memory.
Run RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.maxRssKb = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

Run Best(const std::vector<std::string>& args) {
    Run best;
    for (int i = 0; i < kRepeats; ++i) {
        const Run r = RunProgram(args);
        if (!r.ok) return r;
        if (!best.ok || r.seconds < best.seconds) best = r;
        best.maxRssKb = std::max(best.maxRssKb, r.maxRssKb);
    }
    return best;
}

// MD5 of `blocks` blocks of `blockSize` bytes, each block different.
double Md5Seconds(int blocks, std::size_t blockSize) {
    std::vector<std::uint8_t> block(blockSize);
    for (std::size_t i = 0; i < blockSize; ++i) block[i] = static_cast<std::uint8_t>(i * 7);
    double best = 1e9;
    std::uint8_t sink = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const auto start = std::chrono::steady_clock::now();
        for (int b = 0; b < blocks; ++b) {
            block[0] = static_cast<std::uint8_t>(b);
            block[1] = static_cast<std::uint8_t>(b >> 8);
            MD5_CTX ctx;
            std::uint8_t digest[MD5_DIGEST_LENGTH];
            MD5Init(&ctx);
            MD5Update(&ctx, block.data(), block.size());
            MD5Final(digest, &ctx);
            sink ^= digest[0];
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (sink == 0x5a) std::puts("");
    return best;
}

bool WriteText(const std::string& path, const std::string& text) {
    gw::OutputFile file;
    if (!file.Create(path).ok()) return false;
    file.Write(text);
    return file.Close().ok();
}

std::string Fixed(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::string work = argc > 1 ? argv[1] : (fs::temp_directory_path() / "gridwright-bench").string();
    fs::create_directories(work + "/ehdr");
    const std::string dem = work + "/dem";
    // 10 x 10 degrees at 45 N; the theaters below are sized to cover its height.
    if (!RunProgram({GRIDWRIGHT_MAKE_DEM, dem, std::to_string(kPosts), std::to_string(kPosts), "5", "15", "50", "40"})
             .ok) {
        std::fprintf(stderr, "bench: cannot make the DEM in %s\n", work.c_str());
        return 1;
    }
    const auto rasterKb = static_cast<long>(fs::file_size(dem + ".bin") / 1024);
    std::printf("DEM: %d x %d posts (%ld KB raster), best of %d runs, %u cores\n", kPosts, kPosts, rasterKb, kRepeats,
                std::max(1u, std::thread::hardware_concurrency()));

    double seconds256 = 0;
    long peakBeyondRaster = 0;
    for (const int segments : {64, 256}) {
        const double resolution = 600.0 / (segments * 64);  // 16 tiles x 4 resolutions per segment
        const Run run = Best({GRIDWRIGHT_CLI, "generate", dem + ".hdr", work + "/t" + std::to_string(segments) + ".l2",
                              "--segments", std::to_string(segments), "--resolution", gw::FormatShortest(resolution),
                              "--no-description", "--quiet"});
        if (!run.ok) {
            std::fprintf(stderr, "bench: generate %d failed\n", segments);
            return 1;
        }
        const long beyond = run.maxRssKb - rasterKb;
        peakBeyondRaster = std::max(peakBeyondRaster, beyond);
        std::printf("generate %3d x %-3d segments (%8d tiles; L2, O2, MEA): %s s, peak memory %ld KB (%ld KB beyond the raster)\n",
                    segments, segments, segments * segments * 256, Fixed(run.seconds, 3).c_str(), run.maxRssKb, beyond);
        if (segments == 256) seconds256 = run.seconds;
    }

    // Reading the theater back and checking it, MEA grid included, against writing it.
    const Run inspect = Best({GRIDWRIGHT_CLI, "inspect", work + "/t256.l2", "--segments", "256"});
    if (!inspect.ok) {
        std::fprintf(stderr, "bench: inspect 256 failed\n");
        return 1;
    }
    std::printf("inspect  256 x 256  segments (L2, O2, MEA): %s s, peak memory %ld KB\n", Fixed(inspect.seconds, 3).c_str(),
                inspect.maxRssKb);

    const double md5 = Md5Seconds(256 * 256, 1792);
    std::printf("reference MD5 of 65536 blocks of 1792 bytes: %s s\n", Fixed(md5, 3).c_str());

    // gdalwarp reads the raster through an EHdr header of its own.
    double warp = 0;
    const std::string bil = work + "/ehdr/dem.bil";
    fs::remove(bil);
    fs::create_symlink(dem + ".bin", bil);
    const double cell = 10.0 / kPosts;
    const bool headerOk = WriteText(work + "/ehdr/dem.hdr",
                                    "BYTEORDER I\nLAYOUT BIL\nNROWS 2400\nNCOLS 2400\nNBANDS 1\nNBITS 16\n"
                                    "PIXELTYPE SIGNEDINT\nULXMAP " + gw::FormatShortest(5 + cell / 2) +
                                        "\nULYMAP " + gw::FormatShortest(50 - cell / 2) + "\nXDIM " +
                                        gw::FormatShortest(cell) + "\nYDIM " + gw::FormatShortest(cell) + "\n");
    const Run warpRun = headerOk ? Best({"gdalwarp", "-q", "-overwrite", "-r", "bilinear", "-ts", "4096", "4096", bil,
                                         work + "/ehdr/warped.tif"})
                                 : Run{};
    if (warpRun.ok) {
        warp = warpRun.seconds;
        std::printf("reference gdalwarp -r bilinear -ts 4096 4096: %s s\n", Fixed(warp, 3).c_str());
    } else {
        std::printf("reference gdalwarp: not run (install gdal-bin)\n");
    }

    std::printf("\n256 x 256 segments: %s s (target under 0.6 s)\n", Fixed(seconds256, 3).c_str());
    std::printf("inspect / generate at 256 x 256: %s (target under 1)\n", Fixed(inspect.seconds / seconds256, 2).c_str());
    std::printf("ratio to the MD5 bound: %s (target at most 2.5)\n", Fixed(seconds256 / md5, 2).c_str());
    if (warp > 0) std::printf("ratio to gdalwarp: %s (target at most 0.5)\n", Fixed(seconds256 / warp, 2).c_str());
    std::printf("peak memory beyond the raster: %ld KB (target under 65536 KB)\n", peakBeyondRaster);
    return 0;
}
