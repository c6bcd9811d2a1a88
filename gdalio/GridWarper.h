#pragma once

#include "gdalio/DemImport.h"
#include "gdalio/GdalSession.h"
#include "gdalio/ImportGrid.h"
#include "core/util/Status.h"

#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>

#include <cstdint>
#include <variant>
#include <vector>

namespace gw::gdalio {

// A raster to warp and the extent in WGS 84 degrees it covers.
struct WarpSource {
    GDALDatasetH dataset;
    GeoBounds extent;
};

// The heights warped onto a block, row by row from the north: whole metres when the
// resampling is nearest and every source holds 8- or 16-bit whole metres (kNoDataPost
// where no source gives one), else metres (NaN where none does).
using WarpedHeights = std::variant<std::vector<std::int16_t>, std::vector<float>>;

// Warps sources onto blocks of a grid in WGS 84 degrees with GDAL's warper, in the order
// given: a later source wins where they overlap. Each source is warped only onto the
// part of a block its extent covers. The warper's memory stays within a fixed limit,
// however large the block.
class GridWarper {
public:
    // The sources must outlive the warper.
    GridWarper(std::vector<WarpSource> sources, const ImportGrid& grid, Resampling resampling);
    ~GridWarper();
    GridWarper(const GridWarper&) = delete;
    GridWarper& operator=(const GridWarper&) = delete;

    // The heights of the window's posts. GDAL reports its progress through
    // progress(fraction, message, data) and stops when that returns false. Fails with
    // GDAL's reason.
    Status Warp(const GridWindow& window, WarpedHeights& heights, GDALProgressFunc progress, void* data,
                GdalMessages& messages);

private:
    // The part of the window the source's extent reaches; no posts when it reaches none.
    GridWindow Reach(const GridWindow& window, const GeoBounds& extent) const;
    // Warps one source into the part of the block given, whose posts start at first.
    Status WarpInto(const WarpSource& source, const GridWindow& part, std::uint8_t* first, std::int64_t lineBytes,
                    GDALProgressFunc progress, void* data, GdalMessages& messages);

    std::vector<WarpSource> m_sources;
    ImportGrid m_grid;
    GDALDataType m_type;  // of the block, and so of the warper's work
    OGRSpatialReference m_wgs84;
    GDALWarpAppOptions* m_options = nullptr;
};

}  // namespace gw::gdalio
