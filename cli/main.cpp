#include "Commands.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    CLI::App app{"Gridwright: theater terrain files from a DEM", "gridwright-cli"};
    app.require_subcommand(1);

    std::string infoHeader;
    CLI::App* info = app.add_subcommand("info", "Print a DEM's header, extent and starting layout");
    info->add_option("DEM.hdr", infoHeader, "DEM header file")->required();

    gw::cli::GenerateArgs gen;
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
    generate->add_flag("--quiet", gen.quiet, "no progress display");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    if (*info) return gw::cli::RunInfo(infoHeader);
    return gw::cli::RunGenerateCommand(gen);
}
