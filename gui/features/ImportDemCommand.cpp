#include "gui/features/ImportDemCommand.h"

#include "gui/common/BackgroundJob.h"
#include "gui/common/DocumentManager.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "gui/common/UserChoices.h"
#include "gui/common/WaitCursor.h"
#include "gui/features/GdalWarnings.h"
#include "gui/features/ImportDemDialog.h"

#include <QObject>

#include <memory>

namespace gw {

std::optional<ImportedDem> ImportDemFile(const DocumentManager& documents, const CommandContext& context) {
    ImportDemDialog dialog(context.choices, context.window);
    QString header;
    while (dialog.exec() == QDialog::Accepted) {
        header = QString::fromStdString(dialog.options().output);
        // The open document keeps the raster it mapped, so it would go on showing the old
        // heights under the new header's name.
        if (!documents.Find(header)) break;
        context.choices.ShowMessage(
            context.window,
            QObject::tr("%1 is open in a window. Close it before importing over it, or choose another output header.")
                .arg(header),
            UserChoices::MessageKind::kWarning);
        header.clear();
    }
    if (header.isEmpty()) return std::nullopt;

    // The import runs off this thread and owns what it works on: left after a Cancel, it
    // ends on its own and puts nothing in place.
    struct Import {
        gdalio::DemImportOptions options;
        gdalio::DemImportReport report;
        Status status;
    };
    auto import = std::make_shared<Import>();
    import->options = dialog.options();
    {
        WaitCursor wait;
        ProgressDialog progress(context.window);
        progress.Create();
        GuiPrompts prompts(context.choices, &progress);
        const bool ended = RunInBackground(progress, prompts, [import](Progress& p, UserPrompts& q) {
            import->status = gdalio::ImportDem(import->options, p, q, import->report);
        });
        if (!ended) return std::nullopt;
    }
    ImportedDem imported{header, import->report};
    const Status status = import->status;
    if (status.IsCancelled()) return std::nullopt;
    if (!status.ok()) {
        context.choices.ShowMessage(context.window, QString::fromStdString(status.message()),
                                    UserChoices::MessageKind::kWarning);
        return std::nullopt;
    }
    if (const QString warnings = GdalWarningsText(QObject::tr("GDAL warned while importing %1:").arg(header),
                                                  ToStringList(imported.report.warnings));
        !warnings.isEmpty()) {
        context.choices.ShowMessage(context.window, warnings, UserChoices::MessageKind::kInformation);
    }
    return imported;
}

QString ImportSummary(const ImportedDem& imported) {
    const gdalio::DemImportReport& report = imported.report;
    const double noData = report.posts ? 100.0 * double(report.noDataPosts) / double(report.posts) : 0.0;
    QString summary = QObject::tr("Imported %1: %2 posts, %3% without data")
                          .arg(imported.header)
                          .arg(report.posts)
                          .arg(noData, 0, 'g', 3);
    if (report.clampedPosts) {
        summary += QObject::tr(", %1 posts clamped to the 16-bit range").arg(report.clampedPosts);
    }
    return summary;
}

}  // namespace gw
