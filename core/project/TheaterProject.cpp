#include "core/project/TheaterProject.h"

#include "core/layout/DistanceUnit.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/OutputFile.h"
#include "core/util/SmallFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace gw {
namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

constexpr int kMaxProjectDepth = 64;

// Colours are written as the rules file stores them: the value in hexadecimal, red in
// its lowest byte.
std::string HexColour(std::uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%06" PRIx32, colour);
    return text;
}

// The folder relative paths are stored against: the project's own, absolute.
fs::path BaseFolder(const std::string& projectPath) {
    std::error_code ignored;
    return fs::absolute(fs::path(projectPath), ignored).lexically_normal().parent_path();
}

std::string StoredPath(const std::string& path, const fs::path& base) {
    std::error_code failed;
    const fs::path absolute = fs::absolute(fs::path(path), failed).lexically_normal();
    if (failed) return path;
    const fs::path relative = absolute.lexically_relative(base);
    if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
    return absolute.string();
}

Json PathOrNull(const std::optional<std::string>& path, const fs::path& base) {
    return path ? Json(StoredPath(*path, base)) : Json(nullptr);
}

// A value the reader refuses: the key it stands under and what was wrong.
struct BadValue {
    std::string message;
};

// The members of one JSON object, each read and checked under its key's full name. A key
// the object may not hold is refused, so that a misspelt one is not passed over.
class Members {
public:
    Members(const Json& object, std::string name, std::initializer_list<std::string_view> keys)
        : m_object(object), m_name(std::move(name)) {
        if (!object.is_object()) Refuse(m_name.empty() ? "the project" : m_name, "an object", object);
        for (const auto& [key, value] : object.items()) {
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
                throw BadValue{"\"" + Key(key.substr(0, 40).c_str()) + "\" is no key of a theater project"};
            }
        }
    }

    // "KEY" must be what, not the value (the project itself when key is "the project").
    [[noreturn]] static void Refuse(const std::string& key, const std::string& what, const Json& value) {
        std::string shown = value.dump();
        if (shown.size() > 40) shown = shown.substr(0, 37) + "...";
        const std::string named = key == "the project" ? key : "\"" + key + "\"";
        throw BadValue{named + " must be " + what + ", not " + shown};
    }

    bool Has(const char* key) const { return m_object.contains(key) && !m_object.at(key).is_null(); }
    const Json& At(const char* key) const {
        if (!m_object.contains(key)) throw BadValue{"\"" + Key(key) + "\" is missing"};
        return m_object.at(key);
    }
    std::string Key(const char* key) const { return m_name.empty() ? key : m_name + "." + key; }

    std::int64_t Whole(const char* key, std::int64_t lowest, std::int64_t highest) const {
        const Json& value = At(key);
        bool fits = value.is_number_integer();
        if (fits && value.is_number_unsigned()) {
            const std::uint64_t whole = value.get<std::uint64_t>();
            fits = whole <= std::uint64_t(highest) && (lowest <= 0 || whole >= std::uint64_t(lowest));
        } else if (fits) {
            fits = value.get<std::int64_t>() >= lowest && value.get<std::int64_t>() <= highest;
        }
        if (!fits) {
            Refuse(Key(key), "a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest), value);
        }
        return value.is_number_unsigned() ? static_cast<std::int64_t>(value.get<std::uint64_t>())
                                          : value.get<std::int64_t>();
    }
    double Real(const char* key, double lowest, double highest, const char* what) const {
        const Json& value = At(key);
        if (!value.is_number() || !(value.get<double>() >= lowest && value.get<double>() <= highest)) {
            Refuse(Key(key), what, value);
        }
        return value.get<double>();
    }
    bool Flag(const char* key) const {
        const Json& value = At(key);
        if (!value.is_boolean()) Refuse(Key(key), "true or false", value);
        return value.get<bool>();
    }
    std::string Text(const char* key) const {
        const Json& value = At(key);
        if (!value.is_string()) Refuse(Key(key), "a text", value);
        return value.get<std::string>();
    }
    std::uint32_t Colour(const char* key) const {
        const std::string text = Text(key);
        const bool hex = !text.empty() && text.size() <= 8 &&
                         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); });
        if (!hex) Refuse(Key(key), "a colour of up to 8 hexadecimal digits", At(key));
        return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
    }
    // The elements of an array, each read by `read` under "key[i]".
    template <typename Read>
    void Each(const char* key, Read read) const {
        const Json& list = At(key);
        if (!list.is_array()) Refuse(Key(key), "a list", list);
        for (std::size_t i = 0; i < list.size(); ++i) read(list[i], Key(key) + "[" + std::to_string(i) + "]");
    }

