#include "gui/generate/GenerateCommand.h"

#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "gui/common/UserChoices.h"
#include "core/dem/DemHeader.h"
#include "core/document/GridwrightDoc.h"
#include "core/generate/L2Writer.h"
#include "core/generate/TerrainPath.h"
#include "core/generate/TheaterSummary.h"
#include "core/layout/TheaterLayout.h"

#include <QFileInfo>
#include <QObject>

#include <algorithm>

namespace gw {
namespace {

void Warn(const CommandContext& context, const QString& text) {
    context.choices.ShowMessage(context.window, text, UserChoices::MessageKind::kWarning);
}

// Says why the run failed, or shows what it wrote and found.
void ReportRun(const GenerateContext& run, const BuildOptions& options, const GenerateReport& report,
               const TerrainResults& results, const std::string& terrainPath, const CommandContext& context) {
    const auto failed = std::find_if(report.jobs.begin(), report.jobs.end(), [](const JobReport& job) {
        return job.result.outcome == WriteResult::Outcome::kFailed;
    });
    if (failed != report.jobs.end()) {
        Warn(context, QString::fromStdString(failed->result.message));
        return;
    }
    context.choices.ShowTheaterBuilt(context.window, SummariseRun(run, options, report, results),
                                     QFileInfo(QString::fromStdString(terrainPath)).absolutePath());
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
    options = source.choices.options.value_or(options);
    if (!source.headerPath.empty()) {
        options.inputs = {{source.headerPath, "the DEM header"}, {RasterPathFor(source.headerPath), "the DEM raster"}};
    }
    if (!context.choices.EditBuildOptions(context.window, options)) return std::nullopt;
    source.choices.options = options;
    const QString chosen = context.choices.ChooseSaveFile(
        context.window,
        {QObject::tr("Create L2 File"), {"L2 files (*.l2)", "All Files (*)"}, "l2", source.choices.terrainPath});
    if (chosen.isEmpty()) return std::nullopt;
    source.choices.terrainPath = chosen;
    const std::string terrainPath = chosen.toStdString();
    if (const Status named = CheckTerrainPath(terrainPath); !named.ok()) {
        Warn(context, QString::fromStdString(named.message()));
        return std::nullopt;
    }

    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    prompts.setPalette(source.choices.palette);
    const GenerateContext run{source.doc, source.layout, source.heights, source.rules, source.objectiveRules,
                              random,     progress,      prompts};
    GenerateReport report = RunGenerate(run, options, terrainPath, source.results, DefaultWorkerCount());
    progress.DestroyWindow();
    source.choices.palette = prompts.palette();
    ReportRun(run, options, report, source.results, terrainPath, context);
    return report;
}

}  // namespace gw
