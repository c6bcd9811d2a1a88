#include "gdalio/GridWarper.h"

#include "gdalio/HeightPosts.h"
#include "gdalio/ImportSources.h"
#include "gdalio/ScaledProgress.h"

#include <gdal_priv.h>
#include <memdataset.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace gw::gdalio {
namespace {

constexpr float kNoHeight = std::numeric_limits<float>::quiet_NaN();

// The warper's working memory (source and destination buffers of one chunk), in MB.
constexpr const char* kWarpMemoryMb = "64";

const char* GdalName(Resampling resampling) {
    switch (resampling) {
        case Resampling::kBilinear: return "bilinear";
        case Resampling::kAverage: return "average";
        case Resampling::kNearest: return "near";
        case Resampling::kCubic: return "cubic";
    }
    return "bilinear";
}

// Whether the warper can work in 16-bit integers: every source holds whole numbers within
// 16 bits and the resampling picks posts rather than blending them, so the block holds the
// sources' own heights. A blend goes through floats, to be rounded like every other height
// (halves away from zero), whatever type the sources hold.
bool WholeHeights(const std::vector<WarpSource>& sources, Resampling resampling) {
    if (resampling != Resampling::kNearest) return false;
    return std::all_of(sources.begin(), sources.end(), [](const WarpSource& source) {
        const GDALDataType type = GDALGetRasterDataType(GDALGetRasterBand(source.dataset, 1));
        return type == GDT_Byte || type == GDT_Int16;
    });
}

// Makes heights a vector of `posts` copies of value; returns its first byte.
template <typename T>
std::uint8_t* Fill(WarpedHeights& heights, std::uint64_t posts, T value) {
    if (!std::holds_alternative<std::vector<T>>(heights)) heights.emplace<std::vector<T>>();
    std::vector<T>& values = std::get<std::vector<T>>(heights);
    values.assign(posts, value);
    return reinterpret_cast<std::uint8_t*>(values.data());
}

bool OnOneSideOfTheAntimeridian(const GeoBounds& b) { return b.west >= -180.0 && b.east <= 180.0; }

}  // namespace

GridWarper::GridWarper(std::vector<WarpSource> sources, const ImportGrid& grid, Resampling resampling)
    : m_sources(std::move(sources)),
      m_grid(grid),
      m_type(WholeHeights(m_sources, resampling) ? GDT_Int16 : GDT_Float32),
      m_wgs84(Wgs84()) {
    // Each block starts as no data and every source paints the posts it gives a height,
    // so chunks no source reaches are skipped. The block has no no-data value of its own:
    // with one, GDAL would test every post of it before painting, and take its slow path.
    // Threads compute, but not "-multi": it would report progress (and ask about Cancel)
    // from a thread of GDAL's.
    CPLStringList args;
    for (const char* arg : {"-r", GdalName(resampling), "-wm", kWarpMemoryMb, "-wo", "NUM_THREADS=ALL_CPUS",
                            "-wo", "SKIP_NOSOURCE=YES"}) {
        args.AddString(arg);
    }
    m_options = GDALWarpAppOptionsNew(args.List(), nullptr);
}

GridWarper::~GridWarper() { GDALWarpAppOptionsFree(m_options); }

GridWindow GridWarper::Reach(const GridWindow& window, const GeoBounds& extent) const {
    if (!OnOneSideOfTheAntimeridian(extent) || !OnOneSideOfTheAntimeridian(m_grid.bounds)) return window;
    // The cells the extent touches, and one more each way for the rounding.
    const auto cells = [](double from, double to, double cell, std::int32_t first, std::int32_t count) {
        const double low = std::clamp(std::floor(from / cell) - 1, double(first), double(first + count));
        const double high = std::clamp(std::ceil(to / cell) + 1, double(first), double(first + count));
        return std::pair{static_cast<std::int32_t>(low), static_cast<std::int32_t>(std::max(low, high))};
    };
    const auto [column, columnEnd] = cells(extent.west - m_grid.bounds.west, extent.east - m_grid.bounds.west,
                                           m_grid.cellWidth(), window.column, window.columns);
    const auto [row, rowEnd] = cells(m_grid.bounds.north - extent.north, m_grid.bounds.north - extent.south,
                                     m_grid.cellHeight(), window.row, window.rows);
    return {row, column, rowEnd - row, columnEnd - column};
}

Status GridWarper::WarpInto(const WarpSource& source, const GridWindow& part, std::uint8_t* first,
                            std::int64_t lineBytes, GDALProgressFunc progress, void* data,
                            GdalMessages& messages) {
    messages.ClearLastError();
    GDALDatasetUniquePtr view(MEMDataset::Create("", part.columns, part.rows, 0, m_type, nullptr));
    if (!view) return Status::ResourceExhausted("cannot warp: " + messages.LastError("GDAL has no memory"));
    static_cast<MEMDataset*>(view.get())
        ->AddMEMBand(MEMCreateRasterBandEx(view.get(), 1, first, m_type, GDALGetDataTypeSizeBytes(m_type), lineBytes,
                                           FALSE));
    double gt[6] = {m_grid.bounds.west + part.column * m_grid.cellWidth(), m_grid.cellWidth(), 0.0,
                    m_grid.bounds.north - part.row * m_grid.cellHeight(), 0.0, -m_grid.cellHeight()};
    view->SetGeoTransform(gt);
    view->SetSpatialRef(&m_wgs84);
    GDALWarpAppOptionsSetProgress(m_options, progress, data);
    GDALDatasetH sources[] = {source.dataset};
    int usageError = FALSE;
    messages.ClearLastError();
    if (!GDALWarp(nullptr, GDALDataset::ToHandle(view.get()), 1, sources, m_options, &usageError)) {
        return Status::IOError("cannot warp " + std::string(GDALGetDescription(source.dataset)) + ": " +
                               messages.LastError("GDAL's warper failed"));
    }
    return Status::Ok();
}

Status GridWarper::Warp(const GridWindow& window, WarpedHeights& heights, GDALProgressFunc progress, void* data,
                        GdalMessages& messages) {
    std::uint8_t* block = m_type == GDT_Int16 ? Fill(heights, window.posts(), kNoDataPost)
                                              : Fill(heights, window.posts(), kNoHeight);
    const std::int64_t postBytes = GDALGetDataTypeSizeBytes(m_type), lineBytes = postBytes * window.columns;

    std::vector<GridWindow> parts;
    std::uint64_t total = 0;
    for (const WarpSource& source : m_sources) {
        parts.push_back(Reach(window, source.extent));
        total += parts.back().posts();
    }
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        const GridWindow& part = parts[i];
        if (part.posts() == 0) continue;
        const ScaledProgress share(double(done) / double(total), double(done + part.posts()) / double(total), progress,
                                   data);
        std::uint8_t* first = block + (part.row - window.row) * lineBytes + (part.column - window.column) * postBytes;
        if (Status s = WarpInto(m_sources[i], part, first, lineBytes, GDALScaledProgress, share.data(), messages);
            !s.ok()) {
            return s;
        }
        done += part.posts();
    }
    if (done == 0 && !progress(1.0, "", data)) return Status::Cancelled("the warp was cancelled");
    return Status::Ok();
}

}  // namespace gw::gdalio
