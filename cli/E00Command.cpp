#include "cli/Commands.h"

#include "cli/Fields.h"

#include "core/document/GridwrightDoc.h"
#include "core/features/E00Reader.h"
#include "core/progress/ProgressState.h"
#include "core/util/CNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace gw::cli {
namespace {

std::size_t ArcPoints(const E00Reader& e00) {
    std::size_t points = 0;
    for (const E00Arc& arc : e00.m_arcs) points += arc.points.size();
    return points;
}

// The smallest and largest x (longitude) and y (latitude) of some points.
struct Extent {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    bool empty = true;

    void Add(const GeoPoint& p) {
        minX = std::min(minX, p.lon);
        maxX = std::max(maxX, p.lon);
        minY = std::min(minY, p.lat);
        maxY = std::max(maxY, p.lat);
        empty = false;
    }
};

// Where the arcs' points and the labels lie, and how many of each fall on a DEM.
struct Placement {
    Extent arcs;
    Extent labels;
    std::size_t arcPointsOnDem = 0;
    std::size_t labelsOnDem = 0;
};

Placement Place(const E00Reader& e00, const CGridwrightDoc* dem) {
    Placement placement;
    const auto onDem = [&](const GeoPoint& p) { return dem && dem->IsInside(p.lat, p.lon); };
    for (const E00Arc& arc : e00.m_arcs) {
        for (const GeoPoint& p : arc.points) {
            placement.arcs.Add(p);
            placement.arcPointsOnDem += onDem(p);
        }
    }
    for (const E00Label& label : e00.m_labels) {
        placement.labels.Add(label.point);
        placement.labelsOnDem += onDem(label.point);
    }
    return placement;
}

// A number as JSON has it: null for the infinities a number too large reads as.
std::string JsonNumber(double value) { return std::isfinite(value) ? FormatShortest(value) : "null"; }

void PrintText(const E00Reader& e00) {
    std::printf("coverage: %s\npath: %s\n", e00.GetName().c_str(), e00.path().c_str());
    std::printf("arcs: %zu\narc_points: %zu\nlabels: %zu\ntolerances: %zu\ncentroids: %zu\npolygons: %zu\n",
                e00.m_arcs.size(), ArcPoints(e00), e00.m_labels.size(), e00.m_tolerances.size(),
                e00.m_centroids.size(), e00.m_polygons.size());
    std::printf("tables: %zu\n", e00.m_tables.size());
    for (const InfoTable& table : e00.m_tables) {
        std::printf("table: %s (%zu items, %zu records)\n", table.name.c_str(), table.items.size(),
                    table.records.size());
        for (const InfoItem& item : table.items) {
            std::printf("  item: %s type %d size %d position %d width %d\n", item.name.c_str(), item.type, item.size,
                        item.position, item.width);
        }
    }
}

void PrintText(const Extent& extent, const char* what) {
    if (extent.empty) return;
    std::printf("%s_extent: x %s to %s, y %s to %s\n", what, FormatShortest(extent.minX).c_str(),
                FormatShortest(extent.maxX).c_str(), FormatShortest(extent.minY).c_str(),
                FormatShortest(extent.maxY).c_str());
}

void PrintText(const Placement& placement, const std::optional<std::string>& dem) {
    PrintText(placement.arcs, "arc");
    PrintText(placement.labels, "label");
    if (!dem) return;
    std::printf("dem: %s\narc_points_on_dem: %zu\nlabels_on_dem: %zu\n", dem->c_str(), placement.arcPointsOnDem,
                placement.labelsOnDem);
}

void PrintJson(const Extent& extent, const char* what) {
    if (extent.empty) return;
    std::printf(",\n \"%s_extent\": {\"min_x\": %s, \"min_y\": %s, \"max_x\": %s, \"max_y\": %s}", what,
                JsonNumber(extent.minX).c_str(), JsonNumber(extent.minY).c_str(), JsonNumber(extent.maxX).c_str(),
                JsonNumber(extent.maxY).c_str());
}

void PrintJson(const E00Reader& e00, const Status& parsed, const Placement& placement,
               const std::optional<std::string>& dem) {
    std::printf("{\"ok\": %s, \"error\": %s, \"coverage\": %s, \"path\": %s,\n", parsed.ok() ? "true" : "false",
                JsonString(parsed.message()).c_str(), JsonString(e00.GetName()).c_str(), JsonString(e00.path()).c_str());
    std::printf(" \"arcs\": %zu, \"arc_points\": %zu, \"labels\": %zu, \"tolerances\": %zu, \"centroids\": %zu, "
                "\"polygons\": %zu,\n \"tables\": [",
                e00.m_arcs.size(), ArcPoints(e00), e00.m_labels.size(), e00.m_tolerances.size(),
                e00.m_centroids.size(), e00.m_polygons.size());
    for (std::size_t t = 0; t < e00.m_tables.size(); ++t) {
        const InfoTable& table = e00.m_tables[t];
        std::printf("%s\n  {\"name\": %s, \"records\": %zu, \"items\": [", t ? "," : "", JsonString(table.name).c_str(),
                    table.records.size());
        for (std::size_t i = 0; i < table.items.size(); ++i) {
            const InfoItem& item = table.items[i];
            std::printf("%s{\"name\": %s, \"type\": %d, \"size\": %d, \"position\": %d, \"width\": %d}",
                        i ? ", " : "", JsonString(item.name).c_str(), item.type, item.size, item.position, item.width);
        }
        std::printf("]}");
    }
    std::printf("]");
    PrintJson(placement.arcs, "arc");
    PrintJson(placement.labels, "label");
    if (dem) {
        std::printf(",\n \"dem\": {\"path\": %s, \"arc_points_on_dem\": %zu, \"labels_on_dem\": %zu}",
                    JsonString(*dem).c_str(), placement.arcPointsOnDem, placement.labelsOnDem);
    }
    std::printf("}\n");
}

}  // namespace

Status RunE00(const std::string& path, bool json, const std::optional<std::string>& demPath) {
    CGridwrightDoc dem;
    if (demPath) {
        if (Status opened = dem.OnOpenDocument(*demPath); !opened.ok()) return opened;
    }
    E00Reader e00;
    NullProgress progress;
    const Status parsed = e00.Parse(path, progress);
    const Placement placement = Place(e00, demPath ? &dem : nullptr);
    if (json) {
        PrintJson(e00, parsed, placement, demPath);
    } else {
        PrintText(e00);
        PrintText(placement, demPath);
    }
    if (parsed.ok()) return parsed;
    return Status::Corruption(path + ": " + parsed.message());
}

}  // namespace gw::cli
