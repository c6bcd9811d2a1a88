#pragma once

#include "core/dem/MappedFile.h"
#include "core/features/E00Rules.h"
#include "core/layout/HeightTable.h"
#include "core/layout/RgbImage.h"
#include "core/util/StatusOr.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gw {

// The size and record format of a theater that has no description beside it.
struct InspectOptions {
    std::optional<std::pair<std::int32_t, std::int32_t>> segments;  // across, down
    bool large = false;                                              // 9-byte tile records
};

// One tile record as stored.
struct StoredTile {
    std::uint32_t code = 0;
    std::int16_t elevation = 0;
};

// A segment's place: its column from the west and its row from the south.
using SegmentPlace = std::pair<std::int32_t, std::int32_t>;

// What a built theater's files hold, and every way they disagree with each other.
struct TheaterReport {
    std::string terrainPath;
    std::string indexPath;
    std::int32_t segmentsX = 0;
    std::int32_t segmentsY = 0;
    bool large = false;
    std::string sizeFrom;  // "the description", "the options" or "a square index"
    std::uint64_t blocksStored = 0;
    std::uint64_t segmentsSharing = 0;  // segments whose block another segment uses too
    std::optional<std::int16_t> lowest;  // over the tiles of the blocks the segments use
    std::optional<std::int16_t> highest;
    std::vector<std::uint32_t> tileCodes;  // those in use, ascending

    struct Companion {
        std::string path;
        std::string holds;  // what the file holds, in a few words
    };
    std::vector<Companion> companions;
    // One line each: the file it is about first, then the segment, record or line.
    std::vector<std::string> problems;
};

// How two theaters' terrain differs, segment by segment.
struct TheaterDifference {
    bool sameSize = false;
    std::int64_t segmentsDiffering = 0;
    std::vector<SegmentPlace> firstDiffering;  // at most kFirstShown, in index order
    // The least and the greatest change of a tile's height (the other's minus this one's)
    // over the segments both store; none when no such segment differs.
    std::optional<std::int32_t> lowestChange;
    std::optional<std::int32_t> highestChange;
    static constexpr std::size_t kFirstShown = 10;
};

// A built theater's tile file and the index beside it, open for reading. Whatever bytes
// they hold, reading them gives a report, never a fault.
class Theater {
public:
    // Opens the tile file and its index. The size and the record format come from the
    // description beside them; without one, from the options, else a square theater is
    // taken when the index's offsets are a square number (large when the tile file is
    // whole large blocks and not whole regular ones). Fails when the name holds no
    // ".l2", either file cannot be read, or no size from 1 to kMaxSegments is known.
    static StatusOr<Theater> Open(const std::string& terrainPath, const InspectOptions& options);

    // The figures and the checks, the companion files present included.
    TheaterReport Inspect() const;

    // The tile records of the segment at place, or null when its offset does not lead to
    // a whole block.
    const std::uint8_t* Block(SegmentPlace place) const;
    // Record `tile` (0 to 255) of a block Block() gave: rows of 16 from its south-west corner.
    StoredTile TileOf(const std::uint8_t* block, int tile) const;

    // One pixel a tile, north up, in the height table's colours by each tile's height,
    // with the features of the TDF files beside the theater drawn over in the colour of
    // the first rule of their keyword. The tiles of a segment without a block are black.
    // Fails when a side would pass kMaxPreviewSide.
    StatusOr<RgbImage> Picture(const HeightTable& heights, const E00Rules& rules) const;

    // Every file of the theater found: the tile file, the index and each companion
    // present beside them, sound or not.
    const std::vector<std::string>& filesRead() const { return m_read; }
    std::int32_t segmentsX() const { return m_report.segmentsX; }
    std::int32_t segmentsY() const { return m_report.segmentsY; }
    bool large() const { return m_report.large; }
    // The bytes of a segment's block: 256 records of 7 bytes, or of 9 when large.
    std::size_t blockSize() const { return m_report.large ? 256 * 9 : 256 * 7; }
    const std::string& terrainPath() const { return m_report.terrainPath; }

private:
    Theater() = default;
    std::uint64_t tileBytes() const { return m_tiles ? m_tiles->size() : 0; }
    // The offset the index gives the n-th segment, when it has one.
    std::optional<std::uint64_t> OffsetOf(std::int64_t n) const;

    TheaterReport m_report;  // what Open read: paths, size and its source
    std::unique_ptr<MappedFile> m_tiles;  // null for an empty tile file
    std::string m_index;
    std::optional<std::string> m_descriptionPath;  // one that gives the size
    std::optional<std::string> m_descriptionProblem;
    std::string m_descriptionText;
    std::map<std::string, std::string> m_tdfFiles;  // the TDF files beside it, by keyword
    std::vector<std::string> m_read;
};

// Which segments of other differ from a's; theaters of different sizes or formats are
// not compared.
TheaterDifference CompareTheaters(const Theater& a, const Theater& other);

}  // namespace gw
