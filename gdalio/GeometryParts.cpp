#include "gdalio/GeometryParts.h"

#include <ogr_geometry.h>

#include <memory>

namespace gw::gdalio {

GeometryKind KindOf(OGRwkbGeometryType type) {
    const OGRwkbGeometryType flat = wkbFlatten(type);
    if (flat == wkbNone) return GeometryKind::kNone;
    if (flat == wkbPoint || flat == wkbMultiPoint) return GeometryKind::kPoints;
    if (OGR_GT_IsCurve(flat) || OGR_GT_IsSurface(flat) || flat == wkbMultiLineString || flat == wkbMultiCurve ||
        flat == wkbMultiPolygon || flat == wkbMultiSurface || flat == wkbPolyhedralSurface || flat == wkbTIN) {
        return GeometryKind::kLines;
    }
    return GeometryKind::kAny;
}

void GeometryParts::Split(const OGRGeometry& geometry) {
    m_count = 0;
    Add(geometry);
}

GeometryPart& GeometryParts::Next(bool point) {
    if (m_count == m_parts.size()) m_parts.emplace_back();
    GeometryPart& part = m_parts[m_count++];
    part.point = point;
    part.x.clear();
    part.y.clear();
    return part;
}

void GeometryParts::Add(const OGRGeometry& geometry) {
    if (geometry.IsEmpty()) return;
    const OGRwkbGeometryType type = wkbFlatten(geometry.getGeometryType());
    if (type == wkbPoint) {
        const OGRPoint& point = *geometry.toPoint();
        GeometryPart& part = Next(true);
        part.x.push_back(point.getX());
        part.y.push_back(point.getY());
    } else if (OGR_GT_IsCurve(type)) {
        AddCurve(*geometry.toCurve());
    } else if (type == wkbPolyhedralSurface || type == wkbTIN) {
        for (const OGRPolygon* polygon : *geometry.toPolyhedralSurface()) Add(*polygon);
    } else if (OGR_GT_IsSurface(type)) {
        for (const OGRCurve* ring : *geometry.toCurvePolygon()) AddCurve(*ring);
    } else if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
        for (const OGRGeometry* member : *geometry.toGeometryCollection()) Add(*member);
    }
}

void GeometryParts::AddCurve(const OGRCurve& curve) {
    std::unique_ptr<OGRLineString> approximation;
    const OGRSimpleCurve* line = nullptr;
    if (wkbFlatten(curve.getGeometryType()) == wkbLineString) {
        line = curve.toSimpleCurve();
    } else {
        approximation.reset(curve.CurveToLine());
        line = approximation.get();
    }
    GeometryPart& part = Next(false);
    const int count = line->getNumPoints();
    part.x.resize(static_cast<std::size_t>(count));
    part.y.resize(static_cast<std::size_t>(count));
    line->getPoints(part.x.data(), sizeof(double), part.y.data(), sizeof(double));
}

}  // namespace gw::gdalio
