#include "gui/project/ProjectCommands.h"

#include "gui/common/GuiDocument.h"
#include "gui/common/UserChoices.h"
#include "gui/features/LoadE00Command.h"
#include "gui/features/LoadVectorCommand.h"
#include "gui/layout/GridwrightView.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

namespace gw {
namespace {

// The file beside base named as base with another suffix.
QString Beside(const QString& base, const QString& suffix) {
    const QFileInfo file(base);
    return file.dir().filePath(file.completeBaseName() + '.' + suffix);
}

}  // namespace

bool IsProjectPath(const QString& path) { return QFileInfo(path).suffix().compare(kProjectSuffix, Qt::CaseInsensitive) == 0; }

TheaterProject ProjectOfView(const CGridwrightView& view, const E00Rules& rules, const QString& projectPath) {
    const GenerateChoices& choices = view.generateChoices();
    BuildOptions options;
    options.tdf = !view.document()->doc().features().empty();
    options = choices.options.value_or(options);
    TheaterProject project;
    project.dem = view.document()->path().toStdString();
    project.layout = LayoutValues(view.layout(), options.large);
    project.layers = view.document()->layers();
    project.rules = rules;
    project.heights = view.heights().rows();
    if (!view.objectiveRules().m_path.empty()) project.objectiveRules = view.objectiveRules().m_path;
    project.objectiveSettings = SettingsOf(view.objectiveRules());
    project.palette = choices.palette;
    project.output = (choices.terrainPath.isEmpty() ? Beside(projectPath, "l2") : choices.terrainPath).toStdString();
    // The MAP file is built only with a palette chosen.
    project.build = {options.mea, options.description, options.map && choices.palette.has_value(), options.tdf,
                     options.objectives};
    return project;
}

bool IsTheaterModified(const CGridwrightView& view, const E00Rules& rules) {
    return ProjectOfView(view, rules, view.projectPath()) != view.savedTheater();
}

void MarkTheaterSaved(CGridwrightView& view, const E00Rules& rules) {
    view.setSavedTheater(ProjectOfView(view, rules, view.projectPath()));
}

bool SaveTheater(CGridwrightView& view, const E00Rules& rules, bool askName, const CommandContext& context) {
    QString path = view.projectPath();
    if (askName || path.isEmpty()) {
        const QString initial = path.isEmpty() ? Beside(view.document()->path(), kProjectSuffix) : path;
        path = context.choices.ChooseSaveFile(
            context.window, {QObject::tr("Save Theater"), {"Theater projects (*.gwtheater)", "All Files (*)"},
                             kProjectSuffix, initial});
        if (path.isEmpty()) return false;
    }
    const Status saved = SaveTheaterProject(ProjectOfView(view, rules, path), path.toStdString());
    if (!saved.ok()) {
        context.choices.ShowMessage(context.window,
                                    QObject::tr("The theater could not be saved: %1").arg(QString::fromStdString(saved.message())),
                                    UserChoices::MessageKind::kWarning);
        return false;
    }
    view.setProjectPath(path);
    MarkTheaterSaved(view, rules);
    return true;
}

void RestoreTheater(const TheaterProject& project, CGridwrightView& view, const CommandContext& context) {
    // Runs of E00 files, and of vector layers, load together, in the project's order.
    GuiDocument& document = *view.document();
    for (auto layer = project.layers.begin(); layer != project.layers.end();) {
        const auto run = std::find_if(layer, project.layers.end(),
                                      [&](const ProjectLayer& next) { return next.vector != layer->vector; });
        if (layer->vector) {
            std::vector<gdalio::VectorLoadRequest> requests;
            for (auto l = layer; l != run; ++l) requests.push_back({l->path, l->layer, l->rule});
            LoadVectorRequests(document, requests, context);
        } else {
            QStringList files;
            for (auto l = layer; l != run; ++l) files << QString::fromStdString(l->path);
            LoadE00Paths(document, files, context);
        }
        layer = run;
    }

    // The layout after the layers: loading features takes the title from the DEM.
    view.setLayoutValues(project.layout);
    view.setHeights(HeightTable(project.heights));
    if (project.objectiveRules) {
        if (const Status loaded = view.objectiveRules().LoadObjectiveRules(*project.objectiveRules); !loaded.ok()) {
            context.choices.ShowMessage(context.window, QString::fromStdString(loaded.message()),
                                        UserChoices::MessageKind::kWarning);
        }
    }
    if (project.objectiveSettings) ApplyObjectiveSettings(*project.objectiveSettings, view.objectiveRules());
    view.refreshStatusTexts();
    BuildOptions options;
    options.mea = project.build.mea;
    options.description = project.build.description;
    options.map = project.build.map;
    options.large = project.layout.large;
    options.tdf = project.build.tdf;
    options.objectives = project.build.objectives;
    view.generateChoices() = {options, QString::fromStdString(project.output), project.palette};
}

}  // namespace gw