private:
    const Json& m_object;
    std::string m_name;
};

// The line of text at which needle first stands at or after `from`, and moves `from`
// past it; 0 when it does not.
std::int32_t LineOf(std::string_view text, const std::string& needle, std::size_t& from) {
    const std::size_t at = text.find(needle, from);
    if (at == std::string_view::npos) return 0;
    from = at + needle.size();
    return static_cast<std::int32_t>(1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// A stored path as the program opens it: relative ones from the project's folder, as
// the project was named.
std::string OpenedPath(const std::string& stored, const std::string& projectPath) {
    const fs::path path(stored);
    if (path.is_absolute()) return stored;
    return (fs::path(projectPath).parent_path() / path).string();
}

ProjectLayout ReadLayout(const Members& m) {
    ProjectLayout layout;
    layout.title = m.Text("title");
    layout.segmentsX = static_cast<std::int32_t>(m.Whole("segments_x", 1, TheaterLayout::kMaxSegments));
    layout.segmentsY = static_cast<std::int32_t>(m.Whole("segments_y", 1, TheaterLayout::kMaxSegments));
    layout.square = m.Flag("square");
    if (layout.square && layout.segmentsY != layout.segmentsX) {
        Members::Refuse(m.Key("segments_y"), "segments_x (" + std::to_string(layout.segmentsX) + ") when square",
                        m.At("segments_y"));
    }
    const std::string unit = m.Text("unit");
    layout.unitIndex = DistanceUnitIndex(unit);
    if (layout.unitIndex < 0) Members::Refuse(m.Key("unit"), "nm, mi, km, ft or m", m.At("unit"));
    constexpr double kMax = std::numeric_limits<double>::max();
    layout.resolutionNm = m.Real("resolution_nm", std::numeric_limits<double>::denorm_min(), kMax,
                                 "a number above 0");
    layout.centerLat = m.Real("center_lat", -90, 90, "a latitude from -90 to 90");
    layout.centerLong = m.Real("center_long", -kMax, kMax, "a number");
    layout.large = m.Flag("large");
    return layout;
}

E00Rule ReadRule(const Json& value, const std::string& name) {
    const Members m(value, name,
                    {"file", "colour", "keyword", "info", "index_field", "name_field", "type_field", "label"});
    return {m.Text("file"),       m.Colour("colour"),     m.Text("keyword"),
            m.Text("info"),       m.Text("index_field"),  m.Text("name_field"),
            m.Text("type_field"), static_cast<std::int32_t>(m.Whole("label", INT32_MIN, INT32_MAX))};
}

HeightRow ReadHeight(const Json& value, const std::string& name) {
    const Members m(value, name, {"altitude", "colour", "tile_code"});
    return {static_cast<std::int16_t>(m.Whole("altitude", INT16_MIN, INT16_MAX)), m.Colour("colour"),
            static_cast<std::uint32_t>(m.Whole("tile_code", 0, UINT32_MAX))};
}

TheaterProject ReadProject(const Json& root, std::string_view text, const std::string& projectPath) {
    const Members m(root, "", {"version", "dem", "layout", "layers", "e00_rules", "heights", "objective_rules",
                               "objective_settings", "palette", "output", "build"});
    const std::int64_t version = m.Whole("version", 1, INT32_MAX);
    if (version > kProjectFormatVersion) {
        throw BadValue{"it was saved in format version " + std::to_string(version) +
                       " by a newer Gridwright; this one reads up to version " +
                       std::to_string(kProjectFormatVersion)};
    }
    TheaterProject project;
    const std::string dem = m.Text("dem");
    project.dem = OpenedPath(dem, projectPath);
    std::size_t from = text.find("\"dem\"");
    project.demLine = LineOf(text, Json(dem).dump(), from);
    project.layout = ReadLayout(Members(m.At("layout"), "layout",
                                        {"title", "segments_x", "segments_y", "square", "unit", "resolution_nm",
                                         "center_lat", "center_long", "large"}));
    m.Each("e00_rules", [&](const Json& v, const std::string& name) { project.rules.push_back(ReadRule(v, name)); });
    if (project.rules.empty()) throw BadValue{"\"e00_rules\" must hold at least one rule"};
    m.Each("heights", [&](const Json& v, const std::string& name) { project.heights.push_back(ReadHeight(v, name)); });
    if (project.heights.empty()) throw BadValue{"\"heights\" must hold at least one band"};
    from = text.find("\"layers\"");
    if (m.Has("layers")) {
        m.Each("layers", [&](const Json& v, const std::string& name) {
            const Members layer(v, name, {"e00", "vector", "layer", "rule"});
            ProjectLayer read;
            read.vector = layer.Has("vector");
            if (read.vector && layer.Has("e00")) {
                throw BadValue{"\"" + name + "\" must name an \"e00\" file or a \"vector\" source, not both"};
            }
            const std::string path = layer.Text(read.vector ? "vector" : "e00");
            read.path = OpenedPath(path, projectPath);
            read.line = LineOf(text, Json(path).dump(), from);
            if (read.vector && layer.Has("layer")) read.layer = layer.Text("layer");
            if (read.vector && layer.Has("rule")) {
                read.rule = static_cast<std::int32_t>(
                    layer.Whole("rule", 0, static_cast<std::int64_t>(project.rules.size()) - 1));
            }
            project.layers.push_back(std::move(read));
        });
    }
    if (m.Has("objective_rules")) project.objectiveRules = OpenedPath(m.Text("objective_rules"), projectPath);
    if (m.Has("objective_settings")) {
        const Members settings(m.At("objective_settings"), "objective_settings", {"base_id", "ignore_no_names"});
        project.objectiveSettings = {static_cast<std::int32_t>(settings.Whole("base_id", INT32_MIN, INT32_MAX)),
                                     static_cast<std::int32_t>(settings.Whole("ignore_no_names", INT32_MIN, INT32_MAX))};
    }
    if (m.Has("palette")) project.palette = OpenedPath(m.Text("palette"), projectPath);
    project.output = OpenedPath(m.Text("output"), projectPath);
    const Members build(m.At("build"), "build", {"mea", "description", "map", "tdf", "objectives"});
    project.build = {build.Flag("mea"), build.Flag("description"), build.Flag("map"), build.Flag("tdf"),
                     build.Flag("objectives")};
    if (project.build.map && !project.palette) {
        Members::Refuse("build.map", "false when no palette is named", build.At("map"));
    }
    return project;
}

}  // namespace

bool TheaterProject::operator==(const TheaterProject& other) const {
    return dem == other.dem && layout == other.layout && layers == other.layers && rules == other.rules &&
           heights == other.heights && objectiveRules == other.objectiveRules &&
           objectiveSettings == other.objectiveSettings && palette == other.palette &&
           output == other.output && build == other.build;
}

ProjectLayout LayoutValues(const TheaterLayout& layout, bool large) {
    return {layout.m_title,     layout.m_segmentsX,      layout.m_segmentsY, layout.m_square,
            layout.m_unitIndex, layout.m_baseResolution, layout.m_centerLat, layout.m_centerLong, large};
}

void ApplyLayoutValues(const ProjectLayout& values, TheaterLayout& layout) {
    layout.m_title = values.title;
    layout.m_segmentsX = values.segmentsX;
    layout.m_segmentsY = values.segmentsY;
    layout.m_square = values.square;
    layout.m_baseResolution = values.resolutionNm;
    layout.m_centerLat = values.centerLat;
    layout.m_centerLong = values.centerLong;
    layout.OnUnitSelected(values.unitIndex);
}

ObjectiveSettings SettingsOf(const ObjectiveRuleSet& rules) { return {rules.m_baseId, rules.m_ignoreNoNames}; }

void ApplyObjectiveSettings(const ObjectiveSettings& settings, ObjectiveRuleSet& rules) {
    rules.m_baseId = settings.baseId;
    rules.m_ignoreNoNames = settings.ignoreNoNames;
}

StatusOr<std::string> FormatTheaterProject(const TheaterProject& project, const std::string& projectPath) {
    const fs::path base = BaseFolder(projectPath);
    const ProjectLayout& l = project.layout;
    const DistanceUnit* unit = DistanceUnitAt(l.unitIndex);
    Json root = {{"version", kProjectFormatVersion}, {"dem", StoredPath(project.dem, base)}};
    root["layout"] = {{"title", l.title},
                      {"segments_x", l.segmentsX},
                      {"segments_y", l.segmentsY},
                      {"square", l.square},
                      {"unit", unit ? unit->abbreviation : ""},
                      {"resolution_nm", l.resolutionNm},
                      {"center_lat", l.centerLat},
                      {"center_long", l.centerLong},
                      {"large", l.large}};
    Json& layers = root["layers"] = Json::array();
    for (const ProjectLayer& layer : project.layers) {
        Json entry = {{layer.vector ? "vector" : "e00", StoredPath(layer.path, base)}};
        if (layer.vector && !layer.layer.empty()) entry["layer"] = layer.layer;
        if (layer.vector && layer.rule) entry["rule"] = *layer.rule;
        layers.push_back(std::move(entry));
    }
    Json& rules = root["e00_rules"] = Json::array();
    for (const E00Rule& r : project.rules) {
        rules.push_back({{"file", r.File},
                         {"colour", HexColour(r.Colour)},
                         {"keyword", r.Keyword},
                         {"info", r.Info},
                         {"index_field", r.IndexField},
                         {"name_field", r.NameField},
                         {"type_field", r.TypeField},
                         {"label", r.Label}});
    }
    Json& heights = root["heights"] = Json::array();
    for (const HeightRow& row : project.heights) {
        heights.push_back({{"altitude", row.altitude}, {"colour", HexColour(row.colour)}, {"tile_code", row.tileCode}});
    }
    root["objective_rules"] = PathOrNull(project.objectiveRules, base);
    if (const auto& settings = project.objectiveSettings) {
        root["objective_settings"] = {{"base_id", settings->baseId}, {"ignore_no_names", settings->ignoreNoNames}};
    }
    root["palette"] = PathOrNull(project.palette, base);
    root["output"] = StoredPath(project.output, base);
    const ProjectBuild& b = project.build;
    root["build"] = {{"mea", b.mea}, {"description", b.description}, {"map", b.map}, {"tdf", b.tdf},
                     {"objectives", b.objectives}};
    try {
        return root.dump(2) + "\n";
    } catch (const Json::type_error&) {
        return Status::InvalidArgument(
            "a theater project holds UTF-8 text only, and a path, title or rule of this theater is not UTF-8");
    }
}

Status SaveTheaterProject(const TheaterProject& project, const std::string& path) {
    StatusOr<std::string> text = FormatTheaterProject(project, path);
    if (!text.ok()) return Status::InvalidArgument(path + ": " + text.status().message());
    return WriteWholeFile(path, *text);
}

StatusOr<TheaterProject> ParseTheaterProject(std::string_view text, const std::string& projectPath) {
    Json root;
    // Nesting is bounded so that no project can exhaust the stack of the code that walks it.
    const auto shallow = [](int depth, Json::parse_event_t, const Json&) {
        if (depth > kMaxProjectDepth) {
            throw BadValue{"it nests lists and objects deeper than " + std::to_string(kMaxProjectDepth)};
        }
        return true;
    };
    try {
        root = Json::parse(text.begin(), text.end(), shallow);
    } catch (const BadValue& bad) {
        return Status::Corruption(projectPath + " is no theater project: " + bad.message);
    } catch (const Json::parse_error& error) {
        const std::string_view before = text.substr(0, std::min<std::size_t>(error.byte ? error.byte - 1 : 0, text.size()));
        const auto line = 1 + std::count(before.begin(), before.end(), '\n');
        return Status::Corruption(projectPath + " is no theater project: it is not JSON (line " +
                                  std::to_string(line) + ")");
    } catch (const Json::exception& error) {
        // A number too large for a double, say; the library's own tag in brackets left out.
        const std::string why = error.what();
        return Status::Corruption(projectPath + " is no theater project: " + why.substr(why.find("] ") + 2));
    }
    try {
        return ReadProject(root, text, projectPath);
    } catch (const BadValue& bad) {
        return Status::Corruption(projectPath + ": " + bad.message);
    } catch (const Json::exception& error) {
        return Status::Corruption(projectPath + ": " + error.what());
    }
}

StatusOr<TheaterProject> LoadTheaterProject(const std::string& path) {
    std::string text;
    if (Status read = ReadSmallFile(path, kMaxProjectBytes, "a theater project", text); !read.ok()) return read;
    StatusOr<TheaterProject> parsed = ParseTheaterProject(text, path);
    if (!parsed.ok()) return parsed;
    const TheaterProject& project = *parsed;
    const auto check = [&](const std::string& file, std::int32_t line, const char* what) {
        std::error_code ignored;
        if (fs::exists(file, ignored)) return Status::Ok();
        return Status::IOError(path + (line ? " line " + std::to_string(line) : "") + ": " + what + " " + file +
                                " is not there");
    };
    std::vector<Status> missing = {check(project.dem, project.demLine, "the DEM")};
    for (const ProjectLayer& layer : project.layers) missing.push_back(check(layer.path, layer.line, "the layer"));
    if (project.palette && project.build.map) missing.push_back(check(*project.palette, 0, "the palette"));
    if (project.objectiveRules) missing.push_back(check(*project.objectiveRules, 0, "the objective rules file"));
    const auto first = std::find_if(missing.begin(), missing.end(), [](const Status& s) { return !s.ok(); });
    if (first != missing.end()) return *first;
    return parsed;
}

}  // namespace gw
