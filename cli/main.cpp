#include "Commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    CLI::App app{"Gridwright: theater terrain files from a DEM", "gridwright-cli"};
    app.require_subcommand(1);

    std::string infoHeader;
    CLI::App* info = app.add_subcommand("info", "Print a DEM's header, extent and starting layout");
    info->add_option("DEM.hdr", infoHeader, "DEM header file")->required();

    std::string e00Path;
    bool e00Json = false;
    CLI::App* e00 = app.add_subcommand("e00", "Parse an Arc/Info export file and print what it holds");
    e00->add_option("FILE.e00", e00Path, "export file")->required();
    e00->add_flag("--json", e00Json, "print JSON");

    std::optional<std::string> obrPath;
    bool obrDefaults = false;
    CLI::App* obr = app.add_subcommand("obr", "Print the objective rules a rules file yields");
    CLI::Option* obrFile = obr->add_option("RULES.obr", obrPath, "objective rules file");
    obr->add_flag("--defaults", obrDefaults, "print the default rules")->excludes(obrFile);

    gw::cli::GenerateArgs gen;
    bool tdfOn = false, tdfOff = false;
    CLI::App* generate = app.add_subcommand("generate", "Generate the theater's files");
    generate->add_option("DEM.hdr", gen.header, "DEM header file")->required();
    generate->add_option("OUT.l2", gen.output, "terrain file to write; other files are named after it")
        ->required();
    generate->add_option("--segments", gen.segments, "L2 segments: X (square) or X,Y (default 64)");
    generate->add_option("--unit", gen.unit, "distance unit of --resolution (default nm)")
        ->check(CLI::IsMember({"nm", "mi", "km", "ft", "m"}));
    generate->add_option("--resolution", gen.resolution,
                         "resolution in the unit (default 0.1348576453577105 nautical miles)");
    generate->add_option("--center", gen.center, "theater centre LAT,LON in degrees (default: the DEM's)");
    generate->add_flag("--large", gen.large, "32-bit tile codes (Large (4 byte) Terrain)");
    generate->add_flag("--no-mea", gen.noMea, "do not write the MEA file");
    generate->add_flag("--no-description", gen.noDescription, "do not write the description");
    generate->add_option("--map", gen.palette, "write the MAP file with this JASC-PAL palette");
    generate->add_option("--e00", gen.e00Files, "load an E00 file's features (repeat for more, in order)")
        ->take_all()->expected(1)->allow_extra_args(false);
    CLI::Option* tdf = generate->add_flag("--tdf", tdfOn, "write the TDF files (default: when features were loaded)");
    generate->add_flag("--no-tdf", tdfOff, "do not write the TDF files")->excludes(tdf);
    generate->add_flag("--builtin-rules", gen.builtinRules, "use the built-in E00 rules, not the stored ones");
    generate->add_flag("--objectives", gen.objectives, "write the objectives file from the point features");
    generate->add_option("--obr", gen.obr, "objective rules file (default: the built-in rules)");
    generate->add_flag("--quiet", gen.quiet, "no progress display");

    // preview
    gw::cli::PreviewArgs pre;
    CLI::App* preview = app.add_subcommand("preview", "Write the map preview the layout form shows as a PNG picture");
    preview->add_option("DEM.hdr", pre.form.header, "DEM header file")->required();
    preview->add_option("OUT.png", pre.form.output, "picture to write")->required();
    preview->add_option("--height", pre.height,
                        "height in pixels, the width in proportion (default: 400 pixels on the longer side)");
    preview->add_option("--segments", pre.form.segments, "L2 segments: X (square) or X,Y (default 64)");
    preview->add_option("--unit", pre.form.unit, "distance unit of --resolution (default nm)")
        ->check(CLI::IsMember({"nm", "mi", "km", "ft", "m"}));
    preview->add_option("--resolution", pre.form.resolution, "resolution in the unit");
    preview->add_option("--center", pre.form.center, "theater centre LAT,LON in degrees (default: the DEM's)");
    preview->add_option("--e00", pre.form.e00Files, "load an E00 file's features (repeat for more, in order)")
        ->take_all()->expected(1)->allow_extra_args(false);
    preview->add_flag("--builtin-rules", pre.form.builtinRules, "use the built-in E00 rules, not the stored ones");
    preview->add_flag("--no-features", pre.noFeatures, "leave the feature overlay out");
    preview->add_flag("--no-outline", pre.noOutline, "leave the theater's outline and cross out");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    if (*info) return gw::cli::RunInfo(infoHeader);
    if (*e00) return gw::cli::RunE00(e00Path, e00Json);
    if (*obr) {
        if (!obrPath && !obrDefaults) {
            std::fprintf(stderr, "gridwright-cli: obr needs RULES.obr or --defaults\n");
            return 2;
        }
        return gw::cli::RunObr(obrPath);
    }
    if (*preview) return gw::cli::RunPreviewCommand(pre);
    if (tdfOn || tdfOff) gen.tdf = tdfOn;
    return gw::cli::RunGenerateCommand(gen);
}
