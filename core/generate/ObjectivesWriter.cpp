#include "core/generate/ObjectivesWriter.h"

#include "core/document/GridwrightDoc.h"
#include "core/layout/TheaterTiles.h"
#include "core/generate/WriterOutputs.h"
#include "core/util/OutputFile.h"
#include "core/util/Text.h"

#include <cstdio>
#include <limits>

namespace gw {
namespace {

constexpr std::int32_t kOwner = 2;

std::string TrimRight(const std::string& text) {
    const std::size_t end = text.find_last_not_of(" \t\n\v\f\r");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// "2.0 Objective Generate " and the local time as ctime writes it, without its line
// end: English names whatever the locale.
std::string FirstLine(std::time_t now) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    if (!localtime_r(&now, &t)) return "2.0 Objective Generate";
    char text[64];
    std::snprintf(text, sizeof text, "2.0 Objective Generate %.3s %.3s %2d %02d:%02d:%02d %d", kDays[t.tm_wday % 7],
                  kMonths[t.tm_mon % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 1900 + t.tm_year);
    return text;
}

}  // namespace

ObjectivesWriter::ObjectivesWriter(const ObjectiveRuleSet& rules, CRandom& random, std::int32_t tilesX,
                                   std::int32_t tilesY, OutputFile& file, Progress& progress, UserPrompts& prompts,
                                   std::int64_t maxObjectives)
    : m_rules(rules), m_random(random), m_tilesX(tilesX), m_tilesY(tilesY), m_file(file), m_progress(progress),
      m_prompts(prompts), m_maxObjectives(maxObjectives), m_nextObjectiveId(rules.m_baseId) {}

std::optional<std::int32_t> ObjectivesWriter::NextObjectiveId() {
    if (m_nextObjectiveId >= 4003 && m_nextObjectiveId < 4030) m_nextObjectiveId = 4030;
    if (m_nextObjectiveId >= 5995 && m_nextObjectiveId < 6005) m_nextObjectiveId = 6005;
    if (m_nextObjectiveId > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(m_nextObjectiveId++);
}

ObjectivesWriter::Tile ObjectivesWriter::FindFreeTileNear(Tile tile) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::int32_t x = tile.first - 2 + Draw(5);
        std::int32_t y = tile.second - 2 + Draw(5);
        if (x < 0 || x >= m_tilesX) x = 0;
        if (y < 0 || y >= m_tilesY) y = 0;
        if (m_usedTiles.insert({x, y}).second) return {x, y};
    }
    return tile;
}

std::optional<std::int32_t> ObjectivesWriter::TakeId(const std::string& culprit) {
    const std::string stopped = "; the objectives file stopped there.";
    if (m_made >= m_maxObjectives) {
        m_stop = Stop::kRunaway;
        m_stopReason = culprit + " would make more than " + std::to_string(m_maxObjectives) + " objectives" + stopped;
        return std::nullopt;
    }
    const std::optional<std::int32_t> id = NextObjectiveId();
    if (!id) {
        m_stop = Stop::kIdsExhausted;
        m_stopReason = "Objective ids ran out after " + std::to_string(std::numeric_limits<std::int32_t>::max()) +
                       " (BaseId " + std::to_string(m_rules.m_baseId) + ")" + stopped;
        return std::nullopt;
    }
    ++m_made;
    return id;
}

void ObjectivesWriter::MakeTopLevel(const std::string& name, const std::string& keyword, std::int32_t type,
                                    Tile tile) {
    if (m_stop != Stop::kNone) return;
    if (m_rules.m_ignoreNoNames != 0 && name.empty()) return;
    const ObjectiveRule* rule = m_rules.FindRule(keyword + "-" + std::to_string(type));
    if (!rule) rule = m_rules.FindRule(keyword);
    if (!rule) return;
    m_random.Next();
    const std::optional<std::int32_t> id = TakeId("The map's features");
    if (!id) return;
    WriteObjectiveLine(*rule, *id, 0, name, tile);
    m_usedTiles.insert(tile);
    ExpandRule(*rule, *id, tile, 0);
}

void ObjectivesWriter::WriteObjectiveLine(const ObjectiveRule& rule, std::int32_t id, std::int32_t parent,
                                          const std::string& name, Tile tile) {
    if (rule.Ids.empty()) return;
    const std::int32_t object = rule.Ids[Draw(static_cast<int>(rule.Ids.size()))];
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, ", %d, %d, %d, %d, 0, %d, %d, %d, %d, %d", id, object, tile.first,
                  tile.second, kOwner, id, parent, rule.Priority, kOwner);
    m_file.WriteLine((name.empty() ? std::string("NoName") : name) + numbers);
    ++m_lines;
}

