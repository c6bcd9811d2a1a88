#include "generate/Generate.h"

#include "generate/DescriptionWriter.h"
#include "generate/L2Writer.h"
#include "generate/MapWriter.h"
#include "generate/MeaWriter.h"
#include "generate/TdfWriter.h"
#include "layout/TheaterLayout.h"
#include "objectives/ObjectivesWriter.h"

#include <algorithm>
#include <ctime>
#include <optional>

namespace gw {

bool GenerateReport::complete() const {
    return std::all_of(jobs.begin(), jobs.end(),
                       [](const JobReport& j) { return j.result.outcome == WriteResult::Outcome::kWritten; });
}

std::vector<std::string> GenerateReport::files() const {
    std::vector<std::string> all;
    for (const JobReport& j : jobs) all.insert(all.end(), j.result.files.begin(), j.result.files.end());
    return all;
}

GenerateReport RunGenerate(const GenerateContext& context, const BuildOptions& options,
                           const std::string& terrainPath, TerrainResults& results, unsigned workers) {
    GenerateReport report;
    const auto ran = [&](const char* job, WriteResult result) {
        report.jobs.push_back({job, std::move(result)});
        return report.jobs.back().result.outcome != WriteResult::Outcome::kFailed;
    };

    std::optional<MeaGrid> mea;
    if (options.mea) mea.emplace(context.layout.m_segmentsX, context.layout.m_segmentsY);

    if (!ran("L2", WriteL2File(context, options.large, terrainPath, mea ? &*mea : nullptr, results, workers))) {
        return report;
    }
    if (options.description && !ran("TXT", WriteDescriptionFile(context, results, terrainPath))) return report;
    if (options.map && !ran("MAP", WriteMapFile(context, options.large, terrainPath))) return report;
    if (mea && !ran("MEA", WriteMeaFile(context, terrainPath, *mea))) return report;
    mea.reset();
    if (options.tdf && !ran("TDF", WriteTdfFiles(context, terrainPath))) return report;
    if (options.objectives) ran("OBJ", WriteObjectivesFile(context, options.objectivesTime.value_or(std::time(nullptr)), terrainPath));
    return report;
}

}  // namespace gw
