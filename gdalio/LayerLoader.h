#pragma once

#include "gdalio/GeometryParts.h"
#include "gdalio/LabelFields.h"
#include "gdalio/Wgs84Transform.h"
#include "core/features/E00Rules.h"
#include "core/features/Feature.h"
#include "core/progress/Progress.h"
#include "core/util/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class OGRFeature;
class OGRGeometry;
class OGRLayer;

namespace gw {
class CGridwrightDoc;
}

namespace gw::gdalio {

// Turns the features of one layer into the document's features under one rule, the
// way an E00 file's arcs and labels become features: each line keeps its points on the
// DEM (edges included) and gives no feature when none is; each point on the DEM gives
// a point feature with the name and type its fields hold.
class LayerLoader {
public:
    // named names the layer in messages ("layer \"roads\" of roads.gpkg").
    LayerLoader(CGridwrightDoc& doc, const E00Rule& rule, std::int32_t ruleIndex, std::string named);
    LayerLoader(const LayerLoader&) = delete;
    LayerLoader& operator=(const LayerLoader&) = delete;

    // Whether the rule can take what the layer declares it holds; says why not.
    Status CheckDeclaredGeometry(OGRLayer& layer) const;

    // Reads every feature of the layer from the start, its coordinates carried to
    // WGS 84 by transform. Fails at the first geometry of a kind the rule cannot take
    // or when GDAL cannot read on; the features added before stay. A confirmed Cancel
    // ends the reading: Cancelled then.
    Status Load(OGRLayer& layer, const Wgs84Transform& transform, const LabelFields& labels, Progress& progress,
                UserPrompts& prompts);

    std::size_t added() const { return m_added; }
    // What GDAL warned of while reading.
    const std::vector<std::string>& warnings() const { return m_warnings; }

private:
    // Adds the features of one geometry of feature.
    Status AddGeometry(const OGRFeature& feature, const OGRGeometry& geometry, const Wgs84Transform& transform,
                       const LabelFields& labels);
    // The point as it lies on the DEM: its longitude as given or a whole turn east or
    // west of it, so that a DEM reaching past 180 degrees (179 to 181) holds -179.5 as
    // 180.5; none when off the DEM either way.
    std::optional<GeoPoint> OnDem(double lat, double lon) const;
    // Geometry of the kind the rule does not take, found where.
    Status WrongKind(const std::string& where) const;

    CGridwrightDoc& m_doc;
    const E00Rule& m_rule;
    std::int32_t m_ruleIndex;
    std::string m_named;
    std::size_t m_added = 0;
    std::vector<std::string> m_warnings;
    GeometryParts m_parts;
    std::vector<int> m_valid;
};

}  // namespace gw::gdalio
