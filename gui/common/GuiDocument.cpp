#include "gui/common/GuiDocument.h"

#include "gui/common/BackgroundJob.h"
#include "core/features/E00Rules.h"

#include <memory>

#include <QFileInfo>

namespace gw {

GuiDocument::GuiDocument(const E00Rules& rules, QObject* parent) : QObject(parent), m_rules(rules) {}

Status GuiDocument::Open(const QString& path) {
    const Status opened = m_doc.OnOpenDocument(path.toStdString());
    if (!opened.ok()) return opened;
    m_path = path;
    emit updated(0);
    return opened;
}

QString GuiDocument::title() const { return QFileInfo(m_path).fileName(); }

std::vector<E00LoadReport> GuiDocument::LoadE00Files(const QStringList& paths, Progress& progress,
                                                      UserPrompts& prompts) {
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toStdString());
    std::vector<E00LoadReport> reports = gw::LoadE00Files(m_doc, m_rules, files, progress, prompts);
    // A file read only in part is a layer too: loading it again gives the same features.
    // A cancelled one is not, as what it gave depends on when.
    for (const E00LoadReport& report : reports) {
        if (report.recognised && report.processed.ok()) {
            m_layers.push_back({{false, report.path}, report.coverageName});
        }
    }
    emit updated(kFeaturesChanged);
    return reports;
}

std::optional<std::vector<gdalio::VectorLoadReport>> GuiDocument::LoadVectorLayers(
    const std::vector<gdalio::VectorLoadRequest>& requests, ProgressDialog& progress, UserPrompts& prompts) {
    // The layers load into a document of their own on the DEM, which the work owns: the
    // views go on drawing this one meanwhile.
    struct Loading {
        CGridwrightDoc doc;
        E00Rules rules;
        std::vector<gdalio::VectorLoadReport> reports;
    };
    auto loading = std::make_shared<Loading>();
    loading->rules = m_rules;
    const Status opened = loading->doc.OnOpenDocument(m_path.toStdString());
    const bool ended = RunInBackground(progress, prompts, [loading, requests, opened](Progress& p, UserPrompts& q) {
        for (const gdalio::VectorLoadRequest& request : requests) {
            if (!opened.ok()) {
                gdalio::VectorLoadReport failed;
                failed.path = request.path;
                failed.layer = request.layer;
                failed.status = opened;
                loading->reports.push_back(std::move(failed));
                continue;
            }
            loading->reports.push_back(gdalio::LoadVectorLayer(loading->doc, loading->rules, request, p, q));
        }
    });
    if (!ended) return std::nullopt;
    for (const Feature& feature : loading->doc.features()) m_doc.AddFeature(feature);
    for (const gdalio::VectorLoadReport& report : loading->reports) {
        if (report.status.ok()) m_layers.push_back({{true, report.path, report.layer, report.ruleIndex}, {}});
    }
    emit updated(kFeaturesChanged);
    return std::move(loading->reports);
}

std::size_t GuiDocument::RenumberRules(const RuleRenumbering& renumbering) {
    const std::size_t dropped = m_doc.RenumberRules(renumbering);
    const auto gone = [&](LoadedLayer& loaded) {
        std::optional<std::int32_t>& rule = loaded.layer.rule;
        if (!loaded.layer.vector) return !RuleForCoverage(m_rules, loaded.coverage);
        if (rule) rule = *rule >= 0 && static_cast<std::size_t>(*rule) < renumbering.size()
                              ? renumbering[static_cast<std::size_t>(*rule)]
                              : std::nullopt;
        return !rule;
    };
    std::erase_if(m_layers, gone);
    emit updated(kFeaturesChanged);
    return dropped;
}

std::vector<ProjectLayer> GuiDocument::layers() const {
    std::vector<ProjectLayer> layers;
    for (const LoadedLayer& loaded : m_layers) layers.push_back(loaded.layer);
    return layers;
}

GuiDocument::FeatureState GuiDocument::featureState() const { return {m_doc.features(), m_layers, m_rules}; }

void GuiDocument::restoreFeatures(const FeatureState& state) {
    m_doc.OnDeleteFeatures();
    for (const Feature& feature : state.features) m_doc.AddFeature(feature);
    m_layers = state.layers;
    // A state kept from before a rules edit follows the rules since.
    if (state.rules != m_rules) {
        RenumberRules(RenumberingByEquality(state.rules, m_rules));
        return;
    }
    emit updated(kFeaturesChanged);
}

void GuiDocument::DeleteFeatures() {
    m_doc.OnDeleteFeatures();
    m_layers.clear();
    emit updated(kFeaturesChanged);
}

}  // namespace gw
