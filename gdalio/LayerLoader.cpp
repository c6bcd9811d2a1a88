#include "gdalio/LayerLoader.h"

#include "gdalio/GdalSession.h"
#include "core/document/GridwrightDoc.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <climits>
#include <optional>

namespace gw::gdalio {

LayerLoader::LayerLoader(CGridwrightDoc& doc, const E00Rule& rule, std::int32_t ruleIndex, std::string named)
    : m_doc(doc), m_rule(rule), m_ruleIndex(ruleIndex), m_named(std::move(named)) {}

Status LayerLoader::WrongKind(const std::string& where) const {
    const bool pointRule = m_rule.Label != 0;
    return Status::InvalidArgument(m_named + where + " holds " + (pointRule ? "lines or polygons" : "points") +
                                   ", but rule " + m_rule.File + " (" + m_rule.Keyword + ") takes " +
                                   (pointRule ? "points" : "lines"));
}

Status LayerLoader::CheckDeclaredGeometry(OGRLayer& layer) const {
    const GeometryKind kind = KindOf(layer.GetGeomType());
    if (kind == GeometryKind::kNone) return Status::InvalidArgument(m_named + " holds no geometry");
    const bool pointRule = m_rule.Label != 0;
    if (kind == GeometryKind::kPoints && !pointRule) return WrongKind("");
    if (kind == GeometryKind::kLines && pointRule) return WrongKind("");
    return Status::Ok();
}

Status LayerLoader::Load(OGRLayer& layer, const Wgs84Transform& transform, const LabelFields& labels,
                         Progress& progress, UserPrompts& prompts) {
    const GIntBig count = layer.GetFeatureCount(TRUE);
    BeginJob(progress, static_cast<int>(std::clamp<GIntBig>(count, 0, INT_MAX)), "Processing " + m_rule.Keyword + " data");
    GdalMessages messages;
    Status status;
    layer.ResetReading();
    for (OGRFeatureUniquePtr feature(layer.GetNextFeature()); feature; feature.reset(layer.GetNextFeature())) {
        if (const OGRGeometry* geometry = feature->GetGeometryRef()) {
            status = AddGeometry(*feature, *geometry, transform, labels);
            if (!status.ok()) break;
        }
        progress.StepIt();
        if (ConfirmCancel(progress, prompts)) {
            status = Status::Cancelled("the loading was cancelled");
            break;
        }
    }
    m_warnings = messages.warnings();
    // A reading that broke off ends as the end of the layer would, and a driver may skip
    // a bad record and read on: either way GDAL's error tells.
    if (status.ok()) {
        if (const std::string error = messages.LastError(""); !error.empty()) {
            status = Status::Corruption("GDAL reported an error while reading " + m_named + " (" +
                                        std::to_string(m_added) + " features loaded): " + error);
        }
    }
    return status;
}

std::optional<GeoPoint> LayerLoader::OnDem(double lat, double lon) const {
    for (const double turn : {0.0, 360.0, -360.0}) {
        if (m_doc.IsInside(lat, lon + turn)) return GeoPoint{lat, lon + turn};
    }
    return std::nullopt;
}

Status LayerLoader::AddGeometry(const OGRFeature& feature, const OGRGeometry& geometry,
                                const Wgs84Transform& transform, const LabelFields& labels) {
    const bool pointRule = m_rule.Label != 0;
    m_parts.Split(geometry);
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        GeometryPart& part = m_parts[i];
        if (part.point != pointRule) return WrongKind(" (feature " + std::to_string(feature.GetFID()) + ")");
        transform.Apply(part.x, part.y, m_valid);
        Feature made;
        made.ruleIndex = m_ruleIndex;
        for (std::size_t p = 0; p < part.x.size(); ++p) {
            if (!m_valid[p]) continue;
            if (const std::optional<GeoPoint> onDem = OnDem(part.y[p], part.x[p])) made.points.push_back(*onDem);
        }
        if (made.points.empty()) continue;
        if (pointRule) {
            made.name = labels.Name(feature);
            made.type = labels.Type(feature);
        }
        m_doc.AddFeature(std::move(made));
        ++m_added;
    }
    return Status::Ok();
}

}  // namespace gw::gdalio
