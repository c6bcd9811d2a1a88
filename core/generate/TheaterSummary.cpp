#include "core/generate/TheaterSummary.h"

#include "core/document/GridwrightDoc.h"
#include "core/util/CNumbers.h"
#include "core/util/FileOps.h"

#include <algorithm>

namespace gw {
namespace {

const char* OutcomeText(WriteResult::Outcome outcome) {
    switch (outcome) {
        case WriteResult::Outcome::kWritten: return "written";
        case WriteResult::Outcome::kNotNamed: return "not written: the path holds no \".l2\"";
        case WriteResult::Outcome::kSkipped: return "not written";
        case WriteResult::Outcome::kCancelled: return "cancelled";
        case WriteResult::Outcome::kFailed: return "failed";
    }
    return "";
}

}  // namespace

std::vector<std::string> CoverageWarnings(const CGridwrightDoc& doc, const E00Rules& rules,
                                          const TheaterLayout& layout, bool objectives) {
    std::vector<std::string> warnings;
    if (const double off = ShareOffDem(doc, layout); off > 0) {
        warnings.push_back(FormatG(off * 100, 3) + "% of the theater lies off the DEM (those tiles are at 0 ft)");
    }
    for (const auto& [keyword, count] : CountFeaturesByKeyword(doc, rules, layout)) {
        if (count.loaded > 0 && count.onTheater == 0) {
            warnings.push_back(std::to_string(count.loaded) + " " + keyword +
                               " features were loaded but none lies on the theater");
        }
    }
    if (objectives && std::none_of(doc.features().begin(), doc.features().end(),
                                   [&](const Feature& f) { return IsLabelRule(rules, f.ruleIndex); })) {
        warnings.push_back("objectives were asked for, but no point features were loaded, so the objectives "
                           "file lists none");
    }
    return warnings;
}

std::vector<std::string> RunWarnings(const GenerateReport& report) {
    std::vector<std::string> warnings = report.notes;
    for (const std::string& earlier : report.earlierFiles) {
        warnings.push_back(earlier + " is from an earlier run: this run did not write it");
    }
    return warnings;
}

TheaterSummary SummariseRun(const GenerateContext& context, const BuildOptions& options,
                            const GenerateReport& report, const TerrainResults& results) {
    TheaterSummary summary;
    for (const JobReport& job : report.jobs) {
        for (const std::string& file : job.result.files) summary.files.push_back({job.job, file, FileSize(file), false});
        for (const std::string& file : job.result.kept) summary.files.push_back({job.job, file, FileSize(file), true});
        if (job.result.outcome == WriteResult::Outcome::kWritten) continue;
        summary.cancelled |= job.result.outcome == WriteResult::Outcome::kCancelled;
        std::string why = JobName(job.job) + std::string(" file ") + OutcomeText(job.result.outcome);
        if (!job.result.message.empty()) why += ": " + job.result.message;
        summary.shortfalls.push_back(why);
    }
    summary.features = CountFeaturesByKeyword(context.doc, context.rules, context.layout);
    const auto objectives = std::find_if(report.jobs.begin(), report.jobs.end(),
                                         [](const JobReport& job) { return job.job == Job::kObjectives; });
    if (objectives != report.jobs.end() && !objectives->result.files.empty()) {
        summary.objectives = objectives->result.records;
    }
    if (!report.jobs.empty() && report.jobs.front().result.outcome != WriteResult::Outcome::kFailed) {
        summary.lowestPoint = results.m_lowestPoint;
        summary.highestPoint = results.m_highestPoint;
    }
    summary.warnings = CoverageWarnings(context.doc, context.rules, context.layout, options.objectives);
    const std::vector<std::string> run = RunWarnings(report);
    summary.warnings.insert(summary.warnings.end(), run.begin(), run.end());
    return summary;
}

}  // namespace gw
