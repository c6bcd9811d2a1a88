#pragma once

#include "gdalio/DemImport.h"
#include "core/features/E00Rules.h"
#include "core/progress/Progress.h"
#include "core/util/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw {
class CGridwrightDoc;
}

namespace gw::gdalio {

// One field of a vector layer: its name and OGR's name of its type ("String", "Integer").
struct VectorField {
    std::string name;
    std::string type;
};

// What a layer of a vector source holds.
struct VectorLayerInfo {
    std::string name;
    std::string geometryType;  // OGR's name ("Line String", "Point", "Multi Polygon" ...)
    std::int64_t featureCount = -1;  // -1 when the source cannot tell, even by reading
    std::vector<VectorField> fields;
    bool hasGeometry = true;  // false for a table of attributes only
    bool hasCoordinateSystem = false;
    std::string coordinateSystem;  // its name ("WGS 84", "WGS 84 / UTM zone 32N")
    std::optional<GeoBounds> extent;  // in WGS 84; none when empty or without a system
    std::optional<std::int32_t> ruleIndex;  // the E00 rule the layer maps to by name
};

// Lists the layers of the source at path, in the source's order; counts and extents may
// take a reading of each layer. Fails, naming the file, when GDAL cannot open it as a
// vector source.
Status ListVectorLayers(const std::string& path, const E00Rules& rules, std::vector<VectorLayerInfo>& layers);

// The files GDAL reads for the vector source at path: the file or folder named and its
// side files (a Shapefile's .shx, .dbf and .prj, say); just path when GDAL cannot open it.
std::vector<std::string> VectorSourceFiles(const std::string& path);

// The rule a layer maps to when none is named: the first whose File (case ignored)
// names the layer or the source file, with or without their extensions.
std::optional<std::int32_t> RuleForLayer(const E00Rules& rules, const std::string& path, const std::string& layer);

// The rule a user named: its File, its Keyword (case ignored, first match) or its
// position in the table (0 is the first).
std::optional<std::int32_t> FindRule(const E00Rules& rules, const std::string& name);

// One layer to load as features.
struct VectorLoadRequest {
    std::string path;
    std::string layer;                      // empty: the source's only layer
    std::optional<std::int32_t> ruleIndex;  // empty: RuleForLayer
};

// How the loading of one layer went.
struct VectorLoadReport {
    std::string path;
    std::string layer;
    std::optional<std::int32_t> ruleIndex;
    Status status = Status::Ok();  // why the layer was not (fully) loaded, naming it;
                                   // Cancelled when the user ended the loading
    std::size_t featuresAdded = 0;
    std::vector<std::string> warnings;  // what GDAL warned of while reading, each once
};

// Loads the layer into the document's features under the rule, reprojected to WGS 84,
// as E00 arcs and labels load: lines (and polygon rings, as closed lines) keep their
// points on the DEM and become line features for a line rule; points on the DEM become
// point features for a label rule, named and typed by the rule's NameField and
// TypeField when the layer has them (names in Latin-1, padded with blanks to the width
// the layer declares for the field, as an INFO item's text stands; types the field's
// text read as atoi reads it). Multi-geometries give one feature per part, in order.
// On a DEM that reaches past 180 degrees, longitudes are taken a whole turn round where
// that puts them on it. A layer without a coordinate system, a missing layer or rule, or
// geometry the rule cannot take fails with a reason that names the layer; features of
// the layer added before a failure stay. Cancel works as for E00 files: a confirmed Cancel ends
// the loading, the features added so far stay. Nothing is said through prompts but
// "Cancel?"; the report says what went wrong.
VectorLoadReport LoadVectorLayer(CGridwrightDoc& doc, const E00Rules& rules, const VectorLoadRequest& request,
                                 Progress& progress, UserPrompts& prompts);

}  // namespace gw::gdalio
