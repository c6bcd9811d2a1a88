// libFuzzer harness: a built theater's files. The input is split at each "\n--8<--\n"
// into the description, the index, the tile file, the MEA grid, the MAP file, a TDF
// file and the objectives file, in that order (a part missing leaves its file out; the
// tile file is always written). Opened, the theater is inspected, drawn when small and
// compared with itself, which must find no segment differing.
#include "core/readback/Theater.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

void WriteAll(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
    std::fclose(file);
}

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = [] {
        const std::string path = "/tmp/gridwright-inspect-fuzz-" + std::to_string(::getpid());
        std::filesystem::create_directories(path);
        return path;
    }();
    static const char* const kNames[] = {"t.txt", "t.o2", "t.l2", "t.mea", "t.map", "t-RIVER.tdf", "t-obj.csv"};
    for (const char* name : kNames) std::filesystem::remove(dir + "/" + name);
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view kCut = "\n--8<--\n";
    for (const char* name : kNames) {
        const std::size_t cut = rest.find(kCut);
        WriteAll(dir + "/" + name, rest.substr(0, cut));
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + kCut.size());
    }
    if (!std::filesystem::exists(dir + "/t.l2")) WriteAll(dir + "/t.l2", {});

    gw::StatusOr<gw::Theater> theater = gw::Theater::Open(dir + "/t.l2", {});
    if (!theater.ok()) return 0;
    const gw::TheaterReport report = theater->Inspect();
    Check(report.segmentsX >= 1 && report.segmentsY >= 1);
    if (report.segmentsX <= 64 && report.segmentsY <= 64) {
        const gw::StatusOr<gw::RgbImage> picture = theater->Picture(gw::HeightTable(), gw::BuiltInE00Rules());
        Check(picture.ok() && picture->width == 16 * report.segmentsX);
    }
    const gw::TheaterDifference same = gw::CompareTheaters(*theater, *theater);
    Check(same.sameSize && same.segmentsDiffering == 0);
    return 0;
}
