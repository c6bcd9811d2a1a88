#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gw::cli {

// Prints every header field, the raster's extent and the layout the form starts from.
int RunInfo(const std::string& headerPath);

// Prints what the E00 reader holds after parsing the file, as text or as JSON; a file
// that fails to parse is printed as far as it was read, then the reason.
int RunE00(const std::string& path, bool json);

// Prints the objective rules a ".obr" file yields, or the default rules.
int RunObr(const std::optional<std::string>& path);

struct GenerateArgs {
    std::string header;
    std::string output;
    std::optional<std::string> segments;    // "X" or "X,Y"
    std::optional<std::string> unit;        // nm, mi, km, ft, m
    std::optional<std::string> resolution;  // in the unit
    std::optional<std::string> center;      // "LAT,LON"
    std::optional<std::string> palette;
    std::vector<std::string> e00Files;
    std::optional<bool> tdf;  // default: when features were loaded
    bool builtinRules = false;
    bool objectives = false;
    std::optional<std::string> obr;
    bool large = false;
    bool noMea = false;
    bool noDescription = false;
    bool quiet = false;
};

// Generates the theater as the Generate command does after its dialogs. Returns the
// exit status: 0 when every requested file was written.
int RunGenerateCommand(const GenerateArgs& args);

// preview: the picture the layout form shows.
struct PreviewArgs {
    GenerateArgs form;  // the DEM, the PNG to write, the layout and the E00 files, as generate takes them
    std::optional<std::string> height;  // pixels; the width follows in proportion
    bool noFeatures = false;
    bool noOutline = false;
};

// Writes the map preview as a PNG picture: the elevation picture at the size the form
// gives it (or at --height, in proportion), the feature overlay and the theater's
// outline and cross. Returns the exit status.
int RunPreviewCommand(const PreviewArgs& args);

}  // namespace gw::cli
