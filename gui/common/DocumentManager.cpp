#include "gui/common/DocumentManager.h"

#include "gui/common/GuiDocument.h"

#include <QFileInfo>

#include <memory>

namespace gw {
namespace {

QString CanonicalPath(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

}  // namespace

DocumentManager::DocumentManager(QObject* parent) : QObject(parent) {}

DocumentManager::~DocumentManager() { qDeleteAll(m_views.keys()); }

GuiDocument* DocumentManager::Find(const QString& path) const {
    const QString canonical = CanonicalPath(path);
    return canonical.isEmpty() ? nullptr : m_byPath.value(canonical);
}

Status DocumentManager::Open(const QString& path, GuiDocument** document) {
    *document = nullptr;
    auto opened = std::make_unique<GuiDocument>(m_rules);
    if (Status status = opened->Open(path); !status.ok()) return status;
    *document = opened.release();
    m_views.insert(*document, 0);
    m_byPath.insert(CanonicalPath(path), *document);
    return Status::Ok();
}

std::size_t DocumentManager::ReplaceRules(E00Rules rules, const RuleRenumbering& renumbering) {
    m_rules = std::move(rules);
    std::size_t dropped = 0;
    for (GuiDocument* document : m_views.keys()) dropped += document->RenumberRules(renumbering);
    return dropped;
}

void DocumentManager::AddView(GuiDocument* document, QObject* view) {
    ++m_views[document];
    connect(view, &QObject::destroyed, this, [this, document] { ViewDestroyed(document); });
}

void DocumentManager::ViewDestroyed(GuiDocument* document) {
    auto views = m_views.find(document);
    if (views == m_views.end() || --*views > 0) return;
    m_views.erase(views);
    m_byPath.removeIf([document](const auto& entry) { return entry.value() == document; });
    delete document;
}

}  // namespace gw
