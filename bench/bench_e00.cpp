// Times parsing a large Arc/Info export file and loading its arcs into features, beside
// two peers on the same file in the same run: avcimport (a dedicated C parser of the
// format, Debian avce00) and GDAL's ogrinfo. Reports the memory the features take
// against the size of their points as doubles.
//
//   bench_e00 [WORK_FOLDER]   (default: a new folder under /tmp)

#include "core/document/GridwrightDoc.h"
#include "core/document/FeatureLoader.h"
#include "core/progress/ProgressState.h"
#include "core/util/CRandom.h"
#include "core/util/OutputFile.h"

#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kArcs = 90000;
constexpr int kLabels = 40000;
constexpr int kRepeats = 3;

class QuietPrompts : public gw::UserPrompts {
public:
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
};

std::string Fields(const char* format, double a, double b) {
    char line[64];
    std::snprintf(line, sizeof line, format, a, b);
    return line;
}

// A single-precision export laid out like the real line and point coverages: an ARC
// section of rivers of 2 to 30 points, a LAB section with box lines, TOL, and an INFO
// table of the labels' names, in geographic degrees over 0..10 E, 40..50 N.
bool WriteExport(const std::string& path) {
    gw::CRandom random;
    const auto unit = [&] { return random.Next() / double(gw::CRandom::kMax); };
    gw::OutputFile file;
    if (!file.Create(path).ok()) return false;
    file.Write("EXP  0 /BENCH/DNNET.E00\nARC  2\n");
    char line[128];
    for (int a = 1; a <= kArcs; ++a) {
        const int points = 2 + random.Next() % 29;
        std::snprintf(line, sizeof line, "%10d%10d%10d%10d%10d%10d%10d\n", a, a, a, a + 1, 0, 0, points);
        file.Write(line);
        double x = unit() * 10, y = 40 + unit() * 10;
        for (int p = 0; p < points; ++p) {
            file.Write(Fields("%14.7E%14.7E", x, y));
            if (p % 2 == 1 || p + 1 == points) file.Write("\n");
            x += (unit() - 0.5) * 0.05;
            y += (unit() - 0.5) * 0.05;
        }
    }
    file.Write("        -1         0         0         0         0         0         0\nLAB  2\n");
    for (int l = 1; l <= kLabels; ++l) {
        const double x = unit() * 10, y = 40 + unit() * 10;
        std::snprintf(line, sizeof line, "%10d%10d", l, l);
        file.Write(line + Fields("%14.7E%14.7E\n", x, y) + Fields("%14.7E%14.7E", x, y) + Fields("%14.7E%14.7E\n", x, y));
    }
    file.Write("        -1         0 0.0000000E+00 0.0000000E+00\nTOL  2\n");
    for (int t = 1; t <= 10; ++t) {
        std::snprintf(line, sizeof line, "%10d%10d%14.7E\n", t, 1, 0.0);
        file.Write(line);
    }
    file.Write("        -1         0 0.0000000E+00\nEOS\n");
    return file.Close().ok();
}

// The best wall time of a program's runs; prepare runs before each.
template <typename Prepare>
double Run(const std::vector<std::string>& args, Prepare prepare) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
    double best = -1;
    for (int i = 0; i < kRepeats; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return -1;
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = best < 0 ? s : std::min(best, s);
    }
    posix_spawn_file_actions_destroy(&actions);
    return best;
}

template <typename Work>
double Best(Work work) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const std::string work = argc > 1 ? argv[1] : (fs::temp_directory_path() / "gridwright-bench-e00").string();
    fs::create_directories(work);
    const std::string e00Path = work + "/large.e00";
    if (!WriteExport(e00Path)) {
        std::fprintf(stderr, "bench: cannot write %s\n", e00Path.c_str());
        return 1;
    }
    const double megabytes = fs::file_size(e00Path) / 1e6;

    gw::NullProgress progress;
    gw::E00Reader reader;
    gw::Status parsed;
    const double parse = Best([&] {
        if (gw::Status run = reader.Parse(e00Path, progress); !run.ok()) parsed = run;
    });
    if (!parsed.ok()) {
        std::fprintf(stderr, "bench: the export does not parse: %s\n", parsed.message().c_str());
        return 1;
    }
    std::size_t points = 0;
    for (const gw::E00Arc& arc : reader.m_arcs) points += arc.points.size();

    // A DEM under the whole coverage, for the loader's clipping.
    gw::OutputFile hdr, bin;
    if (!hdr.Create(work + "/under.hdr").ok() || !bin.Create(work + "/under.bin").ok()) return 1;
    hdr.Write("left_map_x = 0\nright_map_x = 10\nupper_map_y = 50\nlower_map_y = 40\nnumber_of_rows = 2\n"
              "number_of_columns = 2\nelev_m_unit = feet\n");
    bin.Write("\0\0\0\0\0\0\0\0", 8);
    if (!hdr.Close().ok() || !bin.Close().ok()) return 1;

    QuietPrompts prompts;
    const gw::E00Rules rules = gw::BuiltInE00Rules();
    std::size_t featureBytes = 0, featurePoints = 0;
    const double load = Best([&] {
        gw::CGridwrightDoc doc;
        if (!doc.OnOpenDocument(work + "/under.hdr").ok()) return;
        const std::size_t before = mallinfo2().uordblks;
        gw::LoadE00Files(doc, rules, {e00Path}, progress, prompts);
        // Free what the reader holds, so that what is left is the features' own.
        gw::E00Reader& e00 = doc.e00();
        decltype(e00.m_arcs)().swap(e00.m_arcs);
        decltype(e00.m_labels)().swap(e00.m_labels);
        decltype(e00.m_tolerances)().swap(e00.m_tolerances);
        decltype(e00.m_tables)().swap(e00.m_tables);
        featureBytes = mallinfo2().uordblks - before;
        featurePoints = 0;
        for (const gw::Feature& f : doc.features()) featurePoints += f.points.size();
    });

    std::printf("export file: %.1f MB, %d arcs (%zu points), %d labels, best of %d runs\n", megabytes, kArcs, points,
                kLabels, kRepeats);
    std::printf("parse: %.3f s, %.0f MB/s (target 250 MB/s or more)\n", parse, megabytes / parse);
    std::printf("parse and load into features: %.3f s, %.0f MB/s\n", load, megabytes / load);
    const double pointBytes = featurePoints * 2 * sizeof(double);
    std::printf("features: %zu points, %.1f MB of points as doubles, %.1f MB in all (%.2f times; target at most 2)\n",
                featurePoints, pointBytes / 1e6, featureBytes / 1e6, featureBytes / pointBytes);

    // avcimport writes a coverage folder and an INFO folder, and will not overwrite them.
    const auto removeCoverage = [&] {
        fs::remove_all(work + "/avccover");
        fs::remove_all(work + "/info");
    };
    const double avc = Run({"avcimport", e00Path, work + "/avccover"}, removeCoverage);
    removeCoverage();
    if (avc > 0) {
        std::printf("avcimport: %.3f s, %.0f MB/s; our parse is %.1f times as fast\n", avc, megabytes / avc, avc / parse);
    } else {
        std::printf("avcimport: not run (install avce00)\n");
    }
    const double ogr = Run({"ogrinfo", "-ro", "-al", "-q", e00Path}, [] {});
    if (ogr > 0) {
        std::printf("ogrinfo -al -q: %.3f s, %.0f MB/s; our parse is %.1f times as fast\n", ogr, megabytes / ogr, ogr / parse);
    } else {
        std::printf("ogrinfo: not run (install gdal-bin)\n");
    }
    return 0;
}
