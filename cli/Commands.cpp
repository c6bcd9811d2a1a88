#include "cli/Commands.h"

#include "cli/CommandSteps.h"
#include "cli/Fields.h"
#include "qtsettings/QtProfileSection.h"
#include "cli/TerminalFace.h"
#include "core/document/GridwrightDoc.h"
#include "core/document/FeatureLoader.h"
#include "core/generate/Generate.h"
#include "core/layout/HeightTable.h"
#include "core/generate/L2Writer.h"
#include "core/generate/MapWriter.h"
#include "core/generate/TerrainPath.h"
#include "core/generate/TheaterSummary.h"
#include "core/layout/TheaterCoverage.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"
#include "core/util/Text.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace gw::cli {
namespace {

void Print(const std::string& text) { std::fputs(text.c_str(), stdout); }

std::string Pair(long long a, long long b) { return std::to_string(a) + " x " + std::to_string(b); }

// The lowest and highest raw value of the raster's posts, in the raster's unit.
Fields RasterStats(const CGridwrightDoc& doc) {
    const DemHeader& h = doc.header();
    const std::uint64_t posts = std::min<std::uint64_t>(
        static_cast<std::uint64_t>(std::max(h.number_of_rows, 0)) * static_cast<std::uint64_t>(std::max(h.number_of_columns, 0)),
        doc.raster().size() / 2);
    std::int16_t lowest = INT16_MAX, highest = INT16_MIN;
    const std::uint8_t* bytes = doc.raster().data();
    for (std::uint64_t i = 0; i < posts; ++i) {
        const auto value = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    if (posts == 0) return {};
    return {{"raster_min", lowest}, {"raster_max", highest}};
}

}  // namespace

int ExitStatus(const Status& outcome) {
    if (const std::optional<int> ended = EndingSignalStatus()) return *ended;
    if (outcome.ok()) return 0;
    if (outcome.IsCancelled()) return 130;
    return outcome.code() == Status::Code::kUsage ? 2 : 1;
}

Status RunInfo(const std::string& headerPath, bool json, bool stats) {
    CGridwrightDoc doc;
    if (Status opened = OpenDem(headerPath, doc); !opened.ok()) return opened;
    const DemHeader& h = doc.header();
    Fields fields = {
        {"file_title", h.file_title},
        {"data_type", h.data_type},
        {"grid_cell_registration", h.grid_cell_registration},
        {"map_projection", h.map_projection},
        {"left_map_x", h.left_map_x},
        {"right_map_x", h.right_map_x},
        {"upper_map_y", h.upper_map_y},
        {"lower_map_y", h.lower_map_y},
        {"number_of_rows", h.number_of_rows},
        {"number_of_columns", h.number_of_columns},
        {"grid_size", h.grid_size},
        {"elev_m_unit", h.elev_m_unit},
        {"elev_m_min", h.elev_m_min},
        {"elev_m_max", h.elev_m_max},
        {"elev_m_missing_flag", h.elev_m_missing_flag},
    };
    if (stats) {
        const Fields extremes = RasterStats(doc);
        fields.insert(fields.end(), extremes.begin(), extremes.end());
    }
    const TheaterLayout layout = StartingLayout(doc);
    const Fields rest = {
        {"raster", doc.raster().path()},
        {"raster_bytes", doc.raster().size()},
        {"unit_factor", double{doc.unitFactor()}},
        {"map_width", doc.GetMapWidth()},
        {"map_height", doc.GetMapHeight()},
        {"map_center_x", doc.GetMapCenterX()},
        {"map_center_y", doc.GetMapCenterY()},
        {"preview", Pair(layout.m_previewWidth, layout.m_previewHeight)},
        {"segments", Pair(layout.m_segmentsX, layout.m_segmentsY)},
        {"tiles", Pair(layout.m_tilesX, layout.m_tilesY)},
        {"unit", layout.UnitName()},
        {"resolution", layout.m_resolution},
        {"dimension_x", layout.m_dimensionX},
        {"dimension_y", layout.m_dimensionY},
        {"center_lat", layout.m_centerLat},
        {"center_long", layout.m_centerLong},
        {"north_lat", layout.m_northLat},
        {"south_lat", layout.m_southLat},
        {"north_west_long", layout.m_northWestLong},
        {"north_east_long", layout.m_northEastLong},
        {"south_west_long", layout.m_southWestLong},
        {"south_east_long", layout.m_southEastLong},
    };
    fields.insert(fields.end(), rest.begin(), rest.end());
    Print(json ? ToJson(fields) + "\n" : ToText(fields));
    return Status::Ok();
}

Status RunObr(const std::optional<std::string>& path) {
    ObjectiveRuleSet rules;
    if (Status loaded = path ? LoadObjectiveRulesFile(*path, rules) : Status::Ok(); !loaded.ok()) return loaded;
    std::printf("# %s: %zu rules\r\n%s", rules.m_objRulesName.c_str(), rules.m_objectiveRules.size(),
                FormatObjectiveRules(rules).c_str());
    return Status::Ok();
}

namespace {

Fields RuleFields(const E00Rule& rule) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06x", static_cast<unsigned>(rule.Colour));
    return {{"File", rule.File},           {"Colour", colour},
            {"Keyword", rule.Keyword},     {"Info", rule.Info},
            {"IndexField", rule.IndexField}, {"NameField", rule.NameField},
            {"TypeField", rule.TypeField}, {"Label", rule.Label}};
}

}  // namespace

