#pragma once

#include "gdalio/VectorSource.h"
#include "gui/common/CommandContext.h"

#include <QStringList>

#include <vector>

namespace gw {

class GuiDocument;

// Load Vector Data: the user picks one or more vector files of any format GDAL reads.
// Every layer of each file loads into document's features under the E00 rule that names
// it (the layer or the file), or, when none does, under the rule the user chooses for
// it; a layer the user skips loads nothing. The layers load in order under the wait
// cursor and the progress dialog, whose Cancel ends the layer it interrupts (the next one
// still loads). A file that cannot be read, and a layer that fails, are told in message
// boxes naming them; what GDAL warned of while loading, in one more. Nothing happens when
// the user cancels the file dialog.
void LoadVectorData(GuiDocument& document, const CommandContext& context);
// What Load Vector Data does once the files are picked (vector files dropped on a window).
void LoadVectorPaths(GuiDocument& document, const QStringList& paths, const CommandContext& context);
// Loads the layers asked for, as Load Vector Data does once their rules are known.
void LoadVectorRequests(GuiDocument& document, const std::vector<gdalio::VectorLoadRequest>& requests,
                        const CommandContext& context);

}  // namespace gw
