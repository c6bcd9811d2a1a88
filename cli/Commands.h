#pragma once

#include "core/features/E00Rules.h"
#include "core/layout/HeightTable.h"
#include "core/project/TheaterProject.h"
#include "core/util/Status.h"

#include <optional>
#include <string>
#include <vector>

namespace gw::cli {

// Every command returns its outcome. A failure's message, when not empty, is still to be
// told; one already told on the way has none.

// The program's exit status for an outcome: 0 when ok (every requested file written),
// 130 for a job cancelled by the user, 2 for a bad command line (Usage) and 1 for any
// other failure; whatever the outcome, 143 or 129 once SIGTERM or SIGHUP ended the run.
int ExitStatus(const Status& outcome);

// Prints every header field, the raster's extent and the layout the form starts from,
// as "name: value" lines or one JSON object; with stats, also the lowest and highest
// value the raster really holds.
Status RunInfo(const std::string& headerPath, bool json, bool stats);

// Prints what the E00 reader holds after parsing the file, as text or as JSON; a file
// that fails to parse is printed as far as it was read, then the reason. Also prints
// the extent of the arcs' points and of the labels and, given a DEM, how many of each
// lie on it (a DEM that cannot be opened ends the command first).
Status RunE00(const std::string& path, bool json, const std::optional<std::string>& dem = std::nullopt);

// Prints the objective rules a ".obr" file yields, or the default rules.
Status RunObr(const std::optional<std::string>& path);

// Where a command's E00 rules come from: the per-user store (or the built-in rules
// when it holds none), the built-in rules, or an INI file of the stored format.
struct RulesChoice {
    bool builtin = false;
    std::optional<std::string> file;
    std::optional<E00Rules> given;  // a theater project's, written in full
};

// Prints the E00 rules in effect and where they came from.
Status RunRules(const RulesChoice& choice, bool json);

// Prints the layers of a vector source GDAL reads: name, geometry type, feature count,
// fields, coordinate system, extent in WGS 84 and the E00 rule each maps to by name.
Status RunVector(const std::string& path, const RulesChoice& rules, bool json);

// A --vector value taken apart: "FILE[,LAYER][=RULE]".
struct VectorSpec {
    std::string path;
    std::string layer;                // empty: the source's only layer
    std::optional<std::string> rule;  // empty: the rule whose File names the layer or file
    std::optional<std::int32_t> ruleIndex = {};  // a project's layer: the rule's row, named already
};

// One --e00 file or --vector layer ("FILE[,LAYER][=RULE]") to load, in command-line order.
struct FeatureSource {
    bool vector = false;
    std::string value;
    std::optional<VectorSpec> spec = {};  // a project's vector layer, taken apart already
};

struct GenerateArgs {
    std::string header;
    std::string output;
    std::optional<std::string> segments;    // "X" or "X,Y"
    std::optional<std::string> unit;        // nm, mi, km, ft, m
    std::optional<std::string> resolution;  // in the unit
    std::optional<std::string> center;      // "LAT,LON"
    std::optional<std::string> palette;
    std::vector<FeatureSource> featureSources;
    std::optional<bool> tdf;  // default: when features were loaded
    RulesChoice rules;
    bool objectives = false;
    std::optional<std::string> obr;
    bool large = false;
    bool noMea = false;
    bool noDescription = false;
    bool quiet = false;
    bool json = false;
    std::optional<std::string> saveTheater;  // the project of the run, written when it succeeds
    // A project's layout and height table, in place of the layout options and the
    // default heights.
    std::optional<ProjectLayout> layout;
    std::optional<std::vector<HeightRow>> heights;
    std::optional<ObjectiveSettings> objectiveSettings;  // over those of the objective rules
};

// Generates the theater as the Generate command does after its dialogs, then prints a
// summary; with saveTheater, then saves the run as a theater project.
Status RunGenerateCommand(const GenerateArgs& args);

// What build takes: the project, and where to put the theater instead of its own output.
struct BuildArgs {
    std::string project;
    std::optional<std::string> output;
    bool quiet = false;
    bool json = false;
};

// Builds a theater project: the files, summary, warnings and outcome of the generate
// command line it stands for. A project that cannot be read is told first.
Status RunBuildCommand(const BuildArgs& args);

// What the preview command takes: the DEM, the PNG to write, the layout and the E00
// files and vector layers as generate takes them, and the picture's height.
struct PreviewArgs {
    GenerateArgs form;
    std::optional<std::string> height;  // pixels; the width follows in proportion
    bool noFeatures = false;
    bool noOutline = false;
};

// Writes the map preview as a PNG picture: the elevation picture at the size the form
// gives it (or at --height, in proportion), the feature overlay and the theater's
// outline and cross.
Status RunPreviewCommand(const PreviewArgs& args);

// What import-dem takes: the sources and then the header to write, and the options as
// typed (checked by the command).
struct ImportDemArgs {
    std::vector<std::string> files;  // SRC... OUT.hdr
    std::optional<std::string> bounds;      // "WEST,SOUTH,EAST,NORTH"
    std::optional<std::string> spacing;     // degrees
    std::optional<std::string> title;
    std::optional<std::string> resampling;  // bilinear, average, nearest, cubic
};

// Imports rasters that GDAL reads into a DEM, showing progress, then prints a summary:
// the files written, the grid, the share of posts without data, the clamped posts and
// the lowest and highest post.
Status RunImportDemCommand(const ImportDemArgs& args);

// What inspect takes: the tile file, its size and format where no description gives
// them, and what else to do.
struct ReadBackArgs {
    std::string terrain;
    std::optional<std::string> segments;  // "X" or "X,Y"
    bool large = false;
    bool json = false;
    std::optional<std::string> png;
    std::optional<std::string> against;  // another tile file
    RulesChoice rules;                   // the features' colours in the picture
};

// Reads a built theater back and prints what its files hold and each problem found;
// with png, writes the terrain one pixel a tile; with against, which segments differ
// from another theater's. A problem found is a failure already told.
Status RunReadBackCommand(const ReadBackArgs& args);

}  // namespace gw::cli
