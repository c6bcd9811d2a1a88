#include "ImportGrid.h"

#include "util/CNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gw::gdalio {
namespace {

// The whole number of spacings nearest to span, at least one; 0 when it would pass the
// 32-bit range.
std::int64_t CountOf(double span, double spacing) {
    const double count = std::round(span / spacing);
    if (!(count < double(kMaxImportPosts) * 2)) return 0;
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(count));
}

}  // namespace

Status SettleGrid(const GeoBounds& bounds, double spacing, ImportGrid& grid) {
    const std::int64_t columns = CountOf(bounds.east - bounds.west, spacing);
    const std::int64_t rows = CountOf(bounds.north - bounds.south, spacing);
    const std::string what = "a spacing of " + FormatShortest(spacing) + " degrees";
    if (columns == 0 || rows == 0 || double(columns) * double(rows) > double(kMaxImportPosts)) {
        const double posts = (bounds.east - bounds.west) / spacing * ((bounds.north - bounds.south) / spacing);
        return Status::ResourceExhausted(what + " would make about " + FormatG(posts, 3) +
                                         " posts, more than 2^31 (2147483648); choose a coarser spacing or "
                                         "smaller bounds");
    }
    if (columns > std::numeric_limits<std::int32_t>::max()) {
        return Status::ResourceExhausted(what + " would make " + std::to_string(columns) +
                                         " columns, more than a DEM header can state (2147483647)");
    }
    grid.bounds = bounds;
    grid.rows = static_cast<std::int32_t>(rows);
    grid.columns = static_cast<std::int32_t>(columns);
    return Status::Ok();
}

std::vector<GridWindow> PlanWindows(const ImportGrid& grid, std::uint64_t maxPosts) {
    std::vector<GridWindow> windows;
    const auto columns = static_cast<std::uint64_t>(grid.columns);
    if (columns <= maxPosts) {
        const auto band = static_cast<std::int32_t>(std::min<std::uint64_t>(maxPosts / columns, grid.rows));
        for (std::int32_t row = 0; row < grid.rows; row += windows.back().rows) {
            windows.push_back({row, 0, std::min(band, grid.rows - row), grid.columns});
        }
        return windows;
    }
    const auto piece = static_cast<std::int32_t>(maxPosts);
    for (std::int32_t row = 0; row < grid.rows; ++row) {
        for (std::int32_t column = 0; column < grid.columns; column += windows.back().columns) {
            windows.push_back({row, column, 1, std::min(piece, grid.columns - column)});
        }
    }
    return windows;
}

}  // namespace gw::gdalio
