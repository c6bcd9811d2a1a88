#include "Commands.h"

#include "LayoutArgs.h"
#include "TerminalFace.h"
#include "QtProfileSection.h"
#include "dem/GridwrightDoc.h"
#include "features/FeatureLoader.h"
#include "generate/Generate.h"
#include "generate/HeightTable.h"
#include "generate/L2Writer.h"
#include "layout/TheaterLayout.h"
#include "util/CNumbers.h"
#include "util/Text.h"

#include <unistd.h>

#include <cstdio>
#include <map>

namespace gw::cli {

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "gridwright-cli: %s\n", message.c_str());
    return status;
}

bool OpenDem(const std::string& path, CGridwrightDoc& doc) {
    const Status opened = doc.OnOpenDocument(path);
    if (!opened.ok()) Fail(kExitFailure, "cannot open DEM " + path + ": " + opened.message());
    return opened.ok();
}

// The layout as the form shows it once the DEM is open.
TheaterLayout StartingLayout(const CGridwrightDoc& doc) {
    TheaterLayout layout;
    layout.OnDocumentUpdate(doc);
    layout.OnInitialUpdate();
    return layout;
}

namespace {

void Print(const char* name, const std::string& value) { std::printf("%s: %s\n", name, value.c_str()); }
void Print(const char* name, double value) { Print(name, FormatShortest(value)); }
void Print(const char* name, long long value) { Print(name, std::to_string(value)); }
void Print(const char* name, int value) { Print(name, std::to_string(value)); }
void PrintPair(const char* name, long long a, long long b) {
    Print(name, std::to_string(a) + " x " + std::to_string(b));
}

// "A,B" split at its one comma.
bool SplitPair(const std::string& text, std::string& a, std::string& b) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return false;
    a = text.substr(0, comma);
    b = text.substr(comma + 1);
    return true;
}

}  // namespace

// Applies the command line's choices through the form's own handler rules, in the
// order a user would set them: segments, unit, resolution, centre.
bool ApplyArgs(const GenerateArgs& args, TheaterLayout& layout) {
    std::int32_t number = 0;
    double real = 0;
    if (args.segments) {
        std::string x = *args.segments, y;
        const bool pair = args.segments->find(',') != std::string::npos;
        if ((pair && !SplitPair(*args.segments, x, y)) || !ParseWholeInt(x, number) ||
            (pair && !ParseWholeInt(y, number))) {
            Fail(kExitUsage, "--segments takes X or X,Y (whole numbers), not \"" + *args.segments + "\"");
            return false;
        }
        if (pair) layout.OnSquareClicked(false);
        layout.SetSegmentsX(x);
        if (pair) layout.OnSegmentsYChanged(y);
    }
    if (args.unit) {
        static const std::map<std::string, int> kUnits = {{"nm", 0}, {"mi", 1}, {"km", 2}, {"ft", 3}, {"m", 4}};
        layout.OnUnitSelected(kUnits.at(*args.unit));
    }
    if (args.resolution) {
        if (!ParseWholeDouble(*args.resolution, real)) {
            Fail(kExitUsage, "--resolution takes a number, not \"" + *args.resolution + "\"");
            return false;
        }
        layout.OnResolutionChanged(*args.resolution);
    }
    if (args.center) {
        std::string lat, lon;
        if (!SplitPair(*args.center, lat, lon) || !ParseWholeDouble(lat, real) || !ParseWholeDouble(lon, real)) {
            Fail(kExitUsage, "--center takes LAT,LON in degrees, not \"" + *args.center + "\"");
            return false;
        }
        layout.OnCenterLatKillFocus(lat);
        layout.OnCenterLongKillFocus(lon);
    }
    const Status valid = layout.ValidateForGenerate();
    if (!valid.ok()) Fail(kExitUsage, valid.message());
    return valid.ok();
}

namespace {

const char* OutcomeText(WriteResult::Outcome outcome) {
    switch (outcome) {
        case WriteResult::Outcome::kWritten: return "written";
        case WriteResult::Outcome::kNotNamed: return "not written: the path holds no \".l2\"";
        case WriteResult::Outcome::kSkipped: return "not written";
        case WriteResult::Outcome::kCancelled: return "cancelled";
        case WriteResult::Outcome::kFailed: return "failed";
    }
    return "";
}

}  // namespace

