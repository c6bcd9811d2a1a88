#include "features/LoadE00Command.h"

#include "app/GuiDocument.h"
#include "app/GuiPrompts.h"
#include "app/ProgressDialog.h"
#include "app/UserChoices.h"
#include "app/WaitCursor.h"

namespace gw {

void LoadE00File(GuiDocument& document, const CommandContext& context) {
    const QStringList paths =
        context.choices.ChooseOpenFiles(context.window, {QObject::tr("Open"), {"Arc/Info Files (*.e00)", "All Files (*)"}, {}});
    if (paths.isEmpty()) return;
    WaitCursor wait;
    ProgressDialog progress(context.window);
    progress.Create();
    GuiPrompts prompts(context.choices, &progress);
    document.LoadE00Files(paths, progress, prompts);
}

}  // namespace gw
