#include "generate/TdfWriter.h"

#include "dem/GridwrightDoc.h"
#include "layout/TheaterLayout.h"
#include "util/CNumbers.h"
#include "util/OutputFile.h"
#include "util/Text.h"

#include <cmath>
#include <memory>

namespace gw {

WriteResult WriteTdfFiles(const GenerateContext& context, const std::string& terrainPath) {
    const TheaterLayout& l = context.layout;
    const std::vector<Feature>& features = context.doc.m_features;
    Progress& progress = context.progress;
    BeginJob(progress, static_cast<int>(features.size()), "Generating TDF files");

    const double f = l.m_unitScale;
    const double width = l.m_tilesX * l.m_resolution * 4;
    const double height = l.m_tilesY * l.m_resolution * 4;
    std::vector<std::unique_ptr<OutputFile>> files(context.rules.size());
    WriteResult result;
    const auto finish = [&](WriteResult ending) {
        for (const auto& file : files) {
            if (!file) continue;
            const Status closed = file->Close();
            if (!closed.ok() && ending.outcome != WriteResult::Outcome::kFailed) {
                ending = WriteResult::Failed(closed.message());
            }
            if (closed.ok()) ending.files.push_back(file->path());
        }
        return ending;
    };

    std::string points;
    for (const Feature& feature : features) {
        // A feature whose rule is gone has no keyword to be written under: skipped.
        const E00Rule* rule = RuleAt(context.rules, feature.ruleIndex);
        points.clear();
        int kept = 0;
        static const std::vector<GeoPoint> kNone;
        for (const GeoPoint& p : rule ? feature.points : kNone) {
            const double x = std::cos(p.lat * kDegToRad) * (p.lon - l.m_centerLong) * f * 60 + width * 0.5;
            const double y = (p.lat - l.m_centerLat) * f * 60 + height * 0.5;
            if (!(0 <= y && y <= height && 0 <= x && x <= width)) continue;
            points.append(" ").append(std::to_string(TruncToInt32(x / width * l.m_tilesX)));
            points.append(",").append(std::to_string(TruncToInt32(y / height * l.m_tilesY)));
            ++kept;
        }
        if (kept > 0) {
            std::unique_ptr<OutputFile>& file = files[feature.ruleIndex];
            if (!file) {
                const std::optional<std::string> path = OutputPathFor(terrainPath, "-" + rule->Keyword + ".tdf");
                if (!path) return finish(WriteResult::NotNamed());
                file = std::make_unique<OutputFile>();
                if (const Status created = file->Create(*path); !created.ok()) {
                    file.reset();
                    context.prompts.ShowMessage("Can't open file " + *path);
                    return finish(WriteResult::Failed(created.message()));
                }
            }
            std::string text = rule->Keyword + " " + std::to_string(kept) + points + " " + std::to_string(feature.type);
            if (!feature.name.empty()) text += " " + feature.name;
            file->WriteLine(text);
        }
        progress.StepIt();
        if (ConfirmCancel(progress, context.prompts)) {
            result.outcome = WriteResult::Outcome::kCancelled;
            break;
        }
    }
    return finish(result);
}

}  // namespace gw
