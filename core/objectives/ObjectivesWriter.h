#pragma once

#include "generate/GenerateContext.h"
#include "layout/TheaterTiles.h"
#include "objectives/ObjectiveRules.h"
#include "util/CRandom.h"

#include <ctime>
#include <set>
#include <string>
#include <utility>

namespace gw {

class OutputFile;

// A rule is expanded at most this deep below a top-level objective: a rule that spawns
// itself, directly or through others, stops there.
constexpr int kMaxSpawnDepth = 32;

// Writes the objectives file ("-obj.csv" for ".l2"): the point features on the
// theater, matched to the context's objective rules by "KEYWORD-type" or by the
// keyword, each with the objectives its rule spawns on free tiles nearby, drawing from
// the context's generator; `now` is the time in the first line. Says once which rule's
// spawning was cut.
WriteResult WriteObjectivesFile(const GenerateContext& context, std::time_t now, const std::string& terrainPath);

// The working state of one objectives file: ids handed out and tiles taken.
class ObjectivesWriter {
public:
    using Tile = TheaterTiles::Tile;

    ObjectivesWriter(const ObjectiveRuleSet& rules, CRandom& random, std::int32_t tilesX, std::int32_t tilesY,
                     OutputFile& file);

    // The next id; ids 4003 to 4029 and 5995 to 6004 are never handed out.
    std::int32_t NextObjectiveId();
    // A free tile within two columns and rows of tile (taken now), or tile itself
    // after 20 tries. Positions off the theater's low or high side become 0.
    Tile FindFreeTileNear(Tile tile);
    // One objective of a feature, with everything its rule spawns.
    void MakeTopLevel(const std::string& name, const std::string& keyword, std::int32_t type, Tile tile);

    // The Type of the first rule whose spawning was cut at kMaxSpawnDepth, if any.
    const std::string& cutRule() const { return m_cutRule; }

private:
    void WriteObjectiveLine(const ObjectiveRule& rule, std::int32_t id, std::int32_t parent, const std::string& name,
                            Tile tile);
    void ExpandRule(const ObjectiveRule& rule, std::int32_t parent, Tile tile, int depth);
    void Spawn(const ObjectiveRule& child, std::int32_t parent, Tile near, int depth);
    int Draw(int modulo) { return m_random.Next() % modulo; }

    const ObjectiveRuleSet& m_rules;
    CRandom& m_random;
    std::int32_t m_tilesX;
    std::int32_t m_tilesY;
    OutputFile& m_file;
    std::int32_t m_nextObjectiveId;
    std::set<Tile> m_usedTiles;
    std::string m_cutRule;
};

}  // namespace gw
