#include "core/document/GridwrightDoc.h"

#include <algorithm>
#include <array>

namespace gw {
namespace {

using FeetTable = std::array<std::int16_t, 65536>;

FeetTable MakeFeetTable(float factor) {
    FeetTable feet{};
    for (std::size_t bits = 0; bits < feet.size(); ++bits) {
        const auto raw = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
        // Values above the 16-bit range once converted (over 9990 metres) are clamped.
        const double converted = std::min(std::trunc(std::max<int>(raw, 0) * double{factor}), 32767.0);
        feet[bits] = static_cast<std::int16_t>(converted);
    }
    return feet;
}

// The table for a factor UnitFactorFor gives: there are only two.
const std::int16_t* FeetTableFor(float factor) {
    static const FeetTable kMeters = MakeFeetTable(*UnitFactorFor("meters"));
    static const FeetTable kFeet = MakeFeetTable(*UnitFactorFor("feet"));
    return factor == *UnitFactorFor("feet") ? kFeet.data() : kMeters.data();
}

}  // namespace

CGridwrightDoc::CGridwrightDoc() : m_feet(FeetTableFor(m_unitFactor)) {}

std::size_t CGridwrightDoc::RenumberRules(const RuleRenumbering& renumbering) {
    const auto moved = [&](const Feature& feature) -> std::optional<std::int32_t> {
        if (feature.ruleIndex < 0 || static_cast<std::size_t>(feature.ruleIndex) >= renumbering.size()) return {};
        return renumbering[static_cast<std::size_t>(feature.ruleIndex)];
    };
    const std::size_t dropped = std::erase_if(m_features, [&](const Feature& feature) { return !moved(feature); });
    for (Feature& feature : m_features) feature.ruleIndex = *moved(feature);
    return dropped;
}

Status CGridwrightDoc::OnOpenDocument(const std::string& path) {
    DemHeader header;
    if (Status s = ReadDemHeader(path, header); !s.ok()) return s;
    if (Status s = CheckDemHeader(header); !s.ok()) return Status::Corruption(path + ": " + s.message());
    const std::optional<float> factor = UnitFactorFor(header.elev_m_unit);
    if (!factor) {
        return Status::Corruption(path + ": elevation unit \"" + header.elev_m_unit +
                                  "\" is neither meters nor feet");
    }
    const std::string rasterPath = RasterPathFor(path);
    if (rasterPath == path) {
        return Status::InvalidArgument(path + ": its name holds no \".hdr\", so its raster would be the header "
                                       "itself; a header's name ends in the lower-case \".hdr\"");
    }
    MappedFile raster;
    if (Status mapped = raster.Open(rasterPath); !mapped.ok()) return mapped;
    const std::uint64_t needed = 2 * std::uint64_t(header.number_of_rows) * std::uint64_t(header.number_of_columns);
    if (raster.size() < needed) {
        return Status::Corruption(rasterPath + ": raster holds " + std::to_string(raster.size()) +
                                  " bytes, the header needs " + std::to_string(needed));
    }

    m_header = std::move(header);
    m_raster.swap(raster);
    m_unitFactor = *factor;
    m_feet = FeetTableFor(m_unitFactor);
    return Status::Ok();
}

Status CGridwrightDoc::RasterIntact() const {
    if (m_raster.Unchanged()) return Status::Ok();
    return Status::Corruption("the DEM changed while it was read: " + m_raster.path());
}

std::int16_t CGridwrightDoc::GetElevationAtFraction(float x, float y) const {
    return PostAt(TruncToInt32(m_header.number_of_columns * x), TruncToInt32(m_header.number_of_rows * y));
}

}  // namespace gw
