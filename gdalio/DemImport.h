#pragma once

#include "core/dem/DemHeader.h"
#include "core/progress/Progress.h"
#include "core/util/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw::gdalio {

// An extent in degrees of longitude (west, east) and latitude (south, north), WGS 84.
struct GeoBounds {
    double west = 0.0;
    double south = 0.0;
    double east = 0.0;
    double north = 0.0;
};

enum class Resampling { kBilinear, kAverage, kNearest, kCubic };

// "bilinear", "average", "nearest", "cubic" (case ignored); nothing for other words.
std::optional<Resampling> ParseResampling(const std::string& word);

// What to import: rasters of any format and coordinate system GDAL reads, mosaicked in
// the order given (a later source wins where they overlap), into the DEM whose header is
// output (the raster goes beside it, as the DEM reader finds it).
struct DemImportOptions {
    std::vector<std::string> sources;
    std::string output;                // "NAME.hdr"
    std::optional<GeoBounds> bounds;   // default: the union of the sources
    std::optional<double> spacing;     // degrees; default: the sources' finest
    std::string title;                 // default: the output's name without ".hdr"
    Resampling resampling = Resampling::kBilinear;
};

// The DEM an import will write: its header as it will stand, and where the raster goes.
struct DemImportPlan {
    DemHeader header;
    std::string rasterPath;
};

// What an import wrote and what it had to change on the way.
struct DemImportReport {
    DemImportPlan plan;  // its header's elev_m_min and elev_m_max as written
    std::uint64_t posts = 0;
    std::uint64_t noDataPosts = 0;   // written as a negative value (read as sea level)
    std::uint64_t clampedPosts = 0;  // heights beyond the 16-bit range, clamped to it
    std::vector<std::string> warnings;  // what GDAL warned about on the way, each once,
                                        // however the import ended
    std::vector<std::string> notes;  // what was removed of runs that ended (CleanupNotes)
};

// Checks the sources and settles the grid without writing anything. Fails, saying why
// and naming the source, when a source cannot be opened, has no coordinate system, the
// bounds miss every source or are empty, the spacing is not positive, or the grid would
// hold more than 2^31 posts or 2^31 - 1 rows or columns. An unusable value of the options
// (bounds out of range or missing every source, a spacing, a title the header cannot
// hold, an output name without ".hdr" or one that would replace a source's file) gives
// kInvalidArgument; too many posts, rows or columns kResourceExhausted; a source that
// cannot be read or placed kIOError or kCorruption.
Status PlanDemImport(const DemImportOptions& options, DemImportPlan& plan);

// Plans, then warps the sources onto the plan's grid and writes the raster and the
// header, each under a temporary name renamed into place when complete. Progress runs
// from 0 to 100; a confirmed Cancel stops the import and leaves nothing behind (the
// Status is then kCancelled). GDAL's block cache, which the whole process
// shares, is held to 64 MB while the import runs and has its earlier size back after.
Status ImportDem(const DemImportOptions& options, Progress& progress, UserPrompts& prompts,
                 DemImportReport& report);

}  // namespace gw::gdalio
