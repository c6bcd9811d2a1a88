#include "gui/features/LoadVectorCommand.h"

#include "gdalio/VectorSource.h"
#include "gui/common/GuiDocument.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "gui/common/UserChoices.h"
#include "gui/common/WaitCursor.h"
#include "gui/features/GdalWarnings.h"

#include <QFileInfo>

namespace gw {
namespace {

const FileQuestion kVectorQuestion{
    QStringLiteral("Load Vector Data"),
    {QStringLiteral("Vector Files (*.shp *.geojson *.json *.gpkg *.kml *.kmz *.gml *.gpx *.tab *.mif *.sqlite *.fgb)"),
     QStringLiteral("Shapefiles (*.shp)"), QStringLiteral("GeoJSON Files (*.geojson *.json)"),
     QStringLiteral("GeoPackages (*.gpkg)"), QStringLiteral("KML Files (*.kml *.kmz)"),
     QStringLiteral("All Files (*)")},
    {}};

// The layers of the file at path to load, each with its rule: the one that names it, or
// the user's choice; layers the user skips, and tables without geometry, are left out. A
// file that cannot be read, or holds no layer with geometry, is told.
void AddLayersToLoad(const QString& path, const CommandContext& context,
                     std::vector<gdalio::VectorLoadRequest>& requests) {
    std::vector<gdalio::VectorLayerInfo> layers;
    Status listed = gdalio::ListVectorLayers(path.toStdString(), g_e00Rules, layers);
    std::erase_if(layers, [](const gdalio::VectorLayerInfo& layer) { return !layer.hasGeometry; });
    if (listed.ok() && layers.empty()) {
        listed = Status::Corruption(path.toStdString() + " holds no vector layer with geometry");
    }
    if (!listed.ok()) {
        context.choices.ShowMessage(context.window, QString::fromStdString(listed.message()),
                                    UserChoices::MessageKind::kWarning);
        return;
    }
    for (const gdalio::VectorLayerInfo& layer : layers) {
        std::optional<std::int32_t> rule = layer.ruleIndex;
        if (!rule) {
            rule = context.choices.ChooseE00Rule(context.window, QString::fromStdString(layer.name),
                                                 QFileInfo(path).fileName(), g_e00Rules);
        }
        if (rule) requests.push_back({path.toStdString(), layer.name, rule});
    }
}

}  // namespace

void LoadVectorData(GuiDocument& document, const CommandContext& context) {
    const QStringList paths = context.choices.ChooseOpenFiles(context.window, kVectorQuestion);
    if (paths.isEmpty()) return;
    std::vector<gdalio::VectorLoadRequest> requests;
    {
        WaitCursor wait;
        for (const QString& path : paths) AddLayersToLoad(path, context, requests);
    }
    if (requests.empty()) return;
    WaitCursor wait;
    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    QStringList warnings;
    for (const gdalio::VectorLoadReport& report : document.LoadVectorLayers(requests, progress, prompts)) {
        if (!report.status.ok() && !report.status.IsCancelled()) prompts.ShowMessage(report.status.message());
        const QString layer = QObject::tr("layer \u201c%1\u201d of %2: ")
                                  .arg(QString::fromStdString(report.layer), QString::fromStdString(report.path));
        for (const std::string& warning : report.warnings) warnings << layer + QString::fromStdString(warning);
    }
    if (!warnings.isEmpty()) {
        context.choices.ShowMessage(&progress, GdalWarningsText(QObject::tr("GDAL warned while loading:"), warnings),
                                    UserChoices::MessageKind::kInformation);
    }
}

}  // namespace gw
