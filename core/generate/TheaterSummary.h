#pragma once

#include "core/generate/Generate.h"
#include "core/layout/TheaterCoverage.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gw {

// One file a run wrote, or kept as an earlier run wrote it because its writer was
// cancelled.
struct SummaryFile {
    Job job;
    std::string path;
    std::int64_t bytes;  // -1 when the file cannot be read
    bool kept;
    bool operator==(const SummaryFile&) const = default;
};

// What a Generate run ended with, as both faces report it.
struct TheaterSummary {
    // Job by job, the files it wrote, then those it kept.
    std::vector<SummaryFile> files;
    std::map<std::string, KeywordFeatures> features;
    // The objectives written, when the objectives file was.
    std::optional<std::int64_t> objectives;
    // The theater's lowest and highest point in feet, when the terrain writer ran.
    std::optional<std::int32_t> lowestPoint;
    std::optional<std::int32_t> highestPoint;
    // One line per writer that fell short: "MEA file cancelled", "TDF file failed: why".
    std::vector<std::string> shortfalls;
    // Every warning of the run: CoverageWarnings, then RunWarnings.
    std::vector<std::string> warnings;
    // True when a writer was cancelled.
    bool cancelled = false;
};

// What can be told before anything is written: the share of the theater off the DEM,
// each kind with features loaded but none on the theater, and objectives asked for
// when no point feature is loaded.
std::vector<std::string> CoverageWarnings(const CGridwrightDoc& doc, const E00Rules& rules,
                                          const TheaterLayout& layout, bool objectives);

// What the run found on its way: stale files it removed, and files beside the theater
// left by an earlier run.
std::vector<std::string> RunWarnings(const GenerateReport& report);

// The summary of a finished run of context with options; the sizes are read from the
// files as they stand.
TheaterSummary SummariseRun(const GenerateContext& context, const BuildOptions& options,
                            const GenerateReport& report, const TerrainResults& results);

}  // namespace gw