void ObjectivesWriter::ExpandRule(const ObjectiveRule& rule, std::int32_t parent, Tile tile, int depth) {
    if (depth >= kMaxSpawnDepth) {
        if (m_cutRule.empty()) m_cutRule = rule.Type;
        return;
    }
    for (const GeneratesEntry& entry : rule.Generates) {
        const ObjectiveRule* child = m_rules.FindRule(entry.rule);
        if (!child) continue;
        for (std::int32_t n = 0; n < entry.minimum && m_stop == Stop::kNone; ++n) {
            Spawn(rule, entry, *child, parent, tile, depth);
        }
        if (m_stop != Stop::kNone) return;
        const std::int64_t extra = std::int64_t{entry.maximum} - entry.minimum;
        if (extra <= 0) continue;
        const std::int64_t r = m_random.Next() % (extra + 1);
        for (std::int64_t n = 0; n < r && m_stop == Stop::kNone; ++n) Spawn(rule, entry, *child, parent, tile, depth);
        if (m_stop != Stop::kNone) return;
    }
}

void ObjectivesWriter::Spawn(const ObjectiveRule& spawner, const GeneratesEntry& entry, const ObjectiveRule& child,
                             std::int32_t parent, Tile near, int depth) {
    if (ConfirmCancel(m_progress, m_prompts)) {
        m_stop = Stop::kCancelled;
        return;
    }
    const Tile tile = FindFreeTileNear(near);
    const std::optional<std::int32_t> id =
        TakeId("Objective rule \"" + spawner.Type + "\" runs away: its \"Generates " + FormatGenerates(entry) + "\"");
    if (!id) return;
    WriteObjectiveLine(child, *id, parent, "0 " + child.Type, tile);
    ExpandRule(child, parent, tile, depth + 1);
}

WriteResult WriteObjectivesFile(const GenerateContext& context, std::time_t now, const std::string& terrainPath) {
    const TheaterTiles tiles(context.layout);
    const std::optional<std::string> path = OutputPathFor(terrainPath, "-obj.csv");
    if (!path) return WriteResult::NotNamed();
    WriterOutputs outputs(context);
    OutputFile* file;
    if (Status s = outputs.Create(*path, &file); !s.ok()) return WriteResult::Failed(s.message());

    const std::vector<Feature>& features = context.doc.features();
    Progress& progress = context.progress;
    BeginJob(progress, static_cast<int>(features.size()), "Generating TDF files");
    file->WriteLine(FirstLine(now));
    file->WriteLine("Name, Id, Object, X, Y, Z, Owner, CampId, Parent, Priority, FOwner");

    ObjectivesWriter writer(context.objectiveRules, context.random, tiles.tilesX(), tiles.tilesY(), *file, progress,
                            context.prompts);
    WriteResult result;
    for (const Feature& feature : features) {
        if (!IsLabelRule(context.rules, feature.ruleIndex) || feature.points.empty()) continue;
        const GeoPoint& p = feature.points.front();
        const std::optional<TheaterTiles::Tile> tile = tiles.TileOf(p.lat, p.lon);
        if (!tile) continue;
        writer.MakeTopLevel(TrimRight(feature.name), *GetRuleKeyword(context.rules, feature.ruleIndex), feature.type,
                            *tile);
        if (writer.stop() != ObjectivesWriter::Stop::kNone) break;
        progress.StepIt();
        if (ConfirmCancel(progress, context.prompts)) {
            result.outcome = WriteResult::Outcome::kCancelled;
            break;
        }
    }
    if (writer.stop() == ObjectivesWriter::Stop::kCancelled) result.outcome = WriteResult::Outcome::kCancelled;
    if (!writer.stopReason().empty()) {
        context.prompts.ShowMessage(writer.stopReason());
        return WriteResult::Failed(writer.stopReason());
    }
    if (!writer.cutRule().empty()) {
        context.prompts.ShowMessage("Objective rule \"" + writer.cutRule() + "\" spawns itself; its spawning stopped " +
                                    std::to_string(kMaxSpawnDepth) + " levels deep.");
    }
    if (Status s = file->Close(); !s.ok()) return WriteResult::Failed(s.message());
    result.files = {*path};
    result.records = writer.lines();
    return outputs.Finish(std::move(result));
}

}  // namespace gw
