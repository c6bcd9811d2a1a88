#pragma once

// The steps the commands share: saying what went wrong, opening the DEM, laying out the
// theater from the command line, choosing the E00 rules and loading the features.

#include "cli/Commands.h"
#include "cli/Fields.h"
#include "cli/TerminalFace.h"
#include "core/document/GridwrightDoc.h"
#include "core/features/E00Rules.h"
#include "core/generate/Generate.h"
#include "core/project/TheaterProject.h"
#include "core/layout/RgbImage.h"
#include "core/layout/TheaterLayout.h"
#include "core/objectives/ObjectiveRules.h"
#include "core/util/RunFiles.h"
#include "core/util/Status.h"
#include "core/util/StatusOr.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw::cli {

// Prints "gridwright-cli: message" to stderr, for a failure told while the command goes
// on.
void Tell(const std::string& message);
// Prints "gridwright-cli: warning: message" to stderr.
void Warn(const std::string& message);
// Loads the objective rules of a ".obr" file, warning when it holds none.
Status LoadObjectiveRulesFile(const std::string& path, ObjectiveRuleSet& rules);
// "A,B" split at its one comma; false when it has none or more than one.
bool SplitPair(const std::string& text, std::string& a, std::string& b);

// Writes the picture as a PNG file whole or not at all, as every other output is written.
Status SavePng(const RgbImage& picture, const std::string& path);

// A failure that has been told already: its message is empty.
inline Status Told() { return Status::IOError(""); }

// Opens the DEM; the failure says "cannot open DEM PATH: why".
Status OpenDem(const std::string& path, CGridwrightDoc& doc);

// The layout as the form shows it once the DEM is open.
TheaterLayout StartingLayout(const CGridwrightDoc& doc);

// Applies --segments, --unit, --resolution and --center through the form's handler
// rules, in the order a user would set them; a Usage failure, saying why, when one is
// malformed or the layout cannot be built.
Status ApplyArgs(const GenerateArgs& args, TheaterLayout& layout);

// Puts a project's layout values into layout: a Usage failure when it cannot be built.
Status ApplyProjectLayout(const ProjectLayout& values, TheaterLayout& layout);

// The theater project of a generate run: its inputs, the layout, rules, heights and
// objective rules it used and the options it built with.
TheaterProject ProjectOfRun(const GenerateArgs& args, const TheaterLayout& layout, const E00Rules& rules,
                            const HeightTable& heights, const BuildOptions& options,
                            const ObjectiveRuleSet& objectiveRules);

// Loads the rules the choice names; source says where they came from.
Status LoadRules(const RulesChoice& choice, E00Rules& rules, std::string& source);

// Takes a --vector value apart. File names may hold ',' and '=': the file is the longest
// beginning of the value, ending at a ',' or '=' or at its end, that names an existing
// file or folder (when none does, the rule follows the last '=' and the layer the last
// ',' before it). After the file, ",LAYER" then "=RULE", RULE after the last '='. Fails,
// with the reason, when the file, the layer after a ',' or the rule after a '=' is empty.
StatusOr<VectorSpec> ParseVectorSpec(const std::string& text);
// The source's vector layer: its spec, or its value taken apart.
StatusOr<VectorSpec> VectorSpecOf(const FeatureSource& source);

// Checks the feature sources before anything is written: each E00 file opens, each
// --vector value is well formed (a Usage failure when not) and its file or folder exists.
Status CheckFeatureSources(const std::vector<FeatureSource>& sources);

// Every file the command reads, with the part it plays: the DEM header and raster, the
// palette, the E00 files, the vector sources with their side files, and the E00 and
// objective rules files. REQUIRES: the --vector values are well formed.
std::vector<RunInput> InputsOf(const GenerateArgs& args);

// Refuses, as a bad command line, outputs that are among the command's inputs.
Status CheckOutputsApart(const GenerateArgs& args, const std::vector<std::string>& outputs);

// What the loading of the E00 files and vector layers gave.
struct LoadedFeatures {
    // Told() when an E00 file did not parse or matched no rule or a layer did not load;
    // else Cancelled when the user cancelled one file's or layer's loading; else ok.
    Status status;
    std::vector<Fields> files;
    std::vector<Fields> layers;
};

// Loads the --e00 files and --vector layers into the document in the order given, with
// the rules, saying what went wrong with each (and, unless args.json, what
// each gave). A source that fails is told and the next one is still loaded.
LoadedFeatures LoadFeatures(const GenerateArgs& args, const E00Rules& rules, CGridwrightDoc& doc, TerminalProgress& progress,
                            TerminalPrompts& prompts);

}  // namespace gw::cli
