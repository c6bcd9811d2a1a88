#include "cli/Commands.h"

#include "cli/CommandSteps.h"
#include "gdalio/DemImport.h"
#include "cli/TerminalFace.h"
#include "core/util/FileOps.h"
#include "core/util/CNumbers.h"

#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace gw::cli {
namespace {

// "W,S,E,N": four numbers; false when it is not.
bool ParseBounds(const std::string& text, gdalio::GeoBounds& bounds) {
    std::istringstream parts(text);
    double values[4];
    std::string part;
    int count = 0;
    while (std::getline(parts, part, ',')) {
        if (count == 4 || !ParseWholeDouble(part, values[count])) return false;
        ++count;
    }
    if (count != 4 || text.ends_with(',')) return false;
    bounds = {values[0], values[1], values[2], values[3]};
    return true;
}

// The options the command line gives; a Usage failure for a bad value.
StatusOr<gdalio::DemImportOptions> ReadOptions(const ImportDemArgs& args) {
    if (args.files.size() < 2) return Status::Usage("import-dem takes one or more sources and then OUT.hdr");
    gdalio::DemImportOptions options;
    options.sources.assign(args.files.begin(), args.files.end() - 1);
    options.output = args.files.back();
    if (args.bounds) {
        gdalio::GeoBounds bounds;
        if (!ParseBounds(*args.bounds, bounds)) {
            return Status::Usage("--bounds takes WEST,SOUTH,EAST,NORTH in degrees, not \"" + *args.bounds + "\"");
        }
        options.bounds = bounds;
    }
    if (args.spacing) {
        double spacing = 0;
        if (!ParseWholeDouble(*args.spacing, spacing)) {
            return Status::Usage("--spacing takes a number of degrees, not \"" + *args.spacing + "\"");
        }
        options.spacing = spacing;
    }
    if (args.resampling) {
        const std::optional<gdalio::Resampling> resampling = gdalio::ParseResampling(*args.resampling);
        if (!resampling) {
            return Status::Usage("--resampling takes bilinear, average, nearest or cubic, not \"" +
                                 *args.resampling + "\"");
        }
        options.resampling = *resampling;
    }
    if (args.title) options.title = *args.title;
    return options;
}

void PrintSummary(const gdalio::DemImportOptions& options, const gdalio::DemImportReport& report) {
    const DemHeader& h = report.plan.header;
    for (const std::string* path : {&report.plan.rasterPath, &options.output}) {
        std::printf("wrote %s (%lld bytes)\n", path->c_str(), static_cast<long long>(FileSize(*path)));
    }
    const double share = report.posts ? double(report.noDataPosts) / double(report.posts) : 0.0;
    std::printf("extent: %s to %s east, %s to %s north\n", FormatShortest(h.left_map_x).c_str(),
                FormatShortest(h.right_map_x).c_str(), FormatShortest(h.lower_map_y).c_str(),
                FormatShortest(h.upper_map_y).c_str());
    std::printf("posts: %d rows x %d columns (%llu), %s degrees apart\n", h.number_of_rows, h.number_of_columns,
                static_cast<unsigned long long>(report.posts), FormatG(h.grid_size, 6).c_str());
    std::printf("no data: %llu posts (%s%%)\n", static_cast<unsigned long long>(report.noDataPosts),
                FormatG(share * 100, 3).c_str());
    std::printf("clamped: %llu posts\n", static_cast<unsigned long long>(report.clampedPosts));
    std::printf("lowest: %d m\nhighest: %d m\n", h.elev_m_min, h.elev_m_max);
}

}  // namespace

Status RunImportDemCommand(const ImportDemArgs& args) {
    const StatusOr<gdalio::DemImportOptions> read = ReadOptions(args);
    if (!read.ok()) return read.status();
    const gdalio::DemImportOptions& options = *read;
    gdalio::DemImportPlan plan;
    if (Status planned = gdalio::PlanDemImport(options, plan); !planned.ok()) {
        // An unusable value of the options is one the command line gave.
        return planned.code() == Status::Code::kInvalidArgument ? Status::Usage(planned.message()) : planned;
    }

    InstallInterruptHandler();
    TerminalProgress progress(::isatty(STDERR_FILENO));
    TerminalPrompts prompts(progress, std::nullopt);
    gdalio::DemImportReport report;
    const Status imported = gdalio::ImportDem(options, progress, prompts, report);
    progress.EndLine();
    for (const std::string& warning : report.warnings) Warn(warning);
    for (const std::string& note : report.notes) Warn(note);
    if (!imported.ok()) return imported;
    if (report.clampedPosts > 0) {
        Warn(std::to_string(report.clampedPosts) + " heights lay beyond -32767..32767 m and were clamped to it");
    }
    PrintSummary(options, report);
    return Status::Ok();
}

}  // namespace gw::cli