int RunInfo(const std::string& headerPath) {
    CGridwrightDoc doc;
    if (!OpenDem(headerPath, doc)) return kExitFailure;
    const DemHeader& h = doc.header();
    Print("file_title", h.file_title);
    Print("data_type", h.data_type);
    Print("grid_cell_registration", h.grid_cell_registration);
    Print("map_projection", h.map_projection);
    Print("left_map_x", h.left_map_x);
    Print("right_map_x", h.right_map_x);
    Print("upper_map_y", h.upper_map_y);
    Print("lower_map_y", h.lower_map_y);
    Print("number_of_rows", h.number_of_rows);
    Print("number_of_columns", h.number_of_columns);
    Print("grid_size", h.grid_size);
    Print("elev_m_unit", h.elev_m_unit);
    Print("elev_m_min", h.elev_m_min);
    Print("elev_m_max", h.elev_m_max);
    Print("elev_m_missing_flag", h.elev_m_missing_flag);
    Print("raster", doc.raster().path());
    Print("raster_bytes", static_cast<long long>(doc.raster().size()));
    Print("unit_factor", double{doc.unitFactor()});
    Print("map_width", doc.GetMapWidth());
    Print("map_height", doc.GetMapHeight());
    Print("map_center_x", doc.GetMapCenterX());
    Print("map_center_y", doc.GetMapCenterY());

    const TheaterLayout layout = StartingLayout(doc);
    PrintPair("preview", layout.m_previewWidth, layout.m_previewHeight);
    PrintPair("segments", layout.m_segmentsX, layout.m_segmentsY);
    PrintPair("tiles", layout.m_tilesX, layout.m_tilesY);
    Print("unit", layout.UnitName());
    Print("resolution", layout.m_resolution);
    Print("dimension_x", layout.m_dimensionX);
    Print("dimension_y", layout.m_dimensionY);
    Print("center_lat", layout.m_centerLat);
    Print("center_long", layout.m_centerLong);
    Print("north_lat", layout.m_northLat);
    Print("south_lat", layout.m_southLat);
    Print("north_west_long", layout.m_northWestLong);
    Print("north_east_long", layout.m_northEastLong);
    Print("south_west_long", layout.m_southWestLong);
    Print("south_east_long", layout.m_southEastLong);
    return 0;
}

int RunObr(const std::optional<std::string>& path) {
    ObjectiveRuleSet rules;
    if (path && !rules.LoadObjectiveRules(*path)) {
        return Fail(kExitFailure, ErrnoText("cannot open objective rules " + *path));
    }
    std::printf("rules: %s (%zu)\nBaseId: %d\nIgnoreNoNames: %d\n", rules.m_objRulesName.c_str(),
                rules.m_objectiveRules.size(), rules.m_baseId, rules.m_ignoreNoNames);
    for (const ObjectiveRule& rule : rules.m_objectiveRules) {
        std::printf("Type: %s\n  Priority: %d\n  Ids:", rule.Type.c_str(), rule.Priority);
        for (const std::int32_t id : rule.Ids) std::printf(" %d", id);
        std::printf("\n");
        for (const GeneratesEntry& g : rule.Generates) {
            std::printf("  Generates: %s %d-%d\n", g.rule.c_str(), g.minimum, g.maximum);
        }
    }
    return 0;
}

