#pragma once

#include "generate/GenerateContext.h"
#include "layout/HeightTable.h"
#include "layout/TheaterLayout.h"
#include "objectives/ObjectiveRules.h"

#include <QWidget>

namespace gw {

class GuiDocument;

// The form view of one document window: the theater form with its map preview. It owns
// the layout values, the height table, the objective rules and the results of the last
// terrain run, and follows its document's updates.
class CGridwrightView : public QWidget {
    Q_OBJECT
public:
    // A view of document, which must outlive it; it shows the document as it stands.
    explicit CGridwrightView(GuiDocument* document, QWidget* parent = nullptr);
    ~CGridwrightView() override;

    GuiDocument* document() const { return m_document; }

    // What the writers of a Generate run read from the view.
    const TheaterLayout& layout() const { return m_layout; }
    const HeightTable& heights() const { return m_heights; }
    ObjectiveRuleSet& objectiveRules() { return m_objectiveRules; }
    TerrainResults& results() { return m_results; }

    // Draw Features: whether the feature overlay is shown.
    bool drawFeatures() const { return m_drawFeatures; }
    void setDrawFeatures(bool on);

    // The Preview Size dialog; on OK the preview is rebuilt at the new size.
    void OnPreviewSize();

    // The texts of the status bar's panes: "Obj Rules: NAME" and "N features".
    QString objectiveRulesPaneText() const;
    QString featuresPaneText() const;

signals:
    // The texts of the status bar's panes changed.
    void statusTextsChanged();

private:
    GuiDocument* m_document;
    TheaterLayout m_layout;
    HeightTable m_heights;
    ObjectiveRuleSet m_objectiveRules;
    TerrainResults m_results;
    bool m_drawFeatures = true;
};

}  // namespace gw
