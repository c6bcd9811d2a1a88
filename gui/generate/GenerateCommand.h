#pragma once

#include "gui/common/CommandContext.h"
#include "core/generate/Generate.h"

#include <QString>

#include <optional>
#include <string>

namespace gw {

class CGridwrightDoc;
class CRandom;
class HeightTable;
class ObjectiveRuleSet;
class TheaterLayout;

// Where a window's Generate runs start, as its theater project keeps it: the Build
// Terrain choices (none yet: the dialog's defaults), the terrain file and the palette
// chosen last.
struct GenerateChoices {
    std::optional<BuildOptions> options;
    QString terrainPath;
    std::optional<std::string> palette;
};

// What a Generate run reads from the view that asks for it, as it stands, and where
// the terrain writer's figures and the user's choices go.
struct GenerateSource {
    const CGridwrightDoc& doc;
    const TheaterLayout& layout;
    const HeightTable& heights;
    const E00Rules& rules;
    const ObjectiveRuleSet& objectiveRules;
    TerrainResults& results;
    GenerateChoices& choices;
    std::string headerPath = {};  // the DEM's, which no output may replace
};

// Generate Terrain. A layout the writers cannot build (no segments, no resolution) is
// refused with a message before any dialog. Then the Build Terrain dialog (on the
// source's choices; first, TDF files ticked when the document holds features) and the
// "Create L2 File" dialog (on the terrain file chosen last), both remembered; a name
// without ".l2" is refused with a message. The writers run under the progress dialog
// with random, the program's generator; the palette is asked for there when the MAP
// file is ticked. A failed run says why. The report of the run, or nothing when the
// user cancelled a dialog or the command was refused.
std::optional<GenerateReport> GenerateTerrain(const GenerateSource& source, CRandom& random,
                                              const CommandContext& context);

}  // namespace gw
