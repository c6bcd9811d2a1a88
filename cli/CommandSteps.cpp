#include "CommandSteps.h"

#include "QtProfileSection.h"
#include "document/FeatureLoader.h"
#include "util/CNumbers.h"
#include "util/InputFile.h"
#include "util/Text.h"

#include <cstdio>
#include <map>

namespace gw::cli {
namespace {

// "A,B" split at its one comma.
bool SplitPair(const std::string& text, std::string& a, std::string& b) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return false;
    a = text.substr(0, comma);
    b = text.substr(comma + 1);
    return true;
}

}  // namespace

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "gridwright-cli: %s\n", message.c_str());
    return status;
}

void Warn(const std::string& message) { std::fprintf(stderr, "gridwright-cli: warning: %s\n", message.c_str()); }

bool OpenDem(const std::string& path, CGridwrightDoc& doc) {
    const Status opened = doc.OnOpenDocument(path);
    if (!opened.ok()) Fail(kExitFailure, "cannot open DEM " + path + ": " + opened.message());
    return opened.ok();
}

TheaterLayout StartingLayout(const CGridwrightDoc& doc) {
    TheaterLayout layout;
    layout.OnDocumentUpdate(doc);
    layout.OnInitialUpdate();
    return layout;
}

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

Status LoadRules(const RulesChoice& choice, E00Rules& rules, std::string& source) {
    rules.clear();
    if (choice.builtin) {
        rules = BuiltInE00Rules();
        source = "built-in (--builtin-rules)";
        return Status::Ok();
    }
    if (choice.file) {
        InputFile file;
        if (Status opened = file.Open(*choice.file); !opened.ok()) return opened;
        const QtProfileSection store(kE00RulesSection, *choice.file);
        if (!store.readable()) return Status::Corruption(*choice.file + " is not an INI file");
        if (!LoadE00Rules(store, rules)) {
            return Status::Corruption(*choice.file + " holds no E00 rules (section [" + kE00RulesSection +
                                      "] with Version=2, Count and Rule0...)");
        }
        source = *choice.file;
        return Status::Ok();
    }
    const QtProfileSection store(kE00RulesSection);
    source = LoadE00Rules(store, rules) ? store.fileName() : "built-in (none stored in " + store.fileName() + ")";
    return Status::Ok();
}

LoadedFeatures LoadFeatures(const GenerateArgs& args, CGridwrightDoc& doc, TerminalProgress& progress,
                            TerminalPrompts& prompts) {
    LoadedFeatures loaded;
    for (const E00LoadReport& report : LoadE00Files(doc, g_e00Rules, args.e00Files, progress, prompts)) {
        progress.EndLine();
        if (!report.parsed) Fail(kExitFailure, report.path + ": " + report.parseError);
        if (!report.recognised) {
            std::string known;
            for (const E00Rule& rule : g_e00Rules) known += (known.empty() ? "" : ", ") + rule.File;
            Fail(kExitFailure, report.path + ": no E00 rule names its coverage \"" + report.coverageName +
                                   "\"; the rules know " + (known.empty() ? "none" : known));
        }
        if (report.recognised && !args.json) {
            std::printf("loaded %s (%s): %zu features\n", report.path.c_str(), report.coverageName.c_str(),
                        report.featuresAdded);
        }
        loaded.files.push_back({{"path", report.path},
                                {"coverage", report.coverageName},
                                {"parsed", report.parsed},
                                {"recognised", report.recognised},
                                {"features", report.featuresAdded},
                                {"cancelled", report.cancelled}});
        loaded.allLoaded &= report.parsed && report.recognised;
        loaded.cancelled |= report.cancelled;
    }
    return loaded;
}

}  // namespace gw::cli
