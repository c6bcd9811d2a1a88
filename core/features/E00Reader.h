#pragma once

#include "core/features/Feature.h"
#include "core/progress/Progress.h"
#include "core/util/Status.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

struct E00Arc {
    std::int32_t coverageNumber = 0;
    std::int32_t coverageId = 0;
    std::int32_t fromNode = 0;
    std::int32_t toNode = 0;
    std::int32_t leftPolygon = 0;
    std::int32_t rightPolygon = 0;
    std::vector<GeoPoint> points;
};

struct E00Label {
    std::int32_t labelId = 0;
    std::int32_t polygonId = 0;
    GeoPoint point;
};

struct E00Tolerance {
    std::int32_t first = 0;
    std::int32_t second = 0;
    double value = 0.0;
};

// A polygon centroid as written: x, then y.
struct E00Centroid {
    double x = 0.0;
    double y = 0.0;
};

struct E00Polygon {
    std::int32_t arcCount = 0;
    double values[4] = {0, 0, 0, 0};
};

// An item of an INFO table: where its text lies in a record text.
struct InfoItem {
    std::string name;
    std::int32_t size = 0;
    std::int32_t type = 0;
    std::int32_t position = 0;
    std::int32_t width = 0;
};

// The records of an INFO table as the file wrote them: each record is a fixed number
// of lines, kept one after another without the blanks that extend each line to 80
// columns; those blanks are put back when an item's text is read. A record line costs
// its own bytes, and finding a record skips fewer than 32 lines.
class InfoRecords {
public:
    InfoRecords() = default;
    // Records of linesPerRecord lines each; none can be added when it is not positive.
    explicit InfoRecords(std::int64_t linesPerRecord);

    // The number of complete records.
    std::size_t size() const {
        return m_linesPerRecord > 0 ? static_cast<std::size_t>(m_lines / static_cast<std::uint64_t>(m_linesPerRecord)) : 0;
    }
    bool empty() const { return size() == 0; }
    // The memory the records take.
    std::size_t bytes() const { return m_text.capacity() + m_index.capacity() * sizeof(std::size_t); }

    // Appends the next line of the record being read; the record counts once its last
    // line is in.
    void AppendLine(std::string_view line);

    // The item's text in the record's text (its lines, each extended with blanks to 80
    // columns, joined): width characters from the item's position, fewer when the
    // record text ends sooner. REQUIRES: record < size().
    void ItemText(std::size_t record, const InfoItem& item, std::string& text) const;

private:
    static constexpr std::uint64_t kLinesPerIndexEntry = 32;

    // How many records one entry of m_index stands for: at least kLinesPerIndexEntry
    // lines' worth. REQUIRES: m_linesPerRecord > 0.
    std::uint64_t RecordsPerIndexEntry() const;
    // Where the record's first line starts in m_text.
    std::size_t Locate(std::size_t record) const;

    std::int64_t m_linesPerRecord = 0;
    std::uint64_t m_lines = 0;
    std::string m_text;                // every line followed by '\n'
    std::vector<std::size_t> m_index;  // start of every RecordsPerIndexEntry()-th record
};

// An INFO (attribute) table: its items and its records.
struct InfoTable {
    std::string name;
    std::int32_t itemCount = 0;
    std::int32_t recordCount = 0;
    std::vector<InfoItem> items;
    InfoRecords records;

    // The first item of that name (case ignored), or null.
    const InfoItem* FindItem(std::string_view itemName) const;
    // The item's text in the record, exactly as it stands (blanks included); shorter
    // when the record ends. REQUIRES: record < records.size().
    std::string GetItemText(std::size_t record, const InfoItem& item) const;
    // The record whose item reads (as atoi) as key: record key - 1 is tried first,
    // then every record from the first. None when none matches.
    std::optional<std::size_t> FindRecord(const InfoItem& item, std::int32_t key) const;
};

// The width of an INFO item in a record text, by its type and size.
std::int32_t InfoItemWidth(std::int32_t type, std::int32_t size);

// Reads an uncompressed Arc/Info export file (precision 2 or 3) into memory: arcs,
// labels, tolerances, centroids, polygons and INFO tables, and the coverage name of
// the file's first line. Each parse empties the lists first; what was read before a
// failure stays.
//
// Memory follows what the file holds, not the counts it states: the file is streamed
// through a buffer of fixed size, lists grow in blocks (never needing twice their size
// while they grow), space reserved for a stated count is limited by what the rest of
// the file could hold, and a record line too short to hold its numbers is refused.
class E00Reader {
public:
    E00Reader() = default;
    virtual ~E00Reader() = default;
    E00Reader(const E00Reader&) = delete;
    E00Reader& operator=(const E00Reader&) = delete;

    // Parses the file at path, moving progress (range 0 to 100) as it reads. Fails
    // when the file cannot be opened (only a regular file can) or read (IOError), is
    // not a valid export or ends without its EOS line (Corruption, naming the line
    // where reading stopped), or its contents do not fit in memory
    // (ResourceExhausted). Lines are cut at LineReader::kMaxLine characters.
    Status Parse(const std::string& path, Progress& progress);
    // The same for a file's contents already in memory.
    Status ParseText(std::string_view text, Progress& progress);

    // The coverage file name: the first line's path after its last "/". It keeps the
    // last name that passed the first-line check, possibly a previous file's.
    std::string GetName() const { return m_name; }
    const std::string& path() const { return m_path; }

    // The first table of that name (case ignored), or null.
    const InfoTable* FindTable(std::string_view name) const;

    std::string m_name;
    std::string m_path;
    std::deque<E00Arc> m_arcs;
    std::deque<E00Label> m_labels;
    std::deque<E00Tolerance> m_tolerances;
    std::deque<E00Centroid> m_centroids;
    std::deque<E00Polygon> m_polygons;
    std::deque<InfoTable> m_tables;

private:
    void ClearLists();
};

}  // namespace gw
