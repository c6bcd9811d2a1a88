#pragma once

#include "core/generate/GenerateContext.h"
#include "core/util/RunFiles.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace gw {

// The "Build Terrain" choices; the tile and index files are always written.
struct BuildOptions {
    bool mea = true;
    bool map = false;
    bool large = false;
    bool description = true;
    bool tdf = false;  // the dialog ticks it when the document holds features
    bool objectives = false;
    // The time written on the objectives file; now when not set.
    std::optional<std::time_t> objectivesTime;
    // The files the run reads, besides the palette it asks for; none may be an output.
    std::vector<RunInput> inputs;
};

// The writers of a Generate run, in the order they run: tile and index files,
// description, MAP file, MEA file, TDF files, objectives file.
enum class Job { kTerrain, kDescription, kMap, kMea, kTdf, kObjectives };

// The job's name in reports: "L2", "TXT", "MAP", "MEA", "TDF", "OBJ".
const char* JobName(Job job);

// Every file a run with these options may write for terrainPath: the tile and index
// files, then each other output asked for (a TDF file for every rule's keyword).
std::vector<std::string> GenerateOutputPaths(const std::string& terrainPath, const BuildOptions& options,
                                             const E00Rules& rules);

// One writer's part of a Generate run.
struct JobReport {
    Job job;
    WriteResult result;
};

struct GenerateReport {
    std::vector<JobReport> jobs;
    // What the run removed of runs that ended without cleaning up (see CleanupNotes).
    std::vector<std::string> notes;
    // Files of an earlier run beside the theater, under the names of its description,
    // MAP, MEA, objectives or TDF files, that this run neither wrote nor kept on cancel.
    std::vector<std::string> earlierFiles;

    // True when every writer that ran wrote all of its files.
    bool complete() const;
    // Every file written, in the order written.
    std::vector<std::string> files() const;
    // Every file a cancelled writer left as an earlier run wrote it.
    std::vector<std::string> kept() const;
};

// Runs the writers the options ask for, in order: tile and index files, description,
// MAP file, MEA file, TDF files, objectives file. A writer that cannot create or write
// its file ends the run; a cancelled writer does not. A run whose outputs include one of
// options.inputs or the palette fails before anything is written. The files of the run replace
// those of their names together at its end, and only when no writer failed: after a
// failure every earlier file stays as it was and no job lists a file. The run holds
// the theater's lock throughout; while another run holds it, the run fails at once
// ("another run is writing ..."). The files are made in context.outputs when given
// (the run commits it), else in a set of the run's own. `results` receives the
// terrain writer's figures.
GenerateReport RunGenerate(const GenerateContext& context, const BuildOptions& options,
                           const std::string& terrainPath, TerrainResults& results, unsigned workers);

}  // namespace gw
