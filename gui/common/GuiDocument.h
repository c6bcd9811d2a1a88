#pragma once

#include "gdalio/VectorSource.h"
#include "core/document/FeatureLoader.h"
#include "core/document/GridwrightDoc.h"
#include "core/project/TheaterProject.h"
#include "core/util/Status.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

#include <optional>
#include <vector>

namespace gw {

class ProgressDialog;

// One open DEM in the desktop program: it owns the core document, makes every change to
// it, and tells the document's views when they must update.
class GuiDocument : public QObject {
    Q_OBJECT
public:
    // The update hint when only the features changed: the views rebuild their overlays.
    static constexpr int kFeaturesChanged = 1;

    // The document's features refer to the rows of rules, which outlives it.
    explicit GuiDocument(const E00Rules& rules, QObject* parent = nullptr);
    // The undo stack goes without a word: its watchers may be going too.
    ~GuiDocument() override { m_undo.blockSignals(true); }

    // Opens the DEM header at path; on failure the document is unchanged and the status
    // says why.
    Status Open(const QString& path);

    const CGridwrightDoc& doc() const { return m_doc; }
    // The header's path as opened, and its file name (the windows' title).
    const QString& path() const { return m_path; }
    QString title() const;
    const E00Rules& rules() const { return m_rules; }

    // Loads the E00 files with the rules into the features (as Load E00
    // File does after its dialog), then updates the views with kFeaturesChanged.
    std::vector<E00LoadReport> LoadE00Files(const QStringList& paths, Progress& progress, UserPrompts& prompts);
    // Loads each layer with the rules, in order (as Load Vector Data does
    // after its questions), off this thread under progress (see RunInBackground), then
    // adds what they gave to the features and updates the views with kFeaturesChanged.
    // Nothing, and no feature added, when the loading was left after a Cancel.
    std::optional<std::vector<gdalio::VectorLoadReport>> LoadVectorLayers(
        const std::vector<gdalio::VectorLoadRequest>& requests, ProgressDialog& progress, UserPrompts& prompts);
    // The files and layers loaded so far, in load order, as a theater project keeps them:
    // an E00 file whose coverage a rule names (read whole or in part, not cancelled), a
    // vector layer with the rule it loaded under. Delete Features forgets them; a rules
    // edit renumbers them and forgets those whose rule went.
    std::vector<ProjectLayer> layers() const;
    // A layer loaded, with an E00 file's coverage.
    struct LoadedLayer {
        ProjectLayer layer;
        std::string coverage;
        bool operator==(const LoadedLayer&) const = default;
    };
    // The features with the layers they came from, as undo keeps them, and the rules
    // they are numbered by.
    struct FeatureState {
        std::vector<Feature> features;
        std::vector<LoadedLayer> layers;
        E00Rules rules;
        bool operator==(const FeatureState&) const = default;
    };
    FeatureState featureState() const;
    // Puts the features and layers back as they were, on the rules now in use by
    // equality (RenumberingByEquality), and updates the views with kFeaturesChanged.
    void restoreFeatures(const FeatureState& state);

    // The changes to the theaters of the document's windows, for Undo and Redo.
    QUndoStack* undoStack() { return &m_undo; }

    // Delete Features: empties the features and updates the views with kFeaturesChanged.
    void DeleteFeatures();
    // The rules were edited: the features follow their rules to their new rows, those
    // whose rule was deleted are dropped (CGridwrightDoc::RenumberRules), and the views
    // update with kFeaturesChanged. Returns how many were dropped.
    std::size_t RenumberRules(const RuleRenumbering& renumbering);

signals:
    // The views must update: kFeaturesChanged when only the features changed, 0 when
    // everything did (the document was opened).
    void updated(int hint);

private:
    const E00Rules& m_rules;
    std::vector<LoadedLayer> m_layers;
    QUndoStack m_undo;
    CGridwrightDoc m_doc;
    QString m_path;
};

}  // namespace gw
