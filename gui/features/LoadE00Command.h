#pragma once

#include "gui/common/CommandContext.h"

#include <QStringList>

namespace gw {

class GuiDocument;

// Load E00 File: the user picks one or more ".e00" files, which are loaded in the order
// picked into document's features under the wait cursor and the progress dialog; a
// message box names each file that could not be read whole or matched no rule, and why. Nothing happens when the user
// cancels the file dialog.
void LoadE00File(GuiDocument& document, const CommandContext& context);
// What Load E00 File does once the files are picked (E00 files dropped on a window).
void LoadE00Paths(GuiDocument& document, const QStringList& paths, const CommandContext& context);

}  // namespace gw
