#include "gui/features/LoadVectorCommand.h"

#include "gdalio/VectorSource.h"
#include "gui/common/BackgroundJob.h"
#include "gui/common/GuiDocument.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "gui/common/UserChoices.h"
#include "gui/common/WaitCursor.h"
#include "gui/features/GdalWarnings.h"

#include <QFileInfo>

#include <memory>

namespace gw {
namespace {

const FileQuestion kVectorQuestion{
    QStringLiteral("Load Vector Data"),
    {QStringLiteral("Vector Files (*.shp *.geojson *.json *.gpkg *.kml *.kmz *.gml *.gpx *.tab *.mif *.sqlite *.fgb)"),
     QStringLiteral("Shapefiles (*.shp)"), QStringLiteral("GeoJSON Files (*.geojson *.json)"),
     QStringLiteral("GeoPackages (*.gpkg)"), QStringLiteral("KML Files (*.kml *.kmz)"),
     QStringLiteral("All Files (*)")},
    {}};

// What GDAL lists of one file: its layers, or why it cannot.
struct Listed {
    std::string path;
    Status status;
    std::vector<gdalio::VectorLayerInfo> layers;
};

// The layers of the files, listed off this thread under progress (see RunInBackground).
// Nothing when the listing was cancelled or left after a Cancel.
std::optional<std::vector<Listed>> ListLayers(const QStringList& paths, const E00Rules& rules,
                                              ProgressDialog& progress, UserPrompts& prompts) {
    auto listed = std::make_shared<std::vector<Listed>>();
    auto cancelled = std::make_shared<bool>(false);
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toStdString());
    const bool ended = RunInBackground(progress, prompts, [listed, cancelled, files, rules](
                                                              Progress& p, UserPrompts& q) {
        BeginJob(p, static_cast<int>(files.size()), "Reading the layers");
        for (const std::string& path : files) {
            Listed one{path, Status::Ok(), {}};
            one.status = gdalio::ListVectorLayers(path, rules, one.layers);
            listed->push_back(std::move(one));
            p.StepIt();
            if (ConfirmCancel(p, q)) {
                *cancelled = true;
                return;
            }
        }
    });
    if (!ended || *cancelled) return std::nullopt;
    return std::move(*listed);
}

// The layers to load of a listed file, each with its rule: the one that names it, or the
// user's choice; layers the user skips, and tables without geometry, are left out. A
// file that cannot be read, or holds no layer with geometry, is told.
void AddLayersToLoad(Listed& file, const E00Rules& rules, QWidget* parent, const CommandContext& context,
                     std::vector<gdalio::VectorLoadRequest>& requests) {
    std::erase_if(file.layers, [](const gdalio::VectorLayerInfo& layer) { return !layer.hasGeometry; });
    if (file.status.ok() && file.layers.empty()) {
        file.status = Status::Corruption(file.path + " holds no vector layer with geometry");
    }
    if (!file.status.ok()) {
        context.choices.ShowMessage(parent, QString::fromStdString(file.status.message()),
                                    UserChoices::MessageKind::kWarning);
        return;
    }
    for (const gdalio::VectorLayerInfo& layer : file.layers) {
        std::optional<std::int32_t> rule = layer.ruleIndex;
        if (!rule) {
            rule = context.choices.ChooseE00Rule(parent, QString::fromStdString(layer.name),
                                                 QFileInfo(QString::fromStdString(file.path)).fileName(), rules);
        }
        if (rule) requests.push_back({file.path, layer.name, rule});
    }
}

// Loads the layers, telling what went wrong with each and what GDAL warned of.
void LoadAndTell(GuiDocument& document, const std::vector<gdalio::VectorLoadRequest>& requests,
                 ProgressDialog& progress, GuiPrompts& prompts, const CommandContext& context) {
    const auto reports = document.LoadVectorLayers(requests, progress, prompts);
    if (!reports) return;
    QStringList warnings;
    for (const gdalio::VectorLoadReport& report : *reports) {
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

}  // namespace

void LoadVectorData(GuiDocument& document, const CommandContext& context) {
    const QStringList paths = context.choices.ChooseOpenFiles(context.window, kVectorQuestion);
    if (!paths.isEmpty()) LoadVectorPaths(document, paths, context);
}

void LoadVectorPaths(GuiDocument& document, const QStringList& paths, const CommandContext& context) {
    WaitCursor wait;
    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    std::optional<std::vector<Listed>> listed = ListLayers(paths, document.rules(), progress, prompts);
    if (!listed) return;
    std::vector<gdalio::VectorLoadRequest> requests;
    for (Listed& file : *listed) AddLayersToLoad(file, document.rules(), &progress, context, requests);
    if (requests.empty()) return;
    LoadAndTell(document, requests, progress, prompts, context);
}

void LoadVectorRequests(GuiDocument& document, const std::vector<gdalio::VectorLoadRequest>& requests,
                        const CommandContext& context) {
    WaitCursor wait;
    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    LoadAndTell(document, requests, progress, prompts, context);
}

}  // namespace gw
