#pragma once

#include "core/features/E00Rules.h"
#include "core/objectives/ObjectiveRules.h"
#include "core/progress/Progress.h"
#include "core/util/CRandom.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gw {

class CGridwrightDoc;
class TheaterLayout;
class HeightTable;
class OutputSet;

// What every writer of a Generate run reads: the document, the layout as it stands,
// the height table, the E00 and objective rules, the program's random generator, and
// the user's progress display and prompts; and the set the run's files are made in
// (none: a writer puts its own files in place as it ends).
struct GenerateContext {
    const CGridwrightDoc& doc;
    const TheaterLayout& layout;
    const HeightTable& heights;
    const E00Rules& rules;
    const ObjectiveRuleSet& objectiveRules;
    CRandom& random;
    Progress& progress;
    UserPrompts& prompts;
    OutputSet* outputs = nullptr;
};

// What the terrain writer records for the description: the lowest and highest tile
// elevation of its last run and whether its tile codes were 32-bit; m_terrainRun tells
// whether a run has started writing at all (the others mean nothing until then).
struct TerrainResults {
    std::int16_t m_lowestPoint = 32000;
    std::int16_t m_highestPoint = 0;
    bool m_largeTerrain = false;
    bool m_terrainRun = false;
};

// How one writer ended and which files it wrote.
struct WriteResult {
    enum class Outcome {
        kWritten,    // every file complete
        kNotNamed,   // the terrain path holds no ".l2": nothing written
        kSkipped,    // the user declined (no palette chosen): nothing written
        kCancelled,  // the user cancelled: nothing was put in place
        kFailed,     // a file could not be created or written: message says why
    };
    Outcome outcome = Outcome::kWritten;
    std::vector<std::string> files;
    std::string message;
    std::int64_t records = 0;  // the lines of objectives written, for the objectives file
    std::vector<std::string> kept = {};  // when cancelled: the earlier files left as they were

    static WriteResult Failed(std::string why) { return {Outcome::kFailed, {}, std::move(why)}; }
    static WriteResult NotNamed() { return {Outcome::kNotNamed, {}, {}}; }
};

// The MEA grid: 2 x segmentsY rows of 2 x segmentsX cells, row 0 the southernmost,
// each the highest elevation of one quarter segment; cleared to 0 when made.
class MeaGrid {
public:
    MeaGrid(std::int32_t segmentsX, std::int32_t segmentsY)
        : m_columns(2 * segmentsX), m_rows(2 * segmentsY),
          m_cells(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows), 0) {}

    // The quarters of segment (i, j), j counted from the north: south-west,
    // south-east, north-west, north-east.
    void SetSegment(std::int32_t i, std::int32_t j, const std::int16_t (&quarters)[4]) {
        const std::size_t south = static_cast<std::size_t>(m_rows - 2 - 2 * j) * m_columns + 2 * i;
        m_cells[south] = quarters[0];
        m_cells[south + 1] = quarters[1];
        m_cells[south + m_columns] = quarters[2];
        m_cells[south + m_columns + 1] = quarters[3];
    }

    std::int32_t columns() const { return m_columns; }
    std::int32_t rows() const { return m_rows; }
    const std::vector<std::int16_t>& cells() const { return m_cells; }

private:
    std::int32_t m_columns;
    std::int32_t m_rows;
    std::vector<std::int16_t> m_cells;
};

}  // namespace gw
