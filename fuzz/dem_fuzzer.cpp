// libFuzzer harness: a whole DEM. The first two bytes (little-endian) give the length
// of the header; it follows, and the rest is the raster. Both are written beside each
// other, opened as a document, and, when that succeeds, sampled over the whole extent
// and a little beyond it. Elevations can never be negative, and nothing changes the
// raster, so it must stay intact.
#include "core/document/GridwrightDoc.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void WriteAll(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

void Check(bool holds) {
    if (!holds) std::abort();
}

void SampleEverywhere(const gw::CGridwrightDoc& doc) {
    constexpr int kSteps = 24;
    const gw::DemHeader& h = doc.header();
    const double postWidth = doc.GetMapWidth() / h.number_of_columns;
    const double postHeight = doc.GetMapHeight() / h.number_of_rows;
    for (int i = -1; i <= kSteps + 1; ++i) {
        for (int j = -1; j <= kSteps + 1; ++j) {
            const double lat = h.lower_map_y + doc.GetMapHeight() * i / kSteps;
            const double lon = h.left_map_x + doc.GetMapWidth() * j / kSteps;
            Check(doc.SampleElevation(lat, lon, postHeight * 0.3, postWidth * 0.3) >= 0);
            Check(doc.SampleElevation(lat, lon, postHeight * 2, postWidth * 0.7) >= 0);
            Check(doc.GetElevationAtFraction(float(j) / kSteps, float(i) / kSteps) >= 0);
        }
    }
    Check(doc.GetElevation(h.number_of_columns - 1, h.number_of_rows - 1) >= 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = [] {
        const std::string path = "/tmp/gridwright-dem-fuzz-" + std::to_string(::getpid());
        std::filesystem::create_directories(path);
        return path;
    }();
    if (size < 2) return 0;
    const std::size_t headerSize = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
    WriteAll(dir + "/dem.hdr", data + 2, headerSize);
    WriteAll(dir + "/dem.bin", data + 2 + headerSize, size - 2 - headerSize);

    gw::CGridwrightDoc doc;
    if (!doc.OnOpenDocument(dir + "/dem.hdr").ok()) return 0;
    SampleEverywhere(doc);
    // A second open of the same DEM replaces the first one whole.
    Check(doc.OnOpenDocument(dir + "/dem.hdr").ok());
    SampleEverywhere(doc);
    Check(doc.RasterIntact().ok());
    return 0;
}
