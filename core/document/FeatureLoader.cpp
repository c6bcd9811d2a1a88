#include "core/document/FeatureLoader.h"

#include "core/document/GridwrightDoc.h"
#include "core/util/CNumbers.h"
#include "core/util/Text.h"

#include <algorithm>

namespace gw {

std::vector<E00LoadReport> LoadE00Files(CGridwrightDoc& doc, const E00Rules& rules,
                                        const std::vector<std::string>& paths, Progress& progress,
                                        UserPrompts& prompts) {
    std::vector<E00LoadReport> reports;
    for (const std::string& path : paths) {
        E00LoadReport report;
        report.path = path;
        BeginJob(progress, 100, "Reading " + FileNameOf(path));
        report.parsed = doc.e00().Parse(path, progress);
        if (!report.parsed.ok()) report.problems.push_back(path + ": " + report.parsed.message());
        report.coverageName = doc.e00().GetName();
        const std::optional<std::int32_t> r = RuleForCoverage(rules, report.coverageName);
        report.recognised = r.has_value();
        if (!report.recognised) {
            // A file that could not be read far enough to name its coverage has been told.
            if (report.parsed.ok() || !report.coverageName.empty()) {
                report.problems.push_back(path + ": no E00 rule names its coverage \"" + report.coverageName +
                                          "\"; the rules know " + KnownRules(rules, false));
            }
        } else {
            const std::size_t before = doc.features().size();
            const E00Rule& rule = rules[static_cast<std::size_t>(*r)];
            report.processed = rule.Label != 0 ? AddLabelFeatures(doc, rule, *r, progress, prompts)
                                               : AddArcFeatures(doc, rule, *r, progress, prompts);
            report.featuresAdded = doc.features().size() - before;
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

Status AddArcFeatures(CGridwrightDoc& doc, const E00Rule& rule, std::int32_t r, Progress& progress,
                      UserPrompts& prompts) {
    const std::deque<E00Arc>& arcs = doc.e00().m_arcs;
    if (arcs.empty()) return Status::Ok();
    BeginJob(progress, static_cast<int>(arcs.size()), "Processing " + rule.Keyword + " data");
    for (const E00Arc& arc : arcs) {
        const auto inside = [&](const GeoPoint& p) { return doc.IsInside(p.lat, p.lon); };
        const auto count = static_cast<std::size_t>(std::count_if(arc.points.begin(), arc.points.end(), inside));
        if (count > 0) {
            Feature feature;
            feature.ruleIndex = r;
            feature.points.reserve(count);
            std::copy_if(arc.points.begin(), arc.points.end(), std::back_inserter(feature.points), inside);
            doc.AddFeature(std::move(feature));
        }
        progress.StepIt();
        if (ConfirmCancel(progress, prompts)) return Status::Cancelled("the loading was cancelled");
    }
    return Status::Ok();
}

Status AddLabelFeatures(CGridwrightDoc& doc, const E00Rule& rule, std::int32_t r, Progress& progress,
                        UserPrompts& prompts) {
    const E00Reader& e00 = doc.e00();
    if (e00.m_labels.empty()) return Status::Ok();
    BeginJob(progress, static_cast<int>(e00.m_labels.size()), "Processing " + rule.Keyword + " data");
    const InfoTable* table = e00.FindTable(rule.Info);
    const InfoItem* indexItem = table ? table->FindItem(rule.IndexField) : nullptr;
    const InfoItem* nameItem = table ? table->FindItem(rule.NameField) : nullptr;
    const InfoItem* typeItem = table ? table->FindItem(rule.TypeField) : nullptr;
    for (const E00Label& label : e00.m_labels) {
        if (!doc.IsInside(label.point.lat, label.point.lon)) continue;
        Feature feature;
        feature.ruleIndex = r;
        feature.points.push_back(label.point);
        if (const std::optional<std::size_t> record =
                indexItem ? table->FindRecord(*indexItem, label.polygonId) : std::nullopt) {
            if (typeItem) feature.type = ParseCInt(table->GetItemText(*record, *typeItem));
            if (nameItem) feature.name = table->GetItemText(*record, *nameItem);
        }
        doc.AddFeature(std::move(feature));
        progress.StepIt();
        if (ConfirmCancel(progress, prompts)) return Status::Cancelled("the loading was cancelled");
    }
    return Status::Ok();
}

}  // namespace gw