Status RunRules(const RulesChoice& choice, bool json) {
    E00Rules rules;
    std::string source;
    if (Status loaded = LoadRules(choice, rules, source); !loaded.ok()) return loaded;
    if (json) {
        std::vector<Fields> list;
        std::transform(rules.begin(), rules.end(), std::back_inserter(list), RuleFields);
        Print(ToJson({{"source", source}, {"rules", list}}) + "\n");
        return Status::Ok();
    }
    std::printf("source: %s\ncount: %zu\n", source.c_str(), rules.size());
    for (const E00Rule& rule : rules) std::printf("rule: %s\n", FormatE00Rule(rule).c_str());
    return Status::Ok();
}

namespace {

// The time written on the objectives file: SOURCE_DATE_EPOCH when set (so builds can be
// reproduced byte for byte), else now (none). A Usage failure when the variable is not a
// whole number.
StatusOr<std::optional<std::time_t>> ObjectivesTime() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch) return std::optional<std::time_t>();
    std::int32_t seconds = 0;
    if (!ParseWholeInt(epoch, seconds) || seconds < 0) {
        return Status::Usage("SOURCE_DATE_EPOCH must be a whole number of seconds");
    }
    return std::optional<std::time_t>(seconds);
}

// Everything the command reads, checked before anything is written: the output name,
// the palette (read whole), the feature sources and the objective rules. A bad output
// name is a Usage failure.
Status CheckInputs(const GenerateArgs& args, ObjectiveRuleSet& objectiveRules) {
    if (const Status named = CheckTerrainPath(args.output); !named.ok()) return Status::Usage(named.message());
    if (NamesOnlyTerrainFiles(args.output)) {
        Warn(args.output + " holds \".L2\" but no \".l2\": only the tile and index files are written");
    }
    if (args.palette) {
        std::vector<std::uint8_t> entries;
        if (Status read = ReadPalette(*args.palette, entries); !read.ok()) return read;
    }
    if (Status checked = CheckFeatureSources(args.featureSources); !checked.ok()) return checked;
    if (args.obr) {
        if (Status loaded = LoadObjectiveRulesFile(*args.obr, objectiveRules); !loaded.ok()) return loaded;
    }
    if (args.objectiveSettings) ApplyObjectiveSettings(*args.objectiveSettings, objectiveRules);
    return Status::Ok();
}

