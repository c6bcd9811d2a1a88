#pragma once

#include "core/util/Status.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace gw {

class GuiDocument;

// The open documents of the program: one per DEM header, known by the header's
// canonical path. A document lives as long as it has a view; it is deleted when the
// last of its views is destroyed.
class DocumentManager : public QObject {
    Q_OBJECT
public:
    explicit DocumentManager(QObject* parent = nullptr);
    ~DocumentManager() override;

    // The open document of the header at path (the same file, however it is named),
    // or null.
    GuiDocument* Find(const QString& path) const;
    // Opens the header at path as a new document and stores it in *document; on
    // failure *document is null and the status says why. REQUIRES: Find(path) is null.
    // The caller gives the document its first view at once (AddView).
    Status Open(const QString& path, GuiDocument** document);
    // Counts view as a view of document, until view is destroyed.
    void AddView(GuiDocument* document, QObject* view);

    QList<GuiDocument*> documents() const { return m_views.keys(); }
    int ViewCount(GuiDocument* document) const { return m_views.value(document); }

private:
    void ViewDestroyed(GuiDocument* document);

    QHash<GuiDocument*, int> m_views;
    QHash<QString, GuiDocument*> m_byPath;
};

}  // namespace gw
