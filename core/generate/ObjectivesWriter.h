#pragma once

#include "core/generate/GenerateContext.h"
#include "core/layout/TheaterTiles.h"
#include "core/objectives/ObjectiveRules.h"
#include "core/util/CRandom.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace gw {

class OutputFile;

// A rule is expanded at most this deep below a top-level objective: a rule that spawns
// itself, directly or through others, stops there.
constexpr int kMaxSpawnDepth = 32;

// An objectives file holds at most this many objectives (top-level and spawned). Rules
// can ask for far more within the depth cut (a rule that spawns itself twice makes
// 2^32 per feature; "Generates Factory 2147483647" needs no cycle at all): the file
// stops at the limit instead.
constexpr std::int64_t kMaxObjectives = 1'000'000;

// Writes the objectives file ("-obj.csv" for ".l2"): the point features on the
// theater, matched to the context's objective rules by "KEYWORD-type" or by the
// keyword, each with the objectives its rule spawns on free tiles nearby, drawing from
// the context's generator; `now` is the time in the first line. Says once which rule's
// spawning was cut. Cancel is looked for after every feature and before every spawned
// objective. When the rules would make more than kMaxObjectives objectives, or ids
// would run past the largest 32-bit id, the file stops there, the user is told once
// (naming the rule that runs away) and the result is Failed with the same reason.
WriteResult WriteObjectivesFile(const GenerateContext& context, std::time_t now, const std::string& terrainPath);

// The working state of one objectives file: ids handed out and tiles taken.
class ObjectivesWriter {
public:
    using Tile = TheaterTiles::Tile;

    // Why the file ended before its last feature.
    enum class Stop {
        kNone,
        kCancelled,     // the user confirmed a Cancel press
        kRunaway,       // the rules would make more than maxObjectives objectives
        kIdsExhausted,  // the next id would lie past the largest 32-bit value
    };

    ObjectivesWriter(const ObjectiveRuleSet& rules, CRandom& random, std::int32_t tilesX, std::int32_t tilesY,
                     OutputFile& file, Progress& progress, UserPrompts& prompts,
                     std::int64_t maxObjectives = kMaxObjectives);

    // The next id; ids 4003 to 4029 and 5995 to 6004 are never handed out. Nothing once
    // the largest 32-bit id has been handed out.
    std::optional<std::int32_t> NextObjectiveId();
    // A free tile within two columns and rows of tile (taken now), or tile itself
    // after 20 tries. Positions off the theater's low or high side become 0.
    Tile FindFreeTileNear(Tile tile);
    // One objective of a feature, with everything its rule spawns. Does nothing once
    // the file has stopped.
    void MakeTopLevel(const std::string& name, const std::string& keyword, std::int32_t type, Tile tile);

    Stop stop() const { return m_stop; }
    // What the user is told about a runaway or an end of ids; empty otherwise.
    const std::string& stopReason() const { return m_stopReason; }
    // The Type of the first rule whose spawning was cut at kMaxSpawnDepth, if any.
    const std::string& cutRule() const { return m_cutRule; }
    // How many objective lines were written.
    std::int64_t lines() const { return m_lines; }

private:
    // The id of one more objective, or nothing when the file stops here; culprit names
    // what asked for it, for the message.
    std::optional<std::int32_t> TakeId(const std::string& culprit);
    void WriteObjectiveLine(const ObjectiveRule& rule, std::int32_t id, std::int32_t parent, const std::string& name,
                            Tile tile);
    void ExpandRule(const ObjectiveRule& rule, std::int32_t parent, Tile tile, int depth);
    void Spawn(const ObjectiveRule& spawner, const GeneratesEntry& entry, const ObjectiveRule& child,
               std::int32_t parent, Tile near, int depth);
    int Draw(int modulo) { return m_random.Next() % modulo; }

    const ObjectiveRuleSet& m_rules;
    CRandom& m_random;
    std::int32_t m_tilesX;
    std::int32_t m_tilesY;
    OutputFile& m_file;
    Progress& m_progress;
    UserPrompts& m_prompts;
    std::int64_t m_maxObjectives;
    std::int64_t m_nextObjectiveId;
    std::int64_t m_made = 0;
    std::int64_t m_lines = 0;
    std::set<Tile> m_usedTiles;
    std::string m_cutRule;
    Stop m_stop = Stop::kNone;
    std::string m_stopReason;
};

}  // namespace gw
