#include "GridWarper.h"

#include <gdal_priv.h>

#include <limits>
#include <string>

namespace gw::gdalio {
namespace {

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

}  // namespace

GridWarper::GridWarper(std::vector<GDALDatasetH> sources, const ImportGrid& grid, Resampling resampling)
    : m_sources(std::move(sources)), m_grid(grid) {
    m_wgs84.SetWellKnownGeogCS("WGS84");
    m_wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    // Each block starts as no data (NaN) and every source paints what it covers, so
    // chunks no source reaches are skipped. Threads compute, but not "-multi": it would
    // report progress (and ask about Cancel) from a thread of GDAL's.
    CPLStringList args;
    for (const char* arg : {"-r", GdalName(resampling), "-wm", kWarpMemoryMb, "-wo", "NUM_THREADS=ALL_CPUS",
                            "-wo", "SKIP_NOSOURCE=YES", "-dstnodata", "nan"}) {
        args.AddString(arg);
    }
    m_options = GDALWarpAppOptionsNew(args.List(), nullptr);
}

GridWarper::~GridWarper() { GDALWarpAppOptionsFree(m_options); }

Status GridWarper::Warp(const GridWindow& window, std::vector<float>& heights, GDALProgressFunc progress,
                        void* data, const GdalMessages& messages) {
    GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDatasetUniquePtr block(memory ? memory->Create("", window.columns, window.rows, 1, GDT_Float32, nullptr)
                                      : nullptr);
    if (!block) return Status::ResourceExhausted("cannot make a block of the grid: " + messages.LastError("no memory"));
    double gt[6] = {m_grid.bounds.west + window.column * m_grid.cellWidth(), m_grid.cellWidth(), 0.0,
                    m_grid.bounds.north - window.row * m_grid.cellHeight(), 0.0, -m_grid.cellHeight()};
    block->SetGeoTransform(gt);
    block->SetSpatialRef(&m_wgs84);
    GDALRasterBand* band = block->GetRasterBand(1);
    band->SetNoDataValue(std::numeric_limits<double>::quiet_NaN());
    band->Fill(std::numeric_limits<double>::quiet_NaN());

    GDALWarpAppOptionsSetProgress(m_options, progress, data);
    int usageError = FALSE;
    if (!GDALWarp(nullptr, GDALDataset::ToHandle(block.get()), static_cast<int>(m_sources.size()), m_sources.data(),
                  m_options, &usageError)) {
        return Status::IOError("cannot warp the sources: " + messages.LastError("GDAL's warper failed"));
    }
    heights.resize(window.posts());
    if (band->RasterIO(GF_Read, 0, 0, window.columns, window.rows, heights.data(), window.columns, window.rows,
                       GDT_Float32, 0, 0, nullptr) != CE_None) {
        return Status::IOError("cannot read the warped heights: " + messages.LastError("GDAL failed"));
    }
    return Status::Ok();
}

}  // namespace gw::gdalio
