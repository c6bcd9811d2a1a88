#include "core/layout/HeightTable.h"

#include <algorithm>

namespace gw {

HeightTable::HeightTable()
    : m_rows{
          {0, Rgb(154, 182, 216), 0},       {160, Rgb(130, 162, 116), 48},
          {660, Rgb(152, 174, 129), 160},   {1640, Rgb(184, 190, 144), 68},
          {3280, Rgb(208, 206, 160), 661},  {6560, Rgb(234, 225, 179), 661},
          {11480, Rgb(230, 213, 160), 694}, {16400, Rgb(224, 199, 140), 694},
          {32767, Rgb(255, 255, 255), 694},
      } {}

const HeightRow* HeightTable::RowFor(std::int32_t elevation) const {
    if (m_rows.empty()) return nullptr;
    const auto row = std::find_if(m_rows.begin(), m_rows.end(),
                                  [&](const HeightRow& r) { return r.altitude >= elevation; });
    return row == m_rows.end() ? &m_rows.back() : &*row;
}

std::uint32_t HeightTable::LookupTileCode(std::int16_t elevation) const {
    const HeightRow* row = RowFor(elevation);
    return row ? row->tileCode : 0;
}

std::uint32_t HeightTable::LookupColour(std::int32_t elevation) const {
    const HeightRow* row = RowFor(elevation);
    return row ? row->colour : 0;
}

}  // namespace gw
