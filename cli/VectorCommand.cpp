#include "cli/Commands.h"

#include "cli/CommandSteps.h"
#include "cli/Fields.h"
#include "gdalio/VectorSource.h"
#include "core/util/CNumbers.h"

#include <cstdio>

namespace gw::cli {
namespace {

Fields ExtentFields(const gdalio::GeoBounds& extent) {
    return {{"west", extent.west}, {"south", extent.south}, {"east", extent.east}, {"north", extent.north}};
}

std::string ExtentText(const gdalio::GeoBounds& extent) {
    return "west " + FormatShortest(extent.west) + ", south " + FormatShortest(extent.south) + ", east " +
           FormatShortest(extent.east) + ", north " + FormatShortest(extent.north);
}

std::string RuleText(const E00Rules& rules, const std::optional<std::int32_t>& index) {
    const E00Rule* rule = index ? RuleAt(rules, *index) : nullptr;
    return rule ? std::to_string(*index) + " " + rule->File + " (" + rule->Keyword + ")" : "none";
}

Fields LayerText(const gdalio::VectorLayerInfo& layer, const E00Rules& rules) {
    Fields fields = {{"name", layer.name}, {"geometry", layer.geometryType}};
    fields.push_back({"features", layer.featureCount >= 0 ? std::to_string(layer.featureCount) : "unknown"});
    for (const gdalio::VectorField& field : layer.fields) fields.push_back({"field", field.name + " (" + field.type + ")"});
    fields.push_back({"coordinate_system", layer.hasCoordinateSystem ? layer.coordinateSystem : "none"});
    if (layer.extent) fields.push_back({"extent", ExtentText(*layer.extent)});
    fields.push_back({"rule", RuleText(rules, layer.ruleIndex)});
    return fields;
}

// Absent values are left out, as the other commands' JSON does.
Fields LayerJson(const gdalio::VectorLayerInfo& layer, const E00Rules& rules) {
    std::vector<Fields> fieldList;
    for (const gdalio::VectorField& field : layer.fields) fieldList.push_back({{"name", field.name}, {"type", field.type}});
    Fields fields = {{"name", layer.name}, {"geometry", layer.geometryType}};
    if (layer.featureCount >= 0) fields.push_back({"features", layer.featureCount});
    fields.push_back({"fields", fieldList});
    if (layer.hasCoordinateSystem) fields.push_back({"coordinate_system", layer.coordinateSystem});
    if (layer.extent) fields.push_back({"extent", ExtentFields(*layer.extent)});
    if (const E00Rule* rule = layer.ruleIndex ? RuleAt(rules, *layer.ruleIndex) : nullptr) {
        fields.push_back({"rule", Fields{{"index", *layer.ruleIndex}, {"File", rule->File}, {"Keyword", rule->Keyword}}});
    }
    return fields;
}

}  // namespace

Status RunVector(const std::string& path, const RulesChoice& choice, bool json) {
    E00Rules rules;
    std::string rulesSource;
    if (Status loaded = LoadRules(choice, rules, rulesSource); !loaded.ok()) return loaded;
    std::vector<gdalio::VectorLayerInfo> layers;
    if (Status listed = gdalio::ListVectorLayers(path, rules, layers); !listed.ok()) return listed;
    std::vector<Fields> entries;
    for (const gdalio::VectorLayerInfo& layer : layers) {
        entries.push_back(json ? LayerJson(layer, rules) : LayerText(layer, rules));
    }
    const Fields listing = {{"source", path}, {"rules", rulesSource}, {"layers", layers.size()}, {"layer", entries}};
    if (json) {
        std::printf("%s\n", ToJson({{"source", path}, {"rules", rulesSource}, {"layers", entries}}).c_str());
    } else {
        std::fputs(ToText(listing).c_str(), stdout);
    }
    return Status::Ok();
}

}  // namespace gw::cli
