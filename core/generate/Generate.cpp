#include "core/generate/Generate.h"

#include "core/generate/DescriptionWriter.h"
#include "core/generate/L2Writer.h"
#include "core/generate/MapWriter.h"
#include "core/generate/MeaWriter.h"
#include "core/generate/TdfWriter.h"
#include "core/generate/TheaterLock.h"
#include "core/document/GridwrightDoc.h"
#include "core/layout/TheaterLayout.h"
#include "core/generate/ObjectivesWriter.h"
#include "core/util/OutputSet.h"
#include "core/util/Text.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

namespace gw {

const char* JobName(Job job) {
    static constexpr const char* kNames[] = {"L2", "TXT", "MAP", "MEA", "TDF", "OBJ"};
    return kNames[static_cast<int>(job)];
}

bool GenerateReport::complete() const {
    return std::all_of(jobs.begin(), jobs.end(),
                       [](const JobReport& j) { return j.result.outcome == WriteResult::Outcome::kWritten; });
}

std::vector<std::string> GenerateReport::files() const {
    std::vector<std::string> all;
    for (const JobReport& j : jobs) all.insert(all.end(), j.result.files.begin(), j.result.files.end());
    return all;
}

std::vector<std::string> GenerateReport::kept() const {
    std::vector<std::string> all;
    for (const JobReport& j : jobs) all.insert(all.end(), j.result.kept.begin(), j.result.kept.end());
    return all;
}

std::vector<std::string> GenerateOutputPaths(const std::string& terrainPath, const BuildOptions& options,
                                             const E00Rules& rules) {
    std::vector<std::string> paths = {terrainPath};
    if (auto index = IndexPathFor(terrainPath)) paths.push_back(*index);
    std::vector<std::string> endings;
    if (options.description) endings.push_back(".txt");
    if (options.map) endings.push_back(".map");
    if (options.mea) endings.push_back(".mea");
    if (options.tdf) {
        for (const E00Rule& rule : rules) endings.push_back("-" + rule.Keyword + ".tdf");
    }
    if (options.objectives) endings.push_back("-obj.csv");
    for (const std::string& ending : endings) {
        if (auto path = OutputPathFor(terrainPath, ending)) paths.push_back(*path);
    }
    return paths;
}

namespace {

// The writers the options ask for, in order, until one fails or the program is stopped.
void RunWriters(const GenerateContext& context, const BuildOptions& options, const std::string& terrainPath,
                TerrainResults& results, unsigned workers, GenerateReport& report) {
    const auto ran = [&](Job job, WriteResult result) {
        report.jobs.push_back({job, std::move(result)});
        return report.jobs.back().result.outcome != WriteResult::Outcome::kFailed && !context.progress.Stopping();
    };

    // The palette is chosen and read whole before anything is written.
    std::vector<std::uint8_t> palette;
    const std::optional<WriteResult> noMap =
        options.map ? ChooseAndReadPalette(context, GenerateOutputPaths(terrainPath, options, context.rules), palette)
                    : std::nullopt;
    if (noMap && noMap->outcome == WriteResult::Outcome::kFailed) {
        ran(Job::kMap, *noMap);
        return;
    }

    std::optional<MeaGrid> mea;
    if (options.mea) mea.emplace(context.layout.m_segmentsX, context.layout.m_segmentsY);

    if (!ran(Job::kTerrain, WriteL2File(context, options.large, terrainPath, mea ? &*mea : nullptr, results, workers))) {
        return;
    }
    // Another program may have cut the raster short while it was read: its lost posts
    // read as 0, so the terrain would be silently wrong.
    if (const Status intact = context.doc.RasterIntact(); !intact.ok()) {
        report.jobs.back().result = WriteResult::Failed(intact.message());
        return;
    }
    if (options.description && !ran(Job::kDescription, WriteDescriptionFile(context, results, terrainPath))) return;
    if (options.map && !ran(Job::kMap, noMap ? *noMap : WriteMapFile(context, options.large, palette, terrainPath))) return;
    if (mea && !ran(Job::kMea, WriteMeaFile(context, terrainPath, *mea))) return;
    mea.reset();
    if (options.tdf && !ran(Job::kTdf, WriteTdfFiles(context, terrainPath))) return;
    if (options.objectives) ran(Job::kObjectives, WriteObjectivesFile(context, options.objectivesTime.value_or(std::time(nullptr)), terrainPath));
}

// Puts the run's files in place when no writer failed, else none of them; a failure
// to put one in place fails the job that wrote that file. Every job then lists only
// what stands in place.
void CommitOrDiscard(OutputSet& outputs, GenerateReport& report) {
    const auto failed = std::find_if(report.jobs.begin(), report.jobs.end(), [](const JobReport& j) {
        return j.result.outcome == WriteResult::Outcome::kFailed;
    });
    Status committed;
    if (failed == report.jobs.end()) {
        committed = outputs.Commit();
    } else {
        outputs.Discard();
        failed->result.message += "; no file of this run was put in place";
    }
    for (JobReport& job : report.jobs) {
        std::vector<std::string>& files = job.result.files;
        if (!committed.ok() && std::find(files.begin(), files.end(), outputs.failed()) != files.end()) {
            job.result.outcome = WriteResult::Outcome::kFailed;
            job.result.message = committed.message();
        }
        files.erase(std::remove_if(files.begin(), files.end(), [&](const std::string& f) { return !outputs.InPlace(f); }),
                    files.end());
    }
}

// Whether name is the name a run on terrainName gives one of its TDF files.
bool IsTdfName(const std::string& terrainName, const std::string& name) {
    const std::size_t l2 = terrainName.find(".l2");
    if (l2 == std::string::npos || name.size() <= l2 + 1 || name[l2] != '-' ||
        !std::string_view(name).starts_with(std::string_view(terrainName).substr(0, l2))) {
        return false;
    }
    for (std::size_t end = name.find(".tdf", l2 + 1); end != std::string::npos; end = name.find(".tdf", end + 1)) {
        std::string ending = "-";
        ending.append(name, l2 + 1, end - l2 - 1);
        ending += ".tdf";
        if (OutputPathFor(terrainName, ending) == name) return true;
    }
    return false;
}

// The files beside the theater named as its outputs are, which the run did not write.
std::vector<std::string> EarlierFiles(const std::string& terrainPath, const GenerateReport& report) {
    std::vector<std::string> done = report.files();
    const std::vector<std::string> kept = report.kept();
    done.insert(done.end(), kept.begin(), kept.end());
    const std::string folder = FolderOf(terrainPath), terrainName = FileNameOf(terrainPath);
    std::vector<std::string> earlier;
    const auto consider = [&](const std::string& path) {
        if (std::find(done.begin(), done.end(), path) == done.end() && std::filesystem::is_regular_file(path)) {
            earlier.push_back(path);
        }
    };
    for (const char* ending : {".txt", ".map", ".mea", "-obj.csv"}) {
        if (const auto path = OutputPathFor(terrainPath, ending)) consider(*path);
    }
    std::error_code error;
    std::vector<std::string> tdf;
    for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
        const std::string name = entry.path().filename().string();
        if (IsTdfName(terrainName, name)) tdf.push_back(folder + name);
    }
    std::sort(tdf.begin(), tdf.end());
    std::for_each(tdf.begin(), tdf.end(), consider);
    return earlier;
}

// The writers trust what they are given; this is where it is checked.
Status CheckInputs(const GenerateContext& context) {
    if (!context.doc.raster().data()) return Status::InvalidArgument("no DEM is open");
    return context.layout.ValidateForGenerate();
}

}  // namespace

