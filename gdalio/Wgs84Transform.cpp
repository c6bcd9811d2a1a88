#include "gdalio/Wgs84Transform.h"

#include "gdalio/GdalSession.h"


namespace gw::gdalio {

void Wgs84Transform::Destroy::operator()(OGRCoordinateTransformation* transform) const {
    OGRCoordinateTransformation::DestroyCT(transform);
}

Wgs84Transform::Wgs84Transform(const OGRSpatialReference& source) {
    OGRSpatialReference wgs84;
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    GdalMessages messages;
    if (wgs84.importFromEPSG(4326) != OGRERR_NONE) {
        m_status = Status::InvalidArgument("cannot set up WGS 84: " + messages.LastError("EPSG:4326 is unknown"));
        return;
    }
    // The same system with the same axis order: no transformation, so no rounding.
    if (source.IsSame(&wgs84)) return;
    m_transform.reset(OGRCreateCoordinateTransformation(&source, &wgs84));
    if (!m_transform) {
        const char* name = source.GetName();
        m_status = Status::InvalidArgument("cannot transform " + std::string(name ? name : "its coordinate system") +
                                           " to WGS 84: " + messages.LastError("no transformation is known"));
    }
}

void Wgs84Transform::Apply(std::vector<double>& x, std::vector<double>& y, std::vector<int>& valid) const {
    valid.assign(x.size(), TRUE);
    if (!m_transform || x.empty()) return;
    GdalMessages quiet;  // points that fail are marked, not reported
    m_transform->Transform(x.size(), x.data(), y.data(), nullptr, valid.data());
}

std::optional<GeoBounds> Wgs84Transform::Bounds(double minX, double minY, double maxX, double maxY) const {
    if (!m_transform) return GeoBounds{minX, minY, maxX, maxY};
    GdalMessages quiet;
    GeoBounds bounds;
    constexpr int kPointsPerEdge = 21;
    if (!m_transform->TransformBounds(minX, minY, maxX, maxY, &bounds.west, &bounds.south, &bounds.east,
                                      &bounds.north, kPointsPerEdge)) {
        return std::nullopt;
    }
    return bounds;
}

}  // namespace gw::gdalio
