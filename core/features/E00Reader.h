#pragma once

#include "features/Feature.h"
#include "progress/Progress.h"

#include <cstdint>
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

// An INFO (attribute) table: its items and its records as whole texts.
struct InfoTable {
    std::string name;
    std::int32_t itemCount = 0;
    std::int32_t recordCount = 0;
    std::vector<InfoItem> items;
    std::vector<std::string> records;

    // The first item of that name (case ignored), or null.
    const InfoItem* FindItem(std::string_view itemName) const;
    // The item's text in the record, exactly as it stands; shorter when the record ends.
    static std::string_view GetItemText(const std::string& record, const InfoItem& item);
    // The record whose item reads (as atoi) as key: record key - 1 is tried first,
    // then every record from the first. Null when none matches.
    const std::string* FindRecord(const InfoItem& item, std::int32_t key) const;
};

// The width of an INFO item in a record text, by its type and size.
std::int32_t InfoItemWidth(std::int32_t type, std::int32_t size);

// Reads an uncompressed Arc/Info export file (precision 2 or 3) into memory: arcs,
// labels, tolerances, centroids, polygons and INFO tables, and the coverage name of
// the file's first line. Each parse empties the lists first; what was read before a
// failure stays.
class E00Reader {
public:
    E00Reader() = default;
    virtual ~E00Reader() = default;
    E00Reader(const E00Reader&) = delete;
    E00Reader& operator=(const E00Reader&) = delete;

    // Parses the file at path, moving progress (range 0 to 100) as it reads. False when
    // the file cannot be read or is not a valid export; error() then says why and
    // on which line.
    bool Parse(const std::string& path, Progress& progress);
    // The same for a file's contents already in memory.
    bool ParseText(std::string_view text, Progress& progress);

    // The coverage file name: the first line's path after its last "/". It keeps the
    // last name that passed the first-line check, possibly a previous file's.
    std::string GetName() const { return m_name; }
    const std::string& path() const { return m_path; }
    const std::string& error() const { return m_error; }

    // The first table of that name (case ignored), or null.
    const InfoTable* FindTable(std::string_view name) const;

    std::string m_name;
    std::string m_path;
    std::vector<E00Arc> m_arcs;
    std::vector<E00Label> m_labels;
    std::vector<E00Tolerance> m_tolerances;
    std::vector<E00Centroid> m_centroids;
    std::vector<E00Polygon> m_polygons;
    std::vector<InfoTable> m_tables;

private:
    void ClearLists();

    std::string m_error;
};

}  // namespace gw
