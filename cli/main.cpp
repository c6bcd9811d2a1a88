#include "cli/Commands.h"
#include "core/layout/DistanceUnit.h"
#include "core/layout/TheaterLayout.h"
#include "core/util/CNumbers.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <set>

namespace {

using gw::Status;
using namespace gw::cli;

// --e00 FILE and --vector FILE[,LAYER][=RULE], once per file or layer, for a command
// that loads features.
struct FeatureOptions {
    CLI::Option* e00 = nullptr;
    CLI::Option* vector = nullptr;

    static FeatureOptions Add(CLI::App* command) {
        const auto once = [](CLI::Option* option) { return option->take_all()->expected(1)->allow_extra_args(false); };
        return {once(command->add_option("--e00", "load an E00 file's features (repeat for more, in order)")),
                once(command->add_option("--vector",
                                         "load a vector layer's features as those of an E00 rule: FILE[,LAYER][=RULE] "
                                         "(repeat for more; loaded in order with the E00 files)"))};
    }
    // The values in the order they were given.
    std::vector<FeatureSource> InOrder(const CLI::App& command) const {
        std::vector<FeatureSource> sources;
        std::size_t e00Taken = 0, vectorTaken = 0;
        for (const CLI::Option* option : command.parse_order()) {
            if (option == e00) sources.push_back({false, e00->results().at(e00Taken++)});
            if (option == vector) sources.push_back({true, vector->results().at(vectorTaken++)});
        }
        return sources;
    }
};

// --segments, --unit, --resolution (described as given) and --center, as generate and
// preview take them.
void AddLayoutOptions(CLI::App* command, GenerateArgs& args, const std::string& resolutionHelp) {
    std::vector<std::string> units;
    for (const gw::DistanceUnit& unit : gw::kDistanceUnits) units.push_back(unit.abbreviation);
    command->add_option("--segments", args.segments, "L2 segments: X (square) or X,Y (default " + std::to_string(gw::kDefaultSegments) + ")");
    command->add_option("--unit", args.unit, "distance unit of --resolution (default nm)")->check(CLI::IsMember(units));
    command->add_option("--resolution", args.resolution, resolutionHelp);
    command->add_option("--center", args.center, "theater centre LAT,LON in degrees (default: the DEM's)");
}

// Tells a failure not told yet, then checks that everything printed to standard output
// reached it: a full disk or a closed pipe is a failure, not a success with a short
// listing. The exit status.
int Exit(Status outcome) {
    if (!outcome.ok() && !outcome.IsCancelled() && !outcome.message().empty()) {
        std::fprintf(stderr, "gridwright-cli: %s\n", outcome.message().c_str());
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "gridwright-cli: cannot write standard output: %s\n", std::strerror(error));
        if (outcome.ok()) outcome = Status::IOError("");
    }
    return ExitStatus(outcome);
}

