#include "cli/CommandSteps.h"

#include "qtsettings/QtProfileSection.h"
#include "gdalio/VectorSource.h"
#include "core/dem/DemHeader.h"
#include "core/document/FeatureLoader.h"
#include "core/layout/DistanceUnit.h"
#include "core/util/CNumbers.h"
#include "core/util/InputFile.h"
#include "core/util/OutputFile.h"
#include "core/util/Text.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace gw::cli {
namespace {

QImage ToQImage(const RgbImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        uchar* line = image.scanLine(y);
        for (std::int32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t colour = picture.At(x, y);
            *line++ = RedOf(colour);
            *line++ = GreenOf(colour);
            *line++ = BlueOf(colour);
        }
    }
    return image;
}

}  // namespace

bool SplitPair(const std::string& text, std::string& a, std::string& b) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) return false;
    a = text.substr(0, comma);
    b = text.substr(comma + 1);
    return true;
}

Status SavePng(const RgbImage& picture, const std::string& path) {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !ToQImage(picture).save(&buffer, "PNG")) {
        return Status::ResourceExhausted("cannot make the PNG picture for " + path);
    }
    return WriteWholeFile(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

void Tell(const std::string& message) { std::fprintf(stderr, "gridwright-cli: %s\n", message.c_str()); }

void Warn(const std::string& message) { std::fprintf(stderr, "gridwright-cli: warning: %s\n", message.c_str()); }

Status LoadObjectiveRulesFile(const std::string& path, ObjectiveRuleSet& rules) {
    if (Status loaded = rules.LoadObjectiveRules(path); !loaded.ok()) return loaded;
    if (rules.m_objectiveRules.empty()) Warn(path + " holds no objective rule (no \"Type\" line)");
    return Status::Ok();
}

Status OpenDem(const std::string& path, CGridwrightDoc& doc) {
    const Status opened = doc.OnOpenDocument(path);
    if (!opened.ok()) return Status::IOError("cannot open DEM " + path + ": " + opened.message());
    return opened;
}

TheaterLayout StartingLayout(const CGridwrightDoc& doc) {
    TheaterLayout layout;
    layout.OnDocumentUpdate(doc);
    layout.OnInitialUpdate();
    return layout;
}

Status ApplyArgs(const GenerateArgs& args, TheaterLayout& layout) {
    std::int32_t number = 0;
    double real = 0;
    if (args.segments) {
        std::string x = *args.segments, y;
        const bool pair = args.segments->find(',') != std::string::npos;
        if ((pair && !SplitPair(*args.segments, x, y)) || !ParseWholeInt(x, number) ||
            (pair && !ParseWholeInt(y, number))) {
            return Status::Usage("--segments takes X or X,Y (whole numbers), not \"" + *args.segments + "\"");
        }
        if (pair) layout.OnSquareClicked(false);
        layout.SetSegmentsX(x);
        if (pair) layout.OnSegmentsYChanged(y);
    }
    if (args.unit) {
        layout.OnUnitSelected(DistanceUnitIndex(*args.unit));
    }
    if (args.resolution) {
        if (!ParseWholeDouble(*args.resolution, real)) {
            return Status::Usage("--resolution takes a number, not \"" + *args.resolution + "\"");
        }
        layout.OnResolutionChanged(*args.resolution);
    }
    if (args.center) {
        std::string lat, lon;
        if (!SplitPair(*args.center, lat, lon) || !ParseWholeDouble(lat, real) || !ParseWholeDouble(lon, real)) {
            return Status::Usage("--center takes LAT,LON in degrees, not \"" + *args.center + "\"");
        }
        layout.OnCenterLatKillFocus(lat);
        layout.OnCenterLongKillFocus(lon);
    }
    if (const Status valid = layout.ValidateForGenerate(); !valid.ok()) return Status::Usage(valid.message());
    return Status::Ok();
}

Status LoadRules(const RulesChoice& choice, E00Rules& rules, std::string& source) {
    rules.clear();
    if (choice.given) {
        rules = *choice.given;
        source = "the theater project";
        return Status::Ok();
    }
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

namespace {

// Folds one source's outcome into the loading's: a failure stays, a cancel stays unless
// a failure comes.
void Merge(Status& loading, const Status& source) {
    if (!source.ok() && (loading.ok() || (loading.IsCancelled() && !source.IsCancelled()))) loading = source;
}

bool PathExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

void LoadE00File(const std::string& path, bool json, const E00Rules& rules, CGridwrightDoc& doc,
                 TerminalProgress& progress, TerminalPrompts& prompts, LoadedFeatures& loaded) {
    const E00LoadReport report = LoadE00Files(doc, rules, {path}, progress, prompts).front();
    progress.EndLine();
    for (const std::string& problem : report.problems) Tell(problem);
    if (report.recognised && !json) {
        std::printf("loaded %s (%s): %zu features\n", report.path.c_str(), report.coverageName.c_str(),
                    report.featuresAdded);
    }
    loaded.files.push_back({{"path", report.path},
                            {"coverage", report.coverageName},
                            {"parsed", report.parsed.ok()},
                            {"recognised", report.recognised},
                            {"features", report.featuresAdded},
                            {"cancelled", report.processed.IsCancelled()}});
    Merge(loaded.status, report.parsed.ok() && report.recognised ? report.processed : Told());
}

void LoadOneVectorLayer(const FeatureSource& source, bool json, const E00Rules& rules, CGridwrightDoc& doc, TerminalProgress& progress,
                        TerminalPrompts& prompts, LoadedFeatures& loaded) {
    const StatusOr<VectorSpec> parsed = VectorSpecOf(source);
    if (!parsed.ok()) {
        // Checked before loading began; only a file that vanished since lands here.
        Tell(parsed.status().message());
        Merge(loaded.status, Told());
        return;
    }
    const VectorSpec& spec = *parsed;
    gdalio::VectorLoadReport report;
    report.path = spec.path;
    report.layer = spec.layer;
    std::optional<std::int32_t> rule = spec.ruleIndex;
    if (!rule && spec.rule && !(rule = gdalio::FindRule(rules, *spec.rule))) {
        report.status = Status::InvalidArgument(
            spec.path + (spec.layer.empty() ? "" : " (layer \"" + spec.layer + "\")") + ": no E00 rule is named \"" +
            *spec.rule + "\" by its File, its Keyword or its position from 0; the rules know " + KnownRules(rules, true));
    } else {
        report = gdalio::LoadVectorLayer(doc, rules, {spec.path, spec.layer, rule}, progress, prompts);
    }
    progress.EndLine();
    for (const std::string& warning : report.warnings) Warn(report.path + ": " + warning);
    const bool cancelled = report.status.IsCancelled();
    const bool layerLoaded = report.status.ok() || cancelled;
    if (!layerLoaded) Tell(report.status.message());
    const E00Rule* used = report.ruleIndex ? RuleAt(rules, *report.ruleIndex) : nullptr;
    if (layerLoaded && !json) {
        std::printf("loaded %s (layer \"%s\" as %s): %zu features\n", report.path.c_str(), report.layer.c_str(),
                    used ? used->Keyword.c_str() : "", report.featuresAdded);
    }
    loaded.layers.push_back({{"path", report.path},
                             {"layer", report.layer},
                             {"rule", used ? used->File : ""},
                             {"keyword", used ? used->Keyword : ""},
                             {"loaded", layerLoaded},
                             {"error", cancelled ? "" : report.status.message()},
                             {"features", report.featuresAdded},
                             {"cancelled", cancelled}});
    Merge(loaded.status, layerLoaded ? report.status : Told());
}

}  // namespace

StatusOr<VectorSpec> ParseVectorSpec(const std::string& text) {
    VectorSpec spec;
    std::string why;
    // The longest beginning that ends at a ',' or '=' (or is the whole value) and names
    // an existing file or folder is the file.
    std::size_t end = text.size();
    while (end > 0 && !PathExists(text.substr(0, end))) {
        const std::size_t separator = text.find_last_of(",=", end - 1);
        end = separator == std::string::npos ? 0 : separator;
    }
    if (end == 0) {
        // None is: the rule follows the last '=', the layer the last ',' before it.
        const std::size_t equals = std::min(text.rfind('='), text.size());
        const std::size_t comma = equals == 0 ? std::string::npos : text.find_last_of(',', equals - 1);
        end = comma != std::string::npos ? comma : equals;
    }
    spec.path = text.substr(0, end);
    const std::string after = text.substr(end);
    if (!after.empty() && after.front() == ',') {
        const std::size_t equals = after.rfind('=');
        spec.layer = after.substr(1, equals == std::string::npos ? std::string::npos : equals - 1);
        if (spec.layer.empty()) why = "the layer after ',' is empty";
        if (equals != std::string::npos) spec.rule = after.substr(equals + 1);
    } else if (!after.empty()) {
        spec.rule = after.substr(1);
    }
    if (spec.path.empty()) why = "the file is empty";
    if (spec.rule && spec.rule->empty()) why = "the rule after '=' is empty";
    if (!why.empty()) return Status::Usage(why);
    return spec;
}

StatusOr<VectorSpec> VectorSpecOf(const FeatureSource& source) {
    return source.spec ? *source.spec : ParseVectorSpec(source.value);
}

Status CheckFeatureSources(const std::vector<FeatureSource>& sources) {
    for (const FeatureSource& source : sources) {
        InputFile file;
        if (!source.vector) {
            if (Status opened = file.Open(source.value); !opened.ok()) return opened;
            continue;
        }
        const StatusOr<VectorSpec> spec = VectorSpecOf(source);
        if (!spec.ok()) {
            return Status::Usage("--vector takes FILE[,LAYER][=RULE]: " + spec.status().message() + " in \"" +
                                 source.value + "\"");
        }
        // A folder may be a source (of Shapefiles); anything else must be a file.
        struct stat info {};
        if (::stat(spec->path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
        if (Status opened = file.Open(spec->path); !opened.ok()) return opened;
    }
    return Status::Ok();
}

std::vector<RunInput> InputsOf(const GenerateArgs& args) {
    std::vector<RunInput> inputs = {{args.header, "the DEM header"}, {RasterPathFor(args.header), "the DEM raster"}};
    if (args.palette) inputs.push_back({*args.palette, "the palette"});
    for (const FeatureSource& source : args.featureSources) {
        if (!source.vector) {
            inputs.push_back({source.value, "an E00 file"});
            continue;
        }
        const StatusOr<VectorSpec> spec = VectorSpecOf(source);
        if (!spec.ok()) continue;
        for (const std::string& file : gdalio::VectorSourceFiles(spec->path)) inputs.push_back({file, "a vector source"});
    }
    if (args.rules.file) inputs.push_back({*args.rules.file, "the E00 rules file"});
    if (args.obr) inputs.push_back({*args.obr, "the objective rules file"});
    return inputs;
}

Status CheckOutputsApart(const GenerateArgs& args, const std::vector<std::string>& outputs) {
    const Status apart = CheckOutputsAreNotInputs(InputsOf(args), outputs);
    return apart.ok() ? apart : Status::Usage(apart.message());
}

LoadedFeatures LoadFeatures(const GenerateArgs& args, const E00Rules& rules, CGridwrightDoc& doc, TerminalProgress& progress,
                            TerminalPrompts& prompts) {
    LoadedFeatures loaded;
    for (const FeatureSource& source : args.featureSources) {
        if (source.vector) {
            LoadOneVectorLayer(source, args.json, rules, doc, progress, prompts, loaded);
        } else {
            LoadE00File(source.value, args.json, rules, doc, progress, prompts, loaded);
        }
    }
    return loaded;
}

}  // namespace gw::cli
