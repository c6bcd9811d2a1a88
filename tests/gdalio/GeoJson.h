#pragma once

#include "core/util/CNumbers.h"

#include <string>
#include <utility>
#include <vector>

namespace gw::test {

// A GeoJSON feature collection of the given features; WGS 84 unless crs names another.
inline std::string Collection(const std::string& features, const std::string& crs = "") {
    const std::string system =
        crs.empty() ? "" : R"("crs": {"type": "name", "properties": {"name": ")" + crs + R"("}}, )";
    return R"({"type": "FeatureCollection", )" + system + R"("features": [)" + features + "]}";
}

inline std::string Feature(const std::string& geometry, const std::string& properties = "{}") {
    return R"({"type": "Feature", "properties": )" + properties + R"(, "geometry": )" + geometry + "}";
}

// A collection of one line feature per list of (x, y) points, each numbered by its "id".
inline std::string Lines(const std::vector<std::vector<std::pair<double, double>>>& lines) {
    std::string features;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        std::string points;
        for (const auto& [x, y] : lines[l]) points += (points.empty() ? "[" : ", [") + FormatG(x) + ", " + FormatG(y) + "]";
        features += (l ? "," : "") + Feature(R"({"type": "LineString", "coordinates": [)" + points + "]}",
                                             R"({"id": )" + std::to_string(l) + "}");
    }
    return Collection(features);
}

}  // namespace gw::test
