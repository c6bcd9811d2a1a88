#pragma once

#include "DemImport.h"
#include "GdalSession.h"
#include "ImportGrid.h"
#include "util/Status.h"

#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>

#include <vector>

namespace gw::gdalio {

// Warps sources onto blocks of a grid in WGS 84 degrees with GDAL's warper, in the order
// given: a later source wins where they overlap. The warper's memory stays within a
// fixed limit, however large the block.
class GridWarper {
public:
    // The sources must outlive the warper.
    GridWarper(std::vector<GDALDatasetH> sources, const ImportGrid& grid, Resampling resampling);
    ~GridWarper();
    GridWarper(const GridWarper&) = delete;
    GridWarper& operator=(const GridWarper&) = delete;

    // The heights of the window's posts, row by row from the north, NaN where no source
    // gives one. GDAL reports its progress through progress(fraction, message, data) and
    // stops when that returns false. Fails with GDAL's reason.
    Status Warp(const GridWindow& window, std::vector<float>& heights, GDALProgressFunc progress, void* data,
                const GdalMessages& messages);

private:
    std::vector<GDALDatasetH> m_sources;
    ImportGrid m_grid;
    OGRSpatialReference m_wgs84;
    GDALWarpAppOptions* m_options = nullptr;
};

}  // namespace gw::gdalio
