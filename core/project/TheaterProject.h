#pragma once

#include "core/features/E00Rules.h"
#include "core/layout/HeightTable.h"
#include "core/objectives/ObjectiveRules.h"
#include "core/util/Status.h"
#include "core/util/StatusOr.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

class TheaterLayout;

// The format version this program writes, and the newest it reads.
inline constexpr std::int32_t kProjectFormatVersion = 1;
// Projects are small texts; anything larger is refused unread.
inline constexpr std::size_t kMaxProjectBytes = 16 << 20;

// The layout form's own values: the rest of a layout is derived from them.
struct ProjectLayout {
    std::string title;
    std::int32_t segmentsX = 64;
    std::int32_t segmentsY = 64;
    bool square = true;
    std::int32_t unitIndex = 0;
    double resolutionNm = 0;  // the base resolution, in nautical miles whatever the unit
    double centerLat = 0;
    double centerLong = 0;
    bool large = false;
    bool operator==(const ProjectLayout&) const = default;
};

// A feature layer, loaded in the project's order.
struct ProjectLayer {
    bool vector = false;
    std::string path;
    std::string layer = {};                // a vector source's layer; empty: its only one
    std::optional<std::int32_t> rule = {};  // a vector layer's row of the rules; none: found by name
    std::int32_t line = 0;            // the project line it was read from; 0 when not read
    bool operator==(const ProjectLayer& other) const {
        return vector == other.vector && path == other.path && layer == other.layer && rule == other.rule;
    }
};

// The Build Terrain choices a project keeps; the tile and index files are always built.
struct ProjectBuild {
    bool mea = true;
    bool description = true;
    bool map = false;  // REQUIRES a palette
    bool tdf = false;
    bool objectives = false;
    bool operator==(const ProjectBuild&) const = default;
};

// The objective rules' settings that stay from one rules file to the next one loaded.
struct ObjectiveSettings {
    std::int32_t baseId = 4;
    std::int32_t ignoreNoNames = 0;
    bool operator==(const ObjectiveSettings&) const = default;
};

// Everything a build needs, with its paths as the program opens them.
struct TheaterProject {
    std::string dem;  // the DEM header
    std::int32_t demLine = 0;
    ProjectLayout layout;
    std::vector<ProjectLayer> layers;
    E00Rules rules;
    std::vector<HeightRow> heights;
    std::optional<std::string> objectiveRules;  // an ".obr" file; none: the default rules
    std::optional<ObjectiveSettings> objectiveSettings;  // over the rules'; none: as the rules set them
    std::optional<std::string> palette;
    std::string output;  // the tile file
    ProjectBuild build;
    bool operator==(const TheaterProject& other) const;
};

// The form's values of layout, and Large.
ProjectLayout LayoutValues(const TheaterLayout& layout, bool large);
// Puts the form's values into layout and recalculates it.
void ApplyLayoutValues(const ProjectLayout& values, TheaterLayout& layout);
// The settings rules use, and rules with settings in place of theirs.
ObjectiveSettings SettingsOf(const ObjectiveRuleSet& rules);
void ApplyObjectiveSettings(const ObjectiveSettings& settings, ObjectiveRuleSet& rules);

// The project as the JSON text saved at projectPath: keys in a fixed order, numbers that
// read back to the same values, and each path relative to projectPath's folder when it
// lies below it (else absolute). Fails when a text of the project is not UTF-8.
StatusOr<std::string> FormatTheaterProject(const TheaterProject& project, const std::string& projectPath);
// Writes FormatTheaterProject at path, whole or not at all; nothing when it fails.
Status SaveTheaterProject(const TheaterProject& project, const std::string& path);

// Reads a project's text. Relative paths are taken from projectPath's folder. Fails,
// naming projectPath and saying why, for text that is not JSON, a format version newer
// than this program's, lists and objects nested more than 64 deep, and any missing key
// (but "layers", "objective_rules", "objective_settings" and "palette"), unknown key,
// wrong type or value out of range, named by its key ("layout.segments_x").
StatusOr<TheaterProject> ParseTheaterProject(std::string_view text, const std::string& projectPath);
// Reads the project at path, as ParseTheaterProject does; also fails when its DEM, a
// layer, the objective rules file or (when a MAP is built) the palette is not there,
// naming the path looked for and the project's line that names it.
StatusOr<TheaterProject> LoadTheaterProject(const std::string& path);

}  // namespace gw
