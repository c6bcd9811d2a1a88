#pragma once

#include <cstdint>
#include <vector>

namespace gw {

// One altitude band: elevations up to `altitude` feet (inclusive) get this colour
// (red in the lowest byte, then green, then blue) and tile code.
struct HeightRow {
    std::int16_t altitude;
    std::uint32_t colour;
    std::uint32_t tileCode;
    bool operator==(const HeightRow&) const = default;
};

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// The altitude bands in lookup order; nothing sorts them. The first row whose altitude
// is at or above an elevation gives its tile code and colour; when none does, the last
// row. An empty table gives tile code 0 and black.
class HeightTable {
public:
    // The nine default bands.
    HeightTable();
    explicit HeightTable(std::vector<HeightRow> rows) : m_rows(std::move(rows)) {}

    std::uint32_t LookupTileCode(std::int16_t elevation) const;
    std::uint32_t LookupColour(std::int32_t elevation) const;

    // Replaces the whole table.
    void Replace(std::vector<HeightRow> rows) { m_rows = std::move(rows); }
    const std::vector<HeightRow>& rows() const { return m_rows; }

private:
    const HeightRow* RowFor(std::int32_t elevation) const;

    std::vector<HeightRow> m_rows;
};

}  // namespace gw
