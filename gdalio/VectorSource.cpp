#include "gdalio/VectorSource.h"

#include "gdalio/GdalSession.h"
#include "gdalio/LabelFields.h"
#include "gdalio/LayerLoader.h"
#include "gdalio/Wgs84Transform.h"
#include "core/util/CNumbers.h"
#include "core/util/InputFile.h"
#include "core/util/Text.h"

#include <sys/stat.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <array>

namespace gw::gdalio {
namespace {

// A Shapefile's table keeps at most this many characters of a field's name.
constexpr std::size_t kShapefileFieldName = 10;

Status OpenSource(const std::string& path, GDALDatasetUniquePtr& source) {
    // GDAL would wait on a pipe for a writer: only files and folders are handed to it
    // (and names it resolves itself, which the file system does not know).
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        InputFile refused;
        return refused.Open(path);
    }
    GdalMessages messages;
    source.reset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (source) return Status::Ok();
    return Status::IOError("cannot open " + path + " as vector data: " +
                           messages.LastError("no vector format GDAL knows reads it"));
}

std::string LayerNames(GDALDataset& source) {
    std::string names;
    for (OGRLayer* layer : source.GetLayers()) names += (names.empty() ? "" : ", ") + std::string(layer->GetName());
    return names;
}

// The layer the request names, or the source's only one.
Status PickLayer(GDALDataset& source, const std::string& path, const std::string& name, OGRLayer*& layer) {
    layer = name.empty() ? (source.GetLayerCount() == 1 ? source.GetLayer(0) : nullptr)
                         : source.GetLayerByName(name.c_str());
    if (layer) return Status::Ok();
    if (source.GetLayerCount() == 0) return Status::InvalidArgument(path + " holds no layer");
    if (name.empty()) {
        return Status::InvalidArgument(path + " holds " + std::to_string(source.GetLayerCount()) + " layers (" +
                                       LayerNames(source) + "); name the one to load");
    }
    return Status::InvalidArgument(path + " holds no layer \"" + name + "\"; its layers are " + LayerNames(source));
}

// A file or layer name without its extension (what follows its last '.').
std::string_view Stem(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

Status LoadLayer(CGridwrightDoc& doc, const E00Rules& rules, const VectorLoadRequest& request, Progress& progress,
                 UserPrompts& prompts, VectorLoadReport& report) {
    GdalMessages messages;  // a layer of a VRT opens its own source only when asked for it
    GDALDatasetUniquePtr source;
    if (Status opened = OpenSource(request.path, source); !opened.ok()) return opened;
    OGRLayer* layer = nullptr;
    if (Status picked = PickLayer(*source, request.path, request.layer, layer); !picked.ok()) return picked;
    report.layer = layer->GetName();
    const std::string named = "layer \"" + report.layer + "\" of " + request.path;

    report.ruleIndex = request.ruleIndex ? request.ruleIndex : RuleForLayer(rules, request.path, report.layer);
    if (!report.ruleIndex) {
        return Status::InvalidArgument(named + ": no E00 rule's File names the layer or the file; name the rule");
    }
    const E00Rule* rule = RuleAt(rules, *report.ruleIndex);
    if (!rule) {
        return Status::InvalidArgument(named + ": there is no E00 rule " + std::to_string(*report.ruleIndex) +
                                       " (the rules number " + std::to_string(rules.size()) + ")");
    }
    const OGRSpatialReference* system = layer->GetSpatialRef();
    if (!system) {
        // A layer that could not be opened has none either; GDAL says why.
        if (const std::string error = messages.LastError(""); !error.empty()) {
            return Status::IOError("cannot read " + named + ": " + error);
        }
        return Status::InvalidArgument(named + " has no coordinate system");
    }
    const Wgs84Transform transform(*system);
    if (!transform.status().ok()) return Status::InvalidArgument(named + ": " + transform.status().message());

    LayerLoader loader(doc, *rule, *report.ruleIndex, named);
    if (Status declared = loader.CheckDeclaredGeometry(*layer); !declared.ok()) return declared;
    const bool shapefile = EqualsNoCase(source->GetDriver()->GetDescription(), "ESRI Shapefile");
    const LabelFields labels(*layer->GetLayerDefn(), *rule, shapefile ? kShapefileFieldName : 0,
                             layer->TestCapability(OLCStringsAsUTF8));
    const Status loaded = loader.Load(*layer, transform, labels, progress, prompts);
    report.featuresAdded = loader.added();
    report.warnings.insert(report.warnings.end(), loader.warnings().begin(), loader.warnings().end());
    return loaded;
}

}  // namespace

Status ListVectorLayers(const std::string& path, const E00Rules& rules, std::vector<VectorLayerInfo>& layers) {
    RegisterGdal();
    layers.clear();
    GDALDatasetUniquePtr source;
    if (Status opened = OpenSource(path, source); !opened.ok()) return opened;
    GdalMessages quiet;  // a count or extent a layer cannot give is left out
    for (OGRLayer* layer : source->GetLayers()) {
        VectorLayerInfo info;
        info.name = layer->GetName();
        info.geometryType = OGRGeometryTypeToName(layer->GetGeomType());
        info.hasGeometry = layer->GetGeomType() != wkbNone;
        info.featureCount = layer->GetFeatureCount(TRUE);
        const OGRFeatureDefn& fields = *layer->GetLayerDefn();
        for (int f = 0; f < fields.GetFieldCount(); ++f) {
            const OGRFieldDefn& field = *fields.GetFieldDefn(f);
            info.fields.push_back({field.GetNameRef(), OGRFieldDefn::GetFieldTypeName(field.GetType())});
        }
        if (const OGRSpatialReference* system = layer->GetSpatialRef()) {
            info.hasCoordinateSystem = true;
            info.coordinateSystem = system->GetName() ? system->GetName() : "";
            OGREnvelope extent;
            const Wgs84Transform transform(*system);
            if (transform.status().ok() && layer->GetExtent(&extent, TRUE) == OGRERR_NONE) {
                info.extent = transform.Bounds(extent.MinX, extent.MinY, extent.MaxX, extent.MaxY);
            }
        }
        info.ruleIndex = RuleForLayer(rules, path, info.name);
        layers.push_back(std::move(info));
    }
    if (!quiet.refusal().empty()) return Status::IOError("cannot read " + path + ": " + quiet.refusal());
    return Status::Ok();
}

std::vector<std::string> VectorSourceFiles(const std::string& path) {
    RegisterGdal();
    std::vector<std::string> files = {path};
    GDALDatasetUniquePtr source;
    if (!OpenSource(path, source).ok()) return files;
    const GdalMessages quiet;  // a file GDAL cannot list is one the run does not read
    const CPLStringList listed(source->GetFileList());
    for (int i = 0; i < listed.size(); ++i) files.emplace_back(listed[i]);
    return files;
}

std::optional<std::int32_t> RuleForLayer(const E00Rules& rules, const std::string& path, const std::string& layer) {
    const std::string file = FileNameOf(path);
    const std::array<std::string_view, 4> names = {layer, Stem(layer), file, Stem(file)};
    const auto namesTheSource = [&](const E00Rule& rule) {
        return !rule.File.empty() && std::any_of(names.begin(), names.end(), [&](std::string_view name) {
                   return !name.empty() && (EqualsNoCase(rule.File, name) || EqualsNoCase(Stem(rule.File), name));
               });
    };
    const auto rule = std::find_if(rules.begin(), rules.end(), namesTheSource);
    if (rule == rules.end()) return std::nullopt;
    return static_cast<std::int32_t>(rule - rules.begin());
}

std::optional<std::int32_t> FindRule(const E00Rules& rules, const std::string& name) {
    const auto position = [&](auto match) -> std::optional<std::int32_t> {
        const auto rule = std::find_if(rules.begin(), rules.end(), match);
        if (rule == rules.end()) return std::nullopt;
        return static_cast<std::int32_t>(rule - rules.begin());
    };
    if (auto byFile = position([&](const E00Rule& r) { return EqualsNoCase(r.File, name); })) return byFile;
    if (auto byKeyword = position([&](const E00Rule& r) { return EqualsNoCase(r.Keyword, name); })) return byKeyword;
    std::int32_t index = 0;
    if (ParseWholeInt(name, index) && RuleAt(rules, index)) return index;
    return std::nullopt;
}

VectorLoadReport LoadVectorLayer(CGridwrightDoc& doc, const E00Rules& rules, const VectorLoadRequest& request,
                                 Progress& progress, UserPrompts& prompts) {
    RegisterGdal();
    VectorLoadReport report;
    report.path = request.path;
    report.layer = request.layer;
    report.ruleIndex = request.ruleIndex;
    report.status = LoadLayer(doc, rules, request, progress, prompts, report);
    return report;
}

}  // namespace gw::gdalio