namespace {

// Everything the command reads, checked before anything is written: the output name,
// the palette, the E00 files and the objective rules. 0, or the exit status.
int CheckInputs(const GenerateArgs& args, ObjectiveRuleSet& objectiveRules) {
    const bool lowerL2 = args.output.find(".l2") != std::string::npos;
    if (!lowerL2 && args.output.find(".L2") == std::string::npos) {
        return Fail(kExitUsage, args.output + ": the terrain file's name must contain \".l2\"");
    }
    if (!lowerL2) {
        std::fprintf(stderr,
                     "gridwright-cli: warning: %s holds \".L2\" but no \".l2\": only the tile and index "
                     "files are written\n",
                     args.output.c_str());
    }
    if (args.palette && !LineReader(*args.palette).is_open()) {
        return Fail(kExitFailure, ErrnoText("cannot open palette " + *args.palette));
    }
    for (const std::string& e00 : args.e00Files) {
        if (!LineReader(e00).is_open()) return Fail(kExitFailure, ErrnoText("cannot open " + e00));
    }
    if (args.obr && !objectiveRules.LoadObjectiveRules(*args.obr)) {
        return Fail(kExitFailure, ErrnoText("cannot open objective rules " + *args.obr));
    }
    return 0;
}

}  // namespace

// Loads the E00 files into the document with the stored (or built-in) rules, saying
// what each gave; false when one failed to parse or matched no rule.
bool LoadFeatures(const GenerateArgs& args, CGridwrightDoc& doc, TerminalProgress& progress,
                  TerminalPrompts& prompts) {
    if (args.builtinRules) {
        g_e00Rules = BuiltInE00Rules();
    } else {
        LoadE00Rules(QtProfileSection(kE00RulesSection), g_e00Rules);
    }
    bool allLoaded = true;
    for (const E00LoadReport& loaded : LoadE00Files(doc, g_e00Rules, args.e00Files, progress, prompts)) {
        progress.EndLine();
        if (!loaded.parsed) Fail(kExitFailure, loaded.path + ": " + loaded.parseError);
        if (loaded.recognised) {
            std::printf("loaded %s (%s): %zu features\n", loaded.path.c_str(), loaded.coverageName.c_str(),
                        loaded.featuresAdded);
        }
        allLoaded &= loaded.parsed && loaded.recognised;
    }
    return allLoaded;
}

namespace {

// Lists the files written and says why any job fell short; the exit status.
int ReportRun(const GenerateReport& report, bool inputsLoaded) {
    bool cancelled = false;
    for (const JobReport& job : report.jobs) {
        for (const std::string& file : job.result.files) {
            std::printf("%s %s\n", job.result.outcome == WriteResult::Outcome::kCancelled ? "partial" : "wrote",
                        file.c_str());
        }
        if (job.result.outcome == WriteResult::Outcome::kWritten) continue;
        cancelled |= job.result.outcome == WriteResult::Outcome::kCancelled;
        std::string why = job.job + " file " + OutcomeText(job.result.outcome);
        if (!job.result.message.empty()) why += ": " + job.result.message;
        Fail(kExitFailure, why);
    }
    if (report.complete()) return inputsLoaded ? 0 : kExitFailure;
    return cancelled ? kExitInterrupted : kExitFailure;
}

}  // namespace

int RunGenerateCommand(const GenerateArgs& args) {
    ObjectiveRuleSet objectiveRules;
    if (const int status = CheckInputs(args, objectiveRules); status != 0) return status;
    CGridwrightDoc doc;
    if (!OpenDem(args.header, doc)) return kExitFailure;
    TheaterLayout layout = StartingLayout(doc);
    if (!ApplyArgs(args, layout)) return kExitUsage;

    InstallInterruptHandler();
    TerminalProgress progress(!args.quiet && ::isatty(STDERR_FILENO));
    TerminalPrompts prompts(progress, args.palette);
    const bool inputsLoaded = LoadFeatures(args, doc, progress, prompts);

    const HeightTable heights;
    CRandom random;  // the program's one generator: the same draws on every run
    const GenerateContext context{doc, layout, heights, g_e00Rules, objectiveRules, random, progress, prompts};
    BuildOptions options;
    options.mea = !args.noMea;
    options.description = !args.noDescription;
    options.map = args.palette.has_value();
    options.large = args.large;
    options.tdf = args.tdf.value_or(!doc.m_features.empty());
    options.objectives = args.objectives;

    TerrainResults results;
    const GenerateReport report = RunGenerate(context, options, args.output, results, DefaultWorkerCount());
    progress.EndLine();
    return ReportRun(report, inputsLoaded);
}

}  // namespace gw::cli
