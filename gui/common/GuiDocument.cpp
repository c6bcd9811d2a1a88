#include "gui/common/GuiDocument.h"

#include "core/features/E00Rules.h"

#include <QFileInfo>

namespace gw {

GuiDocument::GuiDocument(QObject* parent) : QObject(parent) {}

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
    std::vector<E00LoadReport> reports = gw::LoadE00Files(m_doc, g_e00Rules, files, progress, prompts);
    emit updated(kFeaturesChanged);
    return reports;
}

std::vector<gdalio::VectorLoadReport> GuiDocument::LoadVectorLayers(
    const std::vector<gdalio::VectorLoadRequest>& requests, Progress& progress, UserPrompts& prompts) {
    std::vector<gdalio::VectorLoadReport> reports;
    for (const gdalio::VectorLoadRequest& request : requests) {
        reports.push_back(gdalio::LoadVectorLayer(m_doc, g_e00Rules, request, progress, prompts));
    }
    emit updated(kFeaturesChanged);
    return reports;
}

void GuiDocument::DeleteFeatures() {
    m_doc.OnDeleteFeatures();
    emit updated(kFeaturesChanged);
}

}  // namespace gw
