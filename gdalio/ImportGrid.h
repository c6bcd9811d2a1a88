#pragma once

#include "gdalio/DemImport.h"
#include "core/util/Status.h"

#include <cstdint>
#include <vector>

namespace gw::gdalio {

// The grid an import writes: its outer cell edges in degrees and its size in posts.
struct ImportGrid {
    GeoBounds bounds;
    std::int32_t rows = 0;
    std::int32_t columns = 0;

    double cellWidth() const { return (bounds.east - bounds.west) / columns; }
    double cellHeight() const { return (bounds.north - bounds.south) / rows; }
    std::uint64_t posts() const { return std::uint64_t(rows) * std::uint64_t(columns); }
};

// The smallest extent that holds every one of extents. Longitudes go round: when the
// extents lie either side of the antimeridian, the union reaches east past 180 degrees
// rather than round the other way. REQUIRES: at least one extent, none wider than 360
// degrees.
GeoBounds UnionOf(const std::vector<GeoBounds>& extents);

// Whether two extents share an area, longitudes taken round the globe.
bool Overlap(const GeoBounds& a, const GeoBounds& b);

// The most posts an import writes.
constexpr std::uint64_t kMaxImportPosts = std::uint64_t{1} << 31;

// The grid that covers bounds exactly with cells of about spacing degrees: as many rows
// and columns as the nearest whole counts (at least one each). Fails with
// kResourceExhausted, giving the counts, when that would make more rows or columns than
// a header can state (2^31 - 1) or more than kMaxImportPosts posts. REQUIRES: the bounds are ordered and the spacing positive.
Status SettleGrid(const GeoBounds& bounds, double spacing, ImportGrid& grid);

// A block of a grid: `rows` rows from `row` (0 is the north row), `columns` columns
// from `column`.
struct GridWindow {
    std::int32_t row = 0;
    std::int32_t column = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;

    std::uint64_t posts() const { return std::uint64_t(rows) * std::uint64_t(columns); }
};

// Blocks of at most maxPosts posts that cover the grid once, in the order the raster
// stores its posts: bands of whole rows, or pieces of one row when a row alone holds
// more than maxPosts. REQUIRES: maxPosts > 0.
std::vector<GridWindow> PlanWindows(const ImportGrid& grid, std::uint64_t maxPosts);

}  // namespace gw::gdalio
