#include "core/generate/TdfWriter.h"

#include "core/document/GridwrightDoc.h"
#include "core/generate/WriterOutputs.h"
#include "core/layout/TheaterTiles.h"
#include "core/util/OutputFile.h"
#include "core/util/Text.h"

#include <algorithm>
#include <map>
#include <utility>

namespace gw {
namespace {

// The TDF files of one run, one per keyword: rules that share a keyword share its
// file, so their lines are all kept, in feature order.
class TdfFiles {
public:
    TdfFiles(const GenerateContext& context, const std::string& terrainPath)
        : m_context(context), m_terrainPath(terrainPath), m_outputs(context) {}

    // The file for the features of rule, made when first needed; null when it cannot
    // be, with the reason in `ending`.
    OutputFile* FileFor(const E00Rule& rule, WriteResult& ending) {
        OutputFile*& file = m_byKeyword[rule.Keyword];
        if (file) return file;
        const std::optional<std::string> path = OutputPathFor(m_terrainPath, "-" + rule.Keyword + ".tdf");
        if (!path) {
            ending = WriteResult::NotNamed();
            return nullptr;
        }
        // A keyword holding a '/' would name a folder, one holding a NUL another file.
        const Status created = rule.Keyword.find_first_of(std::string("/\0", 2)) == std::string::npos
                                   ? m_outputs.Create(*path, &file)
                                   : Status::InvalidArgument("cannot create " + *path + ": the keyword \"" +
                                                             rule.Keyword + "\" cannot be part of a file name");
        if (!created.ok()) {
            m_context.prompts.ShowMessage("Can't open file " + *path);
            ending = WriteResult::Failed(created.message());
        }
        return file;
    }

    // Closes every file made; ending, with them listed in rule order.
    WriteResult Finish(WriteResult ending) {
        for (const E00Rule& rule : m_context.rules) {
            const auto made = m_byKeyword.find(rule.Keyword);
            if (made == m_byKeyword.end() || !made->second) continue;
            OutputFile* file = std::exchange(made->second, nullptr);
            const Status closed = file->Close();
            if (closed.ok()) {
                ending.files.push_back(file->path());
            } else if (ending.outcome != WriteResult::Outcome::kFailed) {
                ending = WriteResult::Failed(closed.message());
            }
        }
        return m_outputs.Finish(std::move(ending));
    }

private:
    const GenerateContext& m_context;
    const std::string& m_terrainPath;
    WriterOutputs m_outputs;
    std::map<std::string, OutputFile*> m_byKeyword;
};

}  // namespace

WriteResult WriteTdfFiles(const GenerateContext& context, const std::string& terrainPath) {
    const std::vector<Feature>& features = context.doc.features();
    Progress& progress = context.progress;
    BeginJob(progress, static_cast<int>(features.size()), "Generating TDF files");

    const TheaterTiles tiles(context.layout);
    TdfFiles files(context, terrainPath);
    WriteResult result;
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
            OutputFile* file = files.FileFor(*rule, result);
            if (!file) return files.Finish(std::move(result));
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
    return files.Finish(result);
}

}  // namespace gw
