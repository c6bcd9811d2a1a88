#include "HeightPosts.h"

#include "util/LittleEndian.h"

#include <algorithm>
#include <cmath>

namespace gw::gdalio {

void ConvertHeights(std::span<const float> metres, std::uint8_t* out, PostTally& tally) {
    for (const float height : metres) {
        std::int16_t post = kNoDataPost;
        if (std::isnan(height)) {
            ++tally.noData;
        } else {
            const double rounded = std::round(double{height});
            const double clamped = std::clamp(rounded, double{kLowestPost}, double{kHighestPost});
            if (clamped != rounded) ++tally.clamped;
            post = static_cast<std::int16_t>(clamped);
            tally.lowest = std::min<std::int32_t>(tally.lowest, post);
            tally.highest = std::max<std::int32_t>(tally.highest, post);
        }
        PutLE16(out, static_cast<std::uint16_t>(post));
        out += 2;
    }
    tally.posts += metres.size();
}

}  // namespace gw::gdalio
