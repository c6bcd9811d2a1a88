#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gw {

// A point of an E00 coverage: the pair (x, y) as longitude x and latitude y, degrees.
struct GeoPoint {
    double lat = 0.0;
    double lon = 0.0;
    bool operator==(const GeoPoint&) const = default;
};

// One vector item loaded from an E00 file: a line (the points of an arc that lie on
// the DEM) or a point (a label), tagged with the position of its E00 rule. Points
// carry the name and type code their INFO record gives.
struct Feature {
    std::int32_t ruleIndex = 0;
    std::vector<GeoPoint> points;
    std::string name;
    std::int32_t type = 0;
    bool operator==(const Feature&) const = default;
};

}  // namespace gw
