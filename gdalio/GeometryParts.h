#pragma once

#include <ogr_core.h>

#include <cstddef>
#include <vector>

class OGRCurve;
class OGRGeometry;

namespace gw::gdalio {

// What a layer's geometry type declares its features hold.
enum class GeometryKind {
    kPoints,  // points and multi-points
    kLines,   // curves and surfaces, single or multi
    kAny,     // collections, or a type the layer does not tell
    kNone,    // no geometry at all
};
GeometryKind KindOf(OGRwkbGeometryType type);

// One piece of a geometry that becomes one feature: a point, or a line with its
// vertices in order, x and y in the geometry's own system.
struct GeometryPart {
    bool point = false;
    std::vector<double> x;
    std::vector<double> y;
};

// The pieces of one geometry: a point; a line (curves as the lines that approximate
// them); every ring of a polygon as a closed line, the outer ring first; each member of
// a multi-geometry or collection in order. Empty geometries give nothing.
class GeometryParts {
public:
    // Replaces the pieces with those of geometry.
    void Split(const OGRGeometry& geometry);

    std::size_t size() const { return m_count; }
    GeometryPart& operator[](std::size_t i) { return m_parts[i]; }

private:
    void Add(const OGRGeometry& geometry);
    void AddCurve(const OGRCurve& curve);
    GeometryPart& Next(bool point);

    std::vector<GeometryPart> m_parts;  // kept between geometries so that their buffers are reused
    std::size_t m_count = 0;
};

}  // namespace gw::gdalio
