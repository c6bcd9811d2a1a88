#pragma once

#include "core/generate/GenerateContext.h"
#include "core/layout/HeightTable.h"
#include "core/layout/PreviewSize.h"
#include "core/layout/TheaterLayout.h"
#include "core/objectives/ObjectiveRules.h"
#include "core/project/TheaterProject.h"
#include "gui/common/TheaterStep.h"
#include "gui/generate/GenerateCommand.h"

#include <QPointF>
#include <QString>
#include <QWidget>

#include <memory>

class QLineEdit;

namespace Ui {
class TheaterForm;
}

namespace gw {

class GuiDocument;
class MapPreviewWidget;

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
    const ObjectiveRuleSet& objectiveRules() const { return m_objectiveRules; }
    // Replaces the objective rules; the status bar shows their name.
    void setObjectiveRules(const ObjectiveRuleSet& rules);
    TerrainResults& results() { return m_results; }

    // Where this window's Generate runs start.
    GenerateChoices& generateChoices() { return m_generateChoices; }
    const GenerateChoices& generateChoices() const { return m_generateChoices; }
    // The theater project the window was opened from or saved as; empty when none.
    const QString& projectPath() const { return m_projectPath; }
    void setProjectPath(const QString& path) { m_projectPath = path; }
    // The theater as the window last opened or saved it; changes are told against it.
    const TheaterProject& savedTheater() const { return m_savedTheater; }
    void setSavedTheater(TheaterProject theater) { m_savedTheater = std::move(theater); }
    // Puts a project's layout values into the form, which shows them.
    void setLayoutValues(const ProjectLayout& values);
    // Makes layout the form's, every box and choice showing it; the preview keeps its size.
    void restoreLayout(const TheaterLayout& layout);

    // Draw Features: whether the feature overlay is shown.
    bool drawFeatures() const;
    void setDrawFeatures(bool on);

    // The Preview Size dialog; on OK the preview is rebuilt at the new size.
    void OnPreviewSize();
    // Zoom In (steps > 0) or Zoom Out: the preview rebuilt at the size ZoomPreview steps
    // to, as often as it steps, keeping the map's point under the pointer where it is (or,
    // with the pointer off the map, the middle of the map's visible part); false when it
    // could not step at all.
    bool zoom(int steps);
    // Grows or shrinks the document window to show the whole map, but no larger than
    // the workspace, where scroll bars show the rest.
    void fitWindowToMap();

    // Replaces the height table (Height Data's OK): the picture is rebuilt in the new
    // colours and the layout recalculated.
    void setHeights(HeightTable heights);

    // The texts of the status bar's panes: "Obj Rules: NAME" and "N features".
    QString objectiveRulesPaneText() const;
    QString featuresPaneText() const;

    // The map preview control, as shown on the form.
    MapPreviewWidget* mapPreview() const;

public slots:
    // Emits statusTextsChanged when a pane's text differs from what it was last time;
    // call it after changing the objective rules.
    void refreshStatusTexts();

signals:
    // The texts of the status bar's panes changed.
    void statusTextsChanged();
    // What is under the pointer on the map: latitude, longitude and height; empty once
    // the pointer left the map.
    void pointerTextChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnUpdate(int hint);
    // Puts a layout edit on the document's undo stack, unless it changed nothing.
    void RecordLayout(const TheaterLayout& before, const QString& name, TheaterStep::Merge merge = TheaterStep::kNoMerge);
    void OnInitialUpdate();
    void ConnectHandlers();
    void OnLostFocus(QObject* control);
    void OnSegmentsXSelected(int index);
    void OnSquareClicked(bool checked);
    void OnSegmentsYEdited(const QString& text);
    void OnUnitSelected(int index);
    void OnResolutionEdited(const QString& text);
    void OnCenterPicked(QPoint pixel);
    void OnPointerMoved(QPoint pixel);
    // Zooms keeping `at` (in the map's pixels) where it shows in the map's scroll area.
    bool ZoomAt(int steps, QPointF at);
    void ApplyPreviewSize(PreviewSize size);

    void RebuildElevationImage();
    void RebuildOverlayImage();
    // Shows the layout as it stands: moves the outline and pushes every shown value into
    // its box. The box the user is typing in (if any) keeps its text until it loses
    // focus, so that a text such as "1." is not cut back to "1" under the cursor.
    void ShowLayout(const QLineEdit* typing = nullptr);

    GuiDocument* m_document;
    std::unique_ptr<Ui::TheaterForm> m_ui;
    TheaterLayout m_layout;
    SegmentChoices m_segmentChoices;
    HeightTable m_heights;
    ObjectiveRuleSet m_objectiveRules;
    TerrainResults m_results;
    GenerateChoices m_generateChoices;
    QString m_projectPath;
    TheaterProject m_savedTheater;
    long long m_editSession = 0;
    QString m_shownObjectiveRulesText;
    QString m_shownFeaturesText;
};

}  // namespace gw
