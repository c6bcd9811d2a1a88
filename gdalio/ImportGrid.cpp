#include "gdalio/ImportGrid.h"

#include "core/util/CNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gw::gdalio {
namespace {

// The whole number of spacings nearest to span, at least one.
double CountOf(double span, double spacing) { return std::max(1.0, std::round(span / spacing)); }

// Fails when count rows or columns (what) are more than a header's count can state.
Status CheckCount(double count, const char* what, const std::string& spacing) {
    constexpr auto kMaxCount = std::numeric_limits<std::int32_t>::max();
    if (count <= kMaxCount) return Status::Ok();
    const std::string stated =
        count < 0x1p63 ? std::to_string(static_cast<std::int64_t>(count)) : "about " + FormatG(count, 3);
    return Status::ResourceExhausted(spacing + " would make " + stated + " " + what +
                                     ", more than a DEM header can state (2147483647); choose a coarser spacing "
                                     "or smaller bounds");
}

// The span of longitudes west..east moved by whole turns so that west lies in [-180, 180).
std::pair<double, double> Normalised(double west, double east) {
    const double turns = std::floor((west + 180.0) / 360.0);
    return {west - 360.0 * turns, east - 360.0 * turns};
}

}  // namespace

GeoBounds UnionOf(const std::vector<GeoBounds>& extents) {
    GeoBounds all = extents.front();
    std::vector<std::pair<double, double>> spans;
    for (const GeoBounds& e : extents) {
        all = {std::min(all.west, e.west), std::min(all.south, e.south), std::max(all.east, e.east),
               std::max(all.north, e.north)};
        spans.push_back(Normalised(e.west, e.east));
    }
    // The longitudes no extent covers, as the widest gap between them going east; the
    // union is the rest of the circle, from the gap's east end round to its west end.
    std::sort(spans.begin(), spans.end());
    double reach = spans.front().second, widestGap = 0.0, west = spans.front().first, eastBeforeGap = 0.0;
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first - reach > widestGap) {
            widestGap = spans[i].first - reach;
            west = spans[i].first;
            eastBeforeGap = reach + 360.0;
        }
        reach = std::max(reach, spans[i].second);
    }
    std::pair<double, double> around = {spans.front().first, reach};
    if (spans.front().first + 360.0 - reach < widestGap) around = {west, std::max(eastBeforeGap, reach)};
    around.second = std::min(around.second, around.first + 360.0);
    // Sources given east of 180 (or west of -180) keep their own longitudes when the union
    // is the plain one.
    if (around.second - around.first >= all.east - all.west) around = {all.west, all.east};
    all.west = around.first;
    all.east = around.second;
    return all;
}

bool Overlap(const GeoBounds& a, const GeoBounds& b) {
    if (!(a.south < b.north && b.south < a.north)) return false;
    for (const double turn : {-360.0, 0.0, 360.0}) {
        if (a.west + turn < b.east && b.west < a.east + turn) return true;
    }
    return false;
}

Status SettleGrid(const GeoBounds& bounds, double spacing, ImportGrid& grid) {
    const double columns = CountOf(bounds.east - bounds.west, spacing);
    const double rows = CountOf(bounds.north - bounds.south, spacing);
    const std::string what = "a spacing of " + FormatShortest(spacing) + " degrees";
    if (Status s = CheckCount(rows, "rows", what); !s.ok()) return s;
    if (Status s = CheckCount(columns, "columns", what); !s.ok()) return s;
    if (columns * rows > double(kMaxImportPosts)) {
        return Status::ResourceExhausted(what + " would make about " + FormatG(columns * rows, 3) +
                                         " posts, more than 2^31 (2147483648); choose a coarser spacing or "
                                         "smaller bounds");
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