Status Run(int argc, char** argv) {
    CLI::App app{"Gridwright: theater terrain files from a DEM", "gridwright-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "gridwright-cli " GRIDWRIGHT_VERSION);

    std::string infoHeader;
    bool infoJson = false, infoStats = false;
    CLI::App* info = app.add_subcommand("info", "Print a DEM's header, extent and starting layout");
    info->add_option("DEM.hdr", infoHeader, "DEM header file")->required();
    info->add_flag("--json", infoJson, "print JSON");
    info->add_flag("--stats", infoStats, "also print the lowest and highest value the raster holds");

    std::string e00Path;
    bool e00Json = false;
    CLI::App* e00 = app.add_subcommand("e00", "Parse an Arc/Info export file and print what it holds");
    e00->add_option("FILE.e00", e00Path, "export file")->required();
    e00->add_flag("--json", e00Json, "print JSON");
    std::optional<std::string> e00Dem;
    e00->add_option("--dem", e00Dem, "also count the arc points and labels that lie on this DEM (.hdr)");

    std::optional<std::string> obrPath;
    bool obrDefaults = false;
    CLI::App* obr = app.add_subcommand("obr", "Print the objective rules a rules file yields");
    CLI::Option* obrFile = obr->add_option("RULES.obr", obrPath, "objective rules file");
    obr->add_flag("--defaults", obrDefaults, "print the default rules")->excludes(obrFile);

    const auto addRulesChoice = [](CLI::App* command, RulesChoice& choice) {
        CLI::Option* file = command->add_option("--rules", choice.file, "read the E00 rules from this INI file");
        command->add_flag("--builtin-rules", choice.builtin, "use the built-in E00 rules, not the stored ones")
            ->excludes(file);
    };
    RulesChoice rulesChoice;
    bool rulesJson = false;
    CLI::App* rules = app.add_subcommand("rules", "Print the E00 rules in effect and where they came from");
    addRulesChoice(rules, rulesChoice);
    rules->add_flag("--json", rulesJson, "print JSON");

    std::string vectorPath;
    RulesChoice vectorRules;
    bool vectorJson = false;
    CLI::App* vector = app.add_subcommand(
        "vector", "List the layers of a vector source GDAL reads and the E00 rule each would load with");
    vector->add_option("FILE", vectorPath, "Shapefile, GeoPackage, GeoJSON or any other vector source")->required();
    addRulesChoice(vector, vectorRules);
    vector->add_flag("--json", vectorJson, "print JSON");

    GenerateArgs gen;
    bool tdfOn = false, tdfOff = false;
    CLI::App* generate = app.add_subcommand("generate", "Generate the theater's files");
    generate->add_option("DEM.hdr", gen.header, "DEM header file")->required();
    generate->add_option("OUT.l2", gen.output, "terrain file to write; other files are named after it")
        ->required();
    AddLayoutOptions(generate, gen,
                     "resolution in the unit (default " + gw::FormatShortest(gw::kDefaultResolutionNm) +
                         " nautical miles)");
    generate->add_flag("--large", gen.large, "32-bit tile codes (Large (4 byte) Terrain)");
    generate->add_flag("--no-mea", gen.noMea, "do not write the MEA file");
    generate->add_flag("--no-description", gen.noDescription, "do not write the description");
    generate->add_option("--map", gen.palette, "write the MAP file with this JASC-PAL palette");
    const FeatureOptions generateFeatures = FeatureOptions::Add(generate);
    CLI::Option* tdf = generate->add_flag("--tdf", tdfOn, "write the TDF files (default: when features were loaded)");
    generate->add_flag("--no-tdf", tdfOff, "do not write the TDF files")->excludes(tdf);
    addRulesChoice(generate, gen.rules);
    CLI::Option* objectives =
        generate->add_flag("--objectives", gen.objectives, "write the objectives file from the point features");
    generate->add_option("--obr", gen.obr, "objective rules file (default: the built-in rules)")->needs(objectives);
    generate->add_flag("--quiet", gen.quiet, "no progress display");
    generate->add_flag("--json", gen.json, "print the summary as JSON");
    generate->add_option("--save-theater", gen.saveTheater, "also save the run as a theater project (.gwtheater)");

    BuildArgs bld;
    CLI::App* build = app.add_subcommand("build", "Build a theater project as the generate command it stands for");
    build->add_option("FILE.gwtheater", bld.project, "theater project")->required();
    build->add_option("--output", bld.output, "terrain file to write instead of the project's");
    build->add_flag("--quiet", bld.quiet, "no progress display");
    build->add_flag("--json", bld.json, "print the summary as JSON");

    PreviewArgs pre;
    CLI::App* preview = app.add_subcommand("preview", "Write the map preview the layout form shows as a PNG picture");
    preview->add_option("DEM.hdr", pre.form.header, "DEM header file")->required();
    preview->add_option("OUT.png", pre.form.output, "picture to write")->required();
    preview->add_option("--height", pre.height,
                        "height in pixels, the width in proportion (default: " + std::to_string(gw::kDefaultPreviewSide) +
                            " pixels on the longer side)");
    AddLayoutOptions(preview, pre.form, "resolution in the unit");
    const FeatureOptions previewFeatures = FeatureOptions::Add(preview);
    addRulesChoice(preview, pre.form.rules);
    preview->add_flag("--no-features", pre.noFeatures, "leave the feature overlay out");
    preview->add_flag("--no-outline", pre.noOutline, "leave the theater's outline and cross out");

    ImportDemArgs imp;
    CLI::App* importDem = app.add_subcommand(
        "import-dem", "Import elevation rasters of any format GDAL reads as a DEM (OUT.hdr and OUT.bin)");
    importDem->add_option("SRC... OUT.hdr", imp.files, "the sources, mosaicked in order (a later one wins), then "
                                                       "the DEM header to write")
        ->required();
    importDem->add_option("--bounds", imp.bounds, "WEST,SOUTH,EAST,NORTH in degrees (default: the sources' union)");
    importDem->add_option("--spacing", imp.spacing, "post spacing in degrees (default: the sources' finest)");
    importDem->add_option("--title", imp.title, "the DEM's title (default: OUT's name)");
    importDem->add_option("--resampling", imp.resampling, "bilinear (default), average, nearest or cubic");

    ReadBackArgs ins;
    CLI::App* inspect = app.add_subcommand("inspect", "Read a built theater back, check it and tell what it holds");
    inspect->add_option("THEATER.l2", ins.terrain, "tile file; its index and the other files are found beside it")
        ->required();
    inspect->add_option("--segments", ins.segments, "X or X,Y: the size, where no description gives it");
    inspect->add_flag("--large", ins.large, "9-byte tile records, where no description says");
    inspect->add_flag("--json", ins.json, "print JSON");
    inspect->add_option("--png", ins.png, "write the terrain as a PNG picture, one pixel a tile");
    inspect->add_option("--against", ins.against, "tell which segments differ from this other tile file's");
    addRulesChoice(inspect, ins.rules);

    if (argc > 1 && argv[1][0] != '-') {
        const std::set<std::string> known = {"info",     "e00",     "obr",        "rules",  "vector",
                                             "generate", "build", "preview", "import-dem", "inspect"};
        if (!known.count(argv[1])) {
            return Status::Usage(std::string("unknown command \"") + argv[1] + "\"; the commands are " +
                         "info, e00, obr, rules, vector, generate, build, preview, import-dem and inspect (see --help)");
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        if (status != 0 && dynamic_cast<const CLI::ExtrasError*>(&e)) {
            if (generateFeatures.e00->count() > 0 || previewFeatures.e00->count() > 0) {
                std::fprintf(stderr, "gridwright-cli: --e00 takes one file; repeat it for more: --e00 a.e00 --e00 b.e00\n");
            }
            if (generateFeatures.vector->count() > 0 || previewFeatures.vector->count() > 0) {
                std::fprintf(stderr, "gridwright-cli: --vector takes one layer; repeat it for more: "
                                     "--vector a.shp --vector b.gpkg,roads=ROAD\n");
            }
        }
        return status == 0 ? Status::Ok() : Status::Usage("");
    }
    if (*info) return RunInfo(infoHeader, infoJson, infoStats);
    if (*e00) return RunE00(e00Path, e00Json, e00Dem);
    if (*rules) return RunRules(rulesChoice, rulesJson);
    if (*vector) return RunVector(vectorPath, vectorRules, vectorJson);
    if (*obr) {
        if (!obrPath && !obrDefaults) return Status::Usage("obr needs RULES.obr or --defaults");
        return RunObr(obrPath);
    }
    if (*preview) {
        pre.form.featureSources = previewFeatures.InOrder(*preview);
        return RunPreviewCommand(pre);
    }
    if (*importDem) return RunImportDemCommand(imp);
    if (*inspect) return RunReadBackCommand(ins);
    if (*build) return RunBuildCommand(bld);
    gen.featureSources = generateFeatures.InOrder(*generate);
    if (tdfOn || tdfOff) gen.tdf = tdfOn;
    return RunGenerateCommand(gen);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Exit(Run(argc, argv));
    } catch (const std::bad_alloc&) {
        return Exit(Status::ResourceExhausted("not enough memory"));
    } catch (const std::exception& e) {
        return Exit(Status::IOError(e.what()));
    }
}