GenerateReport RunGenerate(const GenerateContext& context, const BuildOptions& options,
                           const std::string& terrainPath, TerrainResults& results, unsigned workers) {
    GenerateReport report;
    const Status usable = CheckInputs(context);
    if (!usable.ok()) {
        report.jobs.push_back({Job::kTerrain, WriteResult::Failed(usable.message())});
        return report;
    }
    const Status apart =
        CheckOutputsAreNotInputs(options.inputs, GenerateOutputPaths(terrainPath, options, context.rules));
    if (!apart.ok()) {
        report.jobs.push_back({Job::kTerrain, WriteResult::Failed(apart.message())});
        return report;
    }
    TheaterLock lock;
    if (Status locked = lock.Acquire(terrainPath); !locked.ok()) {
        report.jobs.push_back({Job::kTerrain, WriteResult::Failed(locked.message())});
        return report;
    }
    OutputSet ownOutputs;
    GenerateContext run = context;
    if (!run.outputs) run.outputs = &ownOutputs;
    RunWriters(run, options, terrainPath, results, workers, report);
    report.notes = CleanupNotes(lock, *run.outputs);
    CommitOrDiscard(*run.outputs, report);
    report.earlierFiles = EarlierFiles(terrainPath, report);
    return report;
}

}  // namespace gw