// Says why any job fell short and prints the summary; the run's outcome, told.
Status ReportRun(const GenerateArgs& args, const TheaterSummary& summary, const GenerateReport& report,
                 const LoadedFeatures& loaded) {
    for (const std::string& shortfall : summary.shortfalls) Tell(shortfall);
    Status status = loaded.status;
    if (!report.complete()) status = summary.cancelled ? Status::Cancelled("") : Told();
    if (!args.json) {
        for (const SummaryFile& file : summary.files) {
            std::printf("%s %s (%lld bytes%s)\n", file.kept ? "kept" : "wrote", file.path.c_str(),
                        static_cast<long long>(file.bytes), file.kept ? ", from the earlier run" : "");
        }
        for (const auto& [keyword, count] : summary.features) {
            std::printf("features %s: %zu loaded, %zu on the theater\n", keyword.c_str(), count.loaded,
                        count.onTheater);
        }
        if (summary.objectives) std::printf("objectives: %lld\n", static_cast<long long>(*summary.objectives));
        if (summary.lowestPoint) {
            std::printf("lowest point: %d ft\nhighest point: %d ft\n", *summary.lowestPoint, *summary.highestPoint);
        }
        return status;
    }
    std::vector<Fields> files;
    for (const SummaryFile& file : summary.files) {
        files.push_back({{"job", JobName(file.job)}, {"path", file.path}, {"bytes", file.bytes},
                         {"outcome", file.kept ? "kept" : "written"}});
    }
    Fields kinds;
    for (const auto& [keyword, count] : summary.features) {
        kinds.push_back({keyword, Fields{{"loaded", count.loaded}, {"on_theater", count.onTheater}}});
    }
    std::vector<Fields> earlier;
    for (const std::string& path : report.earlierFiles) earlier.push_back({{"path", path}});
    Fields fields = {{"status", ExitStatus(status)}, {"files", files},    {"e00", loaded.files},
                     {"vector", loaded.layers},      {"features", kinds}, {"earlier_files", earlier}};
    if (summary.objectives) fields.push_back({"objectives", *summary.objectives});
    if (summary.lowestPoint) {
        fields.push_back({"lowest_point_ft", *summary.lowestPoint});
        fields.push_back({"highest_point_ft", *summary.highestPoint});
    }
    Print(ToJson(fields) + "\n");
    return status;
}

}  // namespace

Status RunGenerateCommand(const GenerateArgs& args) {
    const StatusOr<std::optional<std::time_t>> objectivesTime = ObjectivesTime();
    if (!objectivesTime.ok()) return objectivesTime.status();
    ObjectiveRuleSet objectiveRules;
    if (Status checked = CheckInputs(args, objectiveRules); !checked.ok()) return checked;
    E00Rules rules;
    std::string rulesSource;
    if (Status loadedRules = LoadRules(args.rules, rules, rulesSource); !loadedRules.ok()) return loadedRules;
    BuildOptions options;
    options.mea = !args.noMea;
    options.description = !args.noDescription;
    options.map = args.palette.has_value();
    options.large = args.large;
    options.tdf = args.tdf.value_or(!args.featureSources.empty());  // the most the run may write
    options.objectives = args.objectives;
    options.objectivesTime = *objectivesTime;
    std::vector<std::string> outputs = GenerateOutputPaths(args.output, options, rules);
    if (args.saveTheater) {
        std::vector<RunInput> theater;
        for (const std::string& output : outputs) theater.push_back({output, "an output of the run"});
        if (Status apart = CheckOutputsAreNotInputs(theater, {*args.saveTheater}); !apart.ok()) {
            return Status::Usage(apart.message());
        }
        outputs.push_back(*args.saveTheater);
    }
    if (Status apart = CheckOutputsApart(args, outputs); !apart.ok()) return apart;
    CGridwrightDoc doc;
    if (Status opened = OpenDem(args.header, doc); !opened.ok()) return opened;
    TheaterLayout layout = StartingLayout(doc);
    if (Status applied = args.layout ? ApplyProjectLayout(*args.layout, layout) : ApplyArgs(args, layout);
        !applied.ok()) {
        return applied;
    }

    InstallInterruptHandler();
    TerminalProgress progress(!args.quiet && ::isatty(STDERR_FILENO));
    TerminalPrompts prompts(progress, args.palette);
    const LoadedFeatures loaded = LoadFeatures(args, rules, doc, progress, prompts);
    for (const std::string& warning : CoverageWarnings(doc, rules, layout, args.objectives)) Warn(warning);

    const HeightTable heights = args.heights ? HeightTable(*args.heights) : HeightTable();
    CRandom random;  // the program's one generator: the same draws on every run
    const GenerateContext context{doc, layout, heights, rules, objectiveRules, random, progress, prompts};
    options.tdf = args.tdf.value_or(!doc.features().empty());

    TerrainResults results;
    const GenerateReport report = RunGenerate(context, options, args.output, results, DefaultWorkerCount());
    progress.EndLine();
    for (const std::string& warning : RunWarnings(report)) Warn(warning);
    const Status outcome = ReportRun(args, SummariseRun(context, options, report, results), report, loaded);
    if (!args.saveTheater || !outcome.ok()) return outcome;
    const TheaterProject project = ProjectOfRun(args, layout, rules, heights, options, objectiveRules);
    if (Status saved = SaveTheaterProject(project, *args.saveTheater); !saved.ok()) return saved;
    if (!args.json) std::printf("saved the theater project %s\n", args.saveTheater->c_str());
    return outcome;
}

}  // namespace gw::cli
