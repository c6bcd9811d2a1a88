#include "dem/GridwrightDoc.h"

#include <algorithm>

namespace gw {

CGridwrightDoc::CGridwrightDoc() = default;

Status CGridwrightDoc::OnOpenDocument(const std::string& path) {
    if (!ReadDemHeader(path, m_header)) return Status::IOError("cannot read header " + path);
    const std::string rasterPath = RasterPathFor(path);
    if (!m_raster.Open(rasterPath, MappedFile::kReadOnly)) return Status::IOError(m_raster.error());
    const std::optional<float> factor = UnitFactorFor(m_header.elev_m_unit);
    if (!factor) {
        return Status::Corruption(path + ": elevation unit \"" + m_header.elev_m_unit +
                             "\" is neither meters nor feet");
    }
    m_unitFactor = *factor;
    for (std::size_t bits = 0; bits < m_feet.size(); ++bits) {
        const auto raw = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
        // Values above the 16-bit range once converted (over 9990 metres) are clamped.
        const double feet = std::min(std::trunc(std::max<int>(raw, 0) * double{m_unitFactor}), 32767.0);
        m_feet[bits] = static_cast<std::int16_t>(feet);
    }
    return Status::Ok();
}

std::int16_t CGridwrightDoc::GetElevationAtFraction(float x, float y) const {
    return PostAt(TruncToInt32(m_header.number_of_columns * x), TruncToInt32(m_header.number_of_rows * y));
}

}  // namespace gw
