#pragma once

#include "core/features/E00Rules.h"
#include "core/project/TheaterProject.h"
#include "gui/common/CommandContext.h"

#include <QString>

namespace gw {

class CGridwrightView;

// The suffix of theater projects, and whether path names one.
inline const QString kProjectSuffix = QStringLiteral("gwtheater");
bool IsProjectPath(const QString& path);

// The theater of a window as a project: its DEM, layout, layers, height table, objective
// rules and Generate choices, with rules, the program's E00 rules. A window that has not
// generated yet builds the project's name with ".l2" for ".gwtheater", with the Build
// Terrain defaults.
TheaterProject ProjectOfView(const CGridwrightView& view, const E00Rules& rules, const QString& projectPath);

// Whether the window's theater differs from the one it last opened or saved, and the
// theater as it is taken as the saved one.
bool IsTheaterModified(const CGridwrightView& view, const E00Rules& rules);
void MarkTheaterSaved(CGridwrightView& view, const E00Rules& rules);

// Save Theater: writes the window's theater to its project, asking for the file first
// when it has none or when `askName` (Save Theater As); a failure is told. True when the
// project was written; the window then keeps its path, and the theater is saved.
bool SaveTheater(CGridwrightView& view, const E00Rules& rules, bool askName, const CommandContext& context);

// Puts a project into a window just opened on its DEM: loads its layers in order under
// the progress dialog, telling what went wrong with any of them; then the layout, the
// height table, the objective rules and the Generate choices.
void RestoreTheater(const TheaterProject& project, CGridwrightView& view, const CommandContext& context);

}  // namespace gw
