#pragma once

// The steps the commands share: saying what went wrong, opening the DEM, laying out the
// theater from the command line, choosing the E00 rules and loading the features.

#include "Commands.h"
#include "Fields.h"
#include "TerminalFace.h"
#include "document/GridwrightDoc.h"
#include "features/E00Rules.h"
#include "layout/TheaterLayout.h"
#include "util/Status.h"

#include <string>
#include <vector>

namespace gw::cli {

// Prints "gridwright-cli: message" to stderr; returns status.
int Fail(int status, const std::string& message);
// Prints "gridwright-cli: warning: message" to stderr.
void Warn(const std::string& message);

// Opens the DEM, saying why when it cannot.
bool OpenDem(const std::string& path, CGridwrightDoc& doc);

// The layout as the form shows it once the DEM is open.
TheaterLayout StartingLayout(const CGridwrightDoc& doc);

// Applies --segments, --unit, --resolution and --center through the form's handler
// rules, in the order a user would set them; false, having said why, when one is
// malformed or the layout cannot be built.
bool ApplyArgs(const GenerateArgs& args, TheaterLayout& layout);

// Loads the rules the choice names; source says where they came from.
Status LoadRules(const RulesChoice& choice, E00Rules& rules, std::string& source);

// What the loading of the E00 files gave.
struct LoadedFeatures {
    bool allLoaded = true;   // every file parsed and matched a rule
    bool cancelled = false;  // the user cancelled one file's loading
    std::vector<Fields> files;
};

// Loads the --e00 files into the document with the rules in g_e00Rules, saying what
// went wrong with each (and, unless args.json, what each gave).
LoadedFeatures LoadFeatures(const GenerateArgs& args, CGridwrightDoc& doc, TerminalProgress& progress,
                            TerminalPrompts& prompts);

}  // namespace gw::cli
