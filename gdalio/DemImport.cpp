#include "gdalio/DemImport.h"

#include "gdalio/DemHeaderText.h"
#include "gdalio/GdalSession.h"
#include "gdalio/GridWarper.h"
#include "gdalio/HeightPosts.h"
#include "gdalio/ImportGrid.h"
#include "gdalio/ImportSources.h"
#include "gdalio/ScaledProgress.h"
#include "core/generate/TheaterLock.h"
#include "core/util/CNumbers.h"
#include "core/util/OutputSet.h"
#include "core/util/Text.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <variant>

namespace gw::gdalio {
namespace {

// Posts warped and converted at a time: at most 32 MB of heights and 16 MB of posts.
constexpr std::uint64_t kWindowPosts = std::uint64_t{8} << 20;
// GDAL's cache of source blocks, in bytes, while an import runs.
constexpr GIntBig kCacheBytes = GIntBig{64} << 20;
// The longest value a header line can carry.
constexpr std::size_t kMaxTitle = 1023;

// Holds GDAL's block cache, shared by the whole process, to at most `bytes` while the
// object lives, and gives it back its size after. GDAL's default cache grows with the
// machine's memory; a fixed one keeps the import small.
class CacheLimit {
public:
    explicit CacheLimit(GIntBig bytes) : m_before(GDALGetCacheMax64()) {
        if (m_before > bytes) GDALSetCacheMax64(bytes);
    }
    ~CacheLimit() {
        if (GDALGetCacheMax64() != m_before) GDALSetCacheMax64(m_before);
    }
    CacheLimit(const CacheLimit&) = delete;
    CacheLimit& operator=(const CacheLimit&) = delete;

private:
    GIntBig m_before;
};

std::string Bounds(const GeoBounds& b) {
    return FormatShortest(b.west) + "," + FormatShortest(b.south) + "," + FormatShortest(b.east) + "," +
           FormatShortest(b.north);
}

std::string TitleFor(const DemImportOptions& options) {
    if (!options.title.empty()) return options.title;
    std::string name = FileNameOf(options.output);
    if (name.ends_with(".hdr")) name.resize(name.size() - 4);
    return name;
}

// The header reads a title back only when it is one line that starts with no blank.
Status CheckTitle(const std::string& title) {
    const bool oneLine = title.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
    if (title.empty() || title.size() > kMaxTitle || !oneLine || title.find_first_of(" \t\v\f") == 0) {
        return Status::InvalidArgument("the title must be one line of 1 to 1023 characters that starts with no "
                                       "blank; the header could not hold \"" + title + "\"");
    }
    return Status::Ok();
}

Status CheckOptions(const DemImportOptions& options) {
    if (options.sources.empty()) return Status::InvalidArgument("no source to import");
    if (RasterPathFor(options.output) == options.output) {
        return Status::InvalidArgument(options.output + ": a DEM header's name holds \".hdr\" (lower case); the "
                                       "raster's name is made from it");
    }
    if (options.spacing && !(*options.spacing > 0.0 && *options.spacing <= 360.0)) {
        return Status::InvalidArgument("the spacing must be a number of degrees above 0 and at most 360, not " +
                                       FormatShortest(*options.spacing));
    }
    if (options.bounds) {
        const GeoBounds& b = *options.bounds;
        const bool finite = std::isfinite(b.west) && std::isfinite(b.east) && std::isfinite(b.south) &&
                            std::isfinite(b.north);
        if (!finite || b.west >= b.east || b.south >= b.north) {
            return Status::InvalidArgument("the bounds " + Bounds(b) + " enclose nothing; give WEST,SOUTH,EAST,NORTH "
                                           "with WEST below EAST and SOUTH below NORTH");
        }
        if (b.south < -90.0 || b.north > 90.0 || b.west < -360.0 || b.east > 360.0 || b.east - b.west > 360.0) {
            return Status::InvalidArgument("the bounds " + Bounds(b) + " reach beyond the globe: latitudes lie within "
                                           "-90..90, longitudes within -360..360 and at most 360 apart");
        }
    }
    return CheckTitle(TitleFor(options));
}

// Refuses an output that would replace a file a source is read from.
Status CheckNotASource(const DemImportPlan& plan, const std::string& header, const std::vector<ImportSource>& sources) {
    for (const ImportSource& source : sources) {
        for (const std::string& file : source.files) {
            for (const std::string* output : {&header, &plan.rasterPath}) {
                std::error_code ignored;
                if (std::filesystem::equivalent(file, *output, ignored)) {
                    return Status::InvalidArgument(*output + " is a file of the source " + source.path +
                                                   "; the import would replace it");
                }
            }
        }
    }
    return Status::Ok();
}

// The grid and header the options and the opened sources give.
Status Settle(const DemImportOptions& options, const std::vector<ImportSource>& sources, ImportGrid& grid,
              DemImportPlan& plan) {
    std::vector<GeoBounds> extents;
    double finest = sources.front().spacing;
    for (const ImportSource& source : sources) {
        extents.push_back(source.extent);
        finest = std::min(finest, source.spacing);
    }
    const GeoBounds all = UnionOf(extents);
    const GeoBounds bounds = options.bounds.value_or(all);
    if (std::none_of(sources.begin(), sources.end(),
                     [&](const ImportSource& source) { return Overlap(source.extent, bounds); })) {
        return Status::InvalidArgument("the bounds " + Bounds(bounds) + " miss every source; together they cover " +
                                       Bounds(all));
    }
    if (Status s = SettleGrid(bounds, options.spacing.value_or(finest), grid); !s.ok()) return s;

    plan.rasterPath = RasterPathFor(options.output);
    DemHeader& h = plan.header;
    h = DemHeader{};
    h.file_title = TitleFor(options);
    h.data_type = "raster";
    h.grid_cell_registration = "center";
    h.map_projection = "Lat/Lon";
    h.left_map_x = bounds.west;
    h.right_map_x = bounds.east;
    h.upper_map_y = bounds.north;
    h.lower_map_y = bounds.south;
    h.number_of_rows = grid.rows;
    h.number_of_columns = grid.columns;
    h.grid_size = grid.cellWidth();
    h.elev_m_unit = "meters";
    h.elev_m_missing_flag = kNoDataPost;
    return CheckNotASource(plan, options.output, sources);
}

Status Plan(const DemImportOptions& options, GdalMessages& messages, std::vector<ImportSource>& sources,
            ImportGrid& grid, DemImportPlan& plan) {
    if (Status s = CheckOptions(options); !s.ok()) return s;
    RegisterGdal();
    sources.clear();
    sources.reserve(options.sources.size());
    for (const std::string& path : options.sources) {
        sources.emplace_back();
        if (Status s = OpenImportSource(path, messages, sources.back()); !s.ok()) return s;
    }
    return Settle(options, sources, grid, plan);
}

// Warps the grid window by window into the raster file.
Status WriteRaster(const std::vector<ImportSource>& sources, const ImportGrid& grid, Resampling resampling,
                   OutputFile& raster, GdalProgress& progress, GdalMessages& messages, PostTally& tally) {
    std::vector<WarpSource> warped;
    for (const ImportSource& source : sources) warped.push_back({source.warped(), source.extent});
    GridWarper warper(warped, grid, resampling);
    WarpedHeights heights;
    std::vector<std::uint8_t> posts;
    std::uint64_t done = 0;
    for (const GridWindow& window : PlanWindows(grid, kWindowPosts)) {
        const ScaledProgress share(double(done) / double(grid.posts()),
                                   double(done + window.posts()) / double(grid.posts()), GdalProgress::Callback,
                                   &progress);
        const Status warpedWindow = warper.Warp(window, heights, GDALScaledProgress, share.data(), messages);
        if (Status going = progress.status(); !going.ok()) return going;
        if (!warpedWindow.ok()) return warpedWindow;
        posts.resize(window.posts() * 2);
        std::visit([&](const auto& values) { ConvertHeights(values, posts.data(), tally); }, heights);
        raster.Write(posts.data(), posts.size());
        done += window.posts();
    }
    return Status::Ok();
}

// The import itself; the caller collects GDAL's warnings and the cancellation.
Status Import(const DemImportOptions& options, Progress& progress, UserPrompts& prompts, GdalMessages& messages,
              DemImportReport& report) {
    std::vector<ImportSource> sources;
    ImportGrid grid;
    if (Status s = Plan(options, messages, sources, grid, report.plan); !s.ok()) return s;
    const CacheLimit cache(kCacheBytes);

    OutputSet outputs;
    OutputFile* raster = nullptr;
    OutputFile* header = nullptr;
    if (Status s = outputs.Create(report.plan.rasterPath, &raster); !s.ok()) return s;
    if (Status s = outputs.Create(options.output, &header); !s.ok()) return s;
    TheaterLock lock;
    if (Status s = lock.AcquireFile(options.output); !s.ok()) return s;
    report.notes = CleanupNotes(lock, outputs);

    GdalProgress gdalProgress(progress, prompts, "Importing " + FileNameOf(options.output));
    PostTally tally;
    if (Status s = WriteRaster(sources, grid, options.resampling, *raster, gdalProgress, messages, tally); !s.ok()) {
        return s;
    }

    DemHeader& h = report.plan.header;
    h.elev_m_min = tally.lowest <= tally.highest ? tally.lowest : 0;
    h.elev_m_max = tally.lowest <= tally.highest ? tally.highest : 0;
    for (const std::string& line : DemHeaderLines(h)) header->WriteLine(line);
    if (Status s = outputs.Commit(); !s.ok()) return s;
    report.posts = tally.posts;
    report.noDataPosts = tally.noData;
    report.clampedPosts = tally.clamped;
    return Status::Ok();
}

}  // namespace

std::optional<Resampling> ParseResampling(const std::string& word) {
    for (const auto& [name, resampling] : {std::pair{"bilinear", Resampling::kBilinear},
                                           {"average", Resampling::kAverage},
                                           {"nearest", Resampling::kNearest},
                                           {"cubic", Resampling::kCubic}}) {
        if (EqualsNoCase(word, name)) return resampling;
    }
    return std::nullopt;
}

Status PlanDemImport(const DemImportOptions& options, DemImportPlan& plan) {
    GdalMessages messages;
    std::vector<ImportSource> sources;
    ImportGrid grid;
    return Plan(options, messages, sources, grid, plan);
}

Status ImportDem(const DemImportOptions& options, Progress& progress, UserPrompts& prompts,
                 DemImportReport& report) {
    report = DemImportReport{};
    GdalMessages messages;
    const Status imported = Import(options, progress, prompts, messages, report);
    report.warnings = messages.warnings();
    return imported;
}

}  // namespace gw::gdalio
