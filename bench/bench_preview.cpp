// Times the map preview's pictures: the elevation picture at the form's largest default
// size (400 x 400) from a synthetic DEM, and the feature overlay of about 1.4 million
// synthetic points (river-like arcs and airport-like labels) at the same size.
//
//   bench_preview [--benchmark_... options]

#include "core/document/GridwrightDoc.h"
#include "core/features/E00Rules.h"
#include "core/layout/HeightTable.h"
#include "core/layout/PreviewImages.h"
#include "core/util/CRandom.h"
#include "core/util/OutputFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 1200, kColumns = 1800;  // 6 x 9 degrees at 18 seconds of arc
constexpr int kArcs = 90000, kLabels = 40000;
constexpr double kLeft = 5, kRight = 14, kUpper = 48, kLower = 42;

// A DEM in metres, sea in the west rising to mountains in the east.
bool WriteDem(const std::string& headerPath) {
    gw::OutputFile header;
    if (!header.Create(headerPath).ok()) return false;
    char text[512];
    std::snprintf(text, sizeof text,
                  "file_title = bench\nleft_map_x = %g\nright_map_x = %g\nupper_map_y = %g\nlower_map_y = %g\n"
                  "number_of_rows = %d\nnumber_of_columns = %d\nelev_m_unit = meters\n",
                  kLeft, kRight, kUpper, kLower, kRows, kColumns);
    header.Write(std::string_view(text));
    if (!header.Close().ok()) return false;
    gw::OutputFile raster;
    if (!raster.Create(headerPath.substr(0, headerPath.size() - 4) + ".bin").ok()) return false;
    std::vector<std::uint8_t> row(2 * kColumns);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const double metres = c * 2.5 - 1200 + 400 * std::sin(r * 0.02) * std::cos(c * 0.015);
            const auto value = static_cast<std::uint16_t>(static_cast<std::int16_t>(metres));
            row[2 * c] = value & 0xff;
            row[2 * c + 1] = value >> 8;
        }
        raster.Write(row.data(), row.size());
    }
    return raster.Close().ok();
}

// Arcs of 2 to 30 points wandering over the extent, and one-point labels.
std::vector<gw::Feature> MakeFeatures() {
    gw::CRandom random;
    const auto unit = [&] { return random.Next() / double(gw::CRandom::kMax); };
    std::vector<gw::Feature> features;
    features.reserve(kArcs + kLabels);
    for (int a = 0; a < kArcs; ++a) {
        gw::Feature arc;
        arc.ruleIndex = 0;  // RIVER
        double lon = kLeft + unit() * (kRight - kLeft), lat = kLower + unit() * (kUpper - kLower);
        for (int p = 2 + random.Next() % 29; p > 0; --p) {
            arc.points.push_back({lat, lon});
            lon += (unit() - 0.5) * 0.05;
            lat += (unit() - 0.5) * 0.05;
        }
        features.push_back(std::move(arc));
    }
    for (int l = 0; l < kLabels; ++l) {
        gw::Feature label;
        label.ruleIndex = 4;  // AIRPORT
        label.points.push_back({kLower + unit() * (kUpper - kLower), kLeft + unit() * (kRight - kLeft)});
        features.push_back(std::move(label));
    }
    return features;
}

void BM_ElevationImage400(benchmark::State& state) {
    const std::string header = (std::filesystem::temp_directory_path() / "gridwright-bench-preview.hdr").string();
    gw::CGridwrightDoc doc;
    if (!WriteDem(header) || !doc.OnOpenDocument(header).ok()) {
        state.SkipWithError("cannot write or open the synthetic DEM");
        return;
    }
    const gw::HeightTable heights;
    for (auto _ : state) benchmark::DoNotOptimize(gw::BuildElevationImage(doc, heights, 400, 400));
    state.counters["pixels"] = 400 * 400;
}
BENCHMARK(BM_ElevationImage400)->Unit(benchmark::kMillisecond);

void BM_OverlayImage400(benchmark::State& state) {
    const std::vector<gw::Feature> features = MakeFeatures();
    std::size_t points = 0;
    for (const gw::Feature& f : features) points += f.points.size();
    const gw::E00Rules rules = gw::BuiltInE00Rules();
    gw::PreviewFrame frame;
    frame.SetFrame((kUpper + kLower) / 2, (kLeft + kRight) / 2, kRight - kLeft, kUpper - kLower);
    frame.SetImageSize(400, 400);
    for (auto _ : state) benchmark::DoNotOptimize(gw::BuildOverlayImage(features, rules, frame, 400, 400));
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_OverlayImage400)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
