#include "core/layout/TheaterCoverage.h"

#include "core/document/GridwrightDoc.h"
#include "core/layout/TheaterLayout.h"
#include "core/layout/TheaterTiles.h"

#include <algorithm>
#include <cmath>

namespace gw {

double ShareOffDem(const CGridwrightDoc& doc, const TheaterLayout& layout) {
    const int across = std::clamp(layout.m_tilesX, 1, 128);
    const int down = std::clamp(layout.m_tilesY, 1, 128);
    const double halfWidthDegrees = layout.m_dimensionX * 0.5 / 60.0 / layout.m_unitScale;
    std::size_t off = 0;
    for (int row = 0; row < down; ++row) {
        const double lat = layout.m_southLat + (row + 0.5) / down * (layout.m_northLat - layout.m_southLat);
        const double halfWidth = halfWidthDegrees / std::cos(lat * kDegToRad);
        for (int column = 0; column < across; ++column) {
            const double lon = layout.m_centerLong + ((column + 0.5) / across * 2.0 - 1.0) * halfWidth;
            if (!doc.IsInside(lat, lon)) ++off;
        }
    }
    return static_cast<double>(off) / (static_cast<double>(across) * down);
}

std::map<std::string, KeywordFeatures> CountFeaturesByKeyword(const CGridwrightDoc& doc, const E00Rules& rules,
                                                              const TheaterLayout& layout) {
    const TheaterTiles tiles(layout);
    std::map<std::string, KeywordFeatures> counts;
    for (const Feature& feature : doc.features()) {
        const E00Rule* rule = RuleAt(rules, feature.ruleIndex);
        if (!rule) continue;
        KeywordFeatures& count = counts[rule->Keyword];
        ++count.loaded;
        const bool on = std::any_of(feature.points.begin(), feature.points.end(),
                                    [&](const GeoPoint& p) { return tiles.TileOf(p.lat, p.lon).has_value(); });
        if (on) ++count.onTheater;
    }
    return counts;
}

}  // namespace gw
