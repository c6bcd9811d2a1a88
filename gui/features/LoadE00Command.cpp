#include "gui/features/LoadE00Command.h"

#include "gui/common/GuiDocument.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "gui/common/UserChoices.h"
#include "gui/common/WaitCursor.h"

namespace gw {

void LoadE00File(GuiDocument& document, const CommandContext& context) {
    const QStringList paths =
        context.choices.ChooseOpenFiles(context.window, {QObject::tr("Open"), {"Arc/Info Files (*.e00)", "All Files (*)"}, {}});
    if (!paths.isEmpty()) LoadE00Paths(document, paths, context);
}

void LoadE00Paths(GuiDocument& document, const QStringList& paths, const CommandContext& context) {
    WaitCursor wait;
    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    for (const E00LoadReport& report : document.LoadE00Files(paths, progress, prompts)) {
        for (const std::string& problem : report.problems) prompts.ShowMessage(problem);
    }
}

}  // namespace gw
