#pragma once

#include "core/features/E00Rules.h"
#include "core/util/Status.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace gw {

class GuiDocument;

// The open documents of the program, one per DEM header, known by the header's
// canonical path, and the E00 rule table they share. A document lives as long as it has a view; it is deleted when the
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

    // The program's E00 rules, which every document's features refer to by row.
    const E00Rules& rules() const { return m_rules; }
    // Takes an edit of the rules: every document's features follow their rules to their
    // new rows, and those whose rule the renumbering drops are dropped (RenumberRules).
    // Returns how many were dropped in all.
    std::size_t ReplaceRules(E00Rules rules, const RuleRenumbering& renumbering);

    QList<GuiDocument*> documents() const { return m_views.keys(); }
    int ViewCount(GuiDocument* document) const { return m_views.value(document); }

private:
    void ViewDestroyed(GuiDocument* document);

    E00Rules m_rules;
    QHash<GuiDocument*, int> m_views;
    QHash<QString, GuiDocument*> m_byPath;
};

}  // namespace gw
