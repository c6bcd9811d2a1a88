#include "generate/TdfWriter.h"

#include "dem/GridwrightDoc.h"
#include "layout/TheaterTiles.h"
#include "util/OutputFile.h"
#include "util/Text.h"

#include <memory>

namespace gw {

WriteResult WriteTdfFiles(const GenerateContext& context, const std::string& terrainPath) {
    const std::vector<Feature>& features = context.doc.m_features;
    Progress& progress = context.progress;
    BeginJob(progress, static_cast<int>(features.size()), "Generating TDF files");

    const TheaterTiles tiles(context.layout);
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
            const std::optional<TheaterTiles::Tile> tile = tiles.TileOf(p.lat, p.lon);
            if (!tile) continue;
            points.append(" ").append(std::to_string(tile->first));
            points.append(",").append(std::to_string(tile->second));
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
