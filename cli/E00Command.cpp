#include "Commands.h"

#include "features/E00Reader.h"
#include "progress/ProgressState.h"

#include <cstdio>
#include <string>

namespace gw::cli {
namespace {

// A JSON string; bytes above 127 are taken as Latin-1, so the output is valid UTF-8.
std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte > 0x7e) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::size_t ArcPoints(const E00Reader& e00) {
    std::size_t points = 0;
    for (const E00Arc& arc : e00.m_arcs) points += arc.points.size();
    return points;
}

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

void PrintJson(const E00Reader& e00, bool ok) {
    std::printf("{\"ok\": %s, \"error\": %s, \"coverage\": %s, \"path\": %s,\n", ok ? "true" : "false",
                Json(e00.error()).c_str(), Json(e00.GetName()).c_str(), Json(e00.path()).c_str());
    std::printf(" \"arcs\": %zu, \"arc_points\": %zu, \"labels\": %zu, \"tolerances\": %zu, \"centroids\": %zu, "
                "\"polygons\": %zu,\n \"tables\": [",
                e00.m_arcs.size(), ArcPoints(e00), e00.m_labels.size(), e00.m_tolerances.size(),
                e00.m_centroids.size(), e00.m_polygons.size());
    for (std::size_t t = 0; t < e00.m_tables.size(); ++t) {
        const InfoTable& table = e00.m_tables[t];
        std::printf("%s\n  {\"name\": %s, \"records\": %zu, \"items\": [", t ? "," : "", Json(table.name).c_str(),
                    table.records.size());
        for (std::size_t i = 0; i < table.items.size(); ++i) {
            const InfoItem& item = table.items[i];
            std::printf("%s{\"name\": %s, \"type\": %d, \"size\": %d, \"position\": %d, \"width\": %d}",
                        i ? ", " : "", Json(item.name).c_str(), item.type, item.size, item.position, item.width);
        }
        std::printf("]}");
    }
    std::printf("]}\n");
}

}  // namespace

int RunE00(const std::string& path, bool json) {
    E00Reader e00;
    NullProgress progress;
    const bool ok = e00.Parse(path, progress);
    if (json) {
        PrintJson(e00, ok);
    } else {
        PrintText(e00);
    }
    if (ok) return 0;
    std::fprintf(stderr, "gridwright-cli: %s: %s\n", path.c_str(), e00.error().c_str());
    return 1;
}

}  // namespace gw::cli
