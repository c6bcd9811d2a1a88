#pragma once

// The steps the commands share: saying what went wrong, opening the DEM, laying out the
// theater from the command line, choosing the E00 rules and loading the features.

#include "cli/Commands.h"
#include "cli/Fields.h"
#include "cli/TerminalFace.h"
#include "core/document/GridwrightDoc.h"
#include "core/features/E00Rules.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/Status.h"

#include <optional>
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

// A --vector value taken apart: "FILE[,LAYER][=RULE]".
struct VectorSpec {
    std::string path;
    std::string layer;                // empty: the source's only layer
    std::optional<std::string> rule;  // empty: the rule whose File names the layer or file
};

// Takes a --vector value apart. File names may hold ',' and '=': the file is the longest
// beginning of the value, ending at a ',' or '=' or at its end, that names an existing
// file or folder (when none does, the rule follows the last '=' and the layer the last
// ',' before it). After the file, ",LAYER" then "=RULE", RULE after the last '='. False,
// with the reason, when the file, the layer after a ',' or the rule after a '=' is empty.
bool ParseVectorSpec(const std::string& text, VectorSpec& spec, std::string& why);

// Checks the feature sources before anything is written: each E00 file opens, each
// --vector value is well formed and its file or folder exists. 0, having said nothing,
// or the exit status, having said why.
int CheckFeatureSources(const std::vector<FeatureSource>& sources);

// What the loading of the E00 files and vector layers gave.
struct LoadedFeatures {
    bool allLoaded = true;   // every E00 file parsed and matched a rule, every layer loaded
    bool cancelled = false;  // the user cancelled one file's or layer's loading
    std::vector<Fields> files;
    std::vector<Fields> layers;
};

// Loads the --e00 files and --vector layers into the document in the order given, with
// the rules in g_e00Rules, saying what went wrong with each (and, unless args.json, what
// each gave). A source that fails is told and the next one is still loaded.
LoadedFeatures LoadFeatures(const GenerateArgs& args, CGridwrightDoc& doc, TerminalProgress& progress,
                            TerminalPrompts& prompts);

}  // namespace gw::cli
