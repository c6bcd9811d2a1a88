#include "gui/generate/GenerateCommand.h"

#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "gui/common/UserChoices.h"
#include "core/dem/DemHeader.h"
#include "core/document/GridwrightDoc.h"
#include "core/features/E00Rules.h"
#include "core/generate/L2Writer.h"
#include "core/generate/TerrainPath.h"
#include "core/layout/TheaterLayout.h"

#include <QObject>
#include <QStringList>

#include <algorithm>

namespace gw {
namespace {

void Warn(const CommandContext& context, const QString& text) {
    context.choices.ShowMessage(context.window, text, UserChoices::MessageKind::kWarning);
}

// Says why the run failed, or which files the path could not name.
void ReportRun(const GenerateReport& report, const std::string& terrainPath, const CommandContext& context) {
    const auto failed = std::find_if(report.jobs.begin(), report.jobs.end(), [](const JobReport& job) {
        return job.result.outcome == WriteResult::Outcome::kFailed;
    });
    if (failed != report.jobs.end()) {
        Warn(context, QString::fromStdString(failed->result.message));
        return;
    }
    const bool unnamed = std::any_of(report.jobs.begin(), report.jobs.end(), [](const JobReport& job) {
        return job.result.outcome == WriteResult::Outcome::kNotNamed;
    });
    if (unnamed && NamesOnlyTerrainFiles(terrainPath)) {
        Warn(context, QObject::tr("Only the tile and index files were written: the names of the other files are "
                                  "made by replacing \".l2\", in lower case, in the terrain file's name."));
    }
    const auto listed = [](const std::vector<std::string>& paths) {
        QStringList lines;
        for (const std::string& path : paths) lines << QString::fromStdString(path);
        return lines.join('\n');
    };
    if (const std::vector<std::string> kept = report.kept(); !kept.empty()) {
        Warn(context,
             QObject::tr("Cancelled: these files were kept as the earlier run wrote them:\n%1").arg(listed(kept)));
    }
    if (!report.earlierFiles.empty()) {
        Warn(context, QObject::tr("These files beside the theater are from an earlier run; this run did not write "
                                  "them:\n%1").arg(listed(report.earlierFiles)));
    }
    if (!report.notes.empty()) {
        context.choices.ShowMessage(context.window, listed(report.notes), UserChoices::MessageKind::kInformation);
    }
}

}  // namespace

std::optional<GenerateReport> GenerateTerrain(const GenerateSource& source, CRandom& random,
                                              const CommandContext& context) {
    if (const Status usable = source.layout.ValidateForGenerate(); !usable.ok()) {
        Warn(context, QString::fromStdString(usable.message()));
        return std::nullopt;
    }
    BuildOptions options;
    options.tdf = !source.doc.features().empty();
    if (!source.headerPath.empty()) {
        options.inputs = {{source.headerPath, "the DEM header"}, {RasterPathFor(source.headerPath), "the DEM raster"}};
    }
    if (!context.choices.EditBuildOptions(context.window, options)) return std::nullopt;
    const QString chosen = context.choices.ChooseSaveFile(
        context.window, {QObject::tr("Create L2 File"), {"L2 files (*.l2)", "All Files (*)"}, "l2"});
    if (chosen.isEmpty()) return std::nullopt;
    const std::string terrainPath = chosen.toStdString();
    if (const Status named = CheckTerrainPath(terrainPath); !named.ok()) {
        Warn(context, QString::fromStdString(named.message()));
        return std::nullopt;
    }

    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    const GenerateContext run{source.doc, source.layout, source.heights, source.rules, source.objectiveRules,
                              random,     progress,      prompts};
    GenerateReport report = RunGenerate(run, options, terrainPath, source.results, DefaultWorkerCount());
    progress.DestroyWindow();
    ReportRun(report, terrainPath, context);
    return report;
}

}  // namespace gw
