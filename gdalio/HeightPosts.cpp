#include "gdalio/HeightPosts.h"

#include "core/util/LittleEndian.h"

#include <algorithm>
#include <cmath>

namespace gw::gdalio {
namespace {

// Halves away from zero: the nearest whole number, as truncating after adding a half with
// the sign of the height (exact in double for every float). Beyond the posts' range, the
// nearer end of it.
std::int16_t RoundAndClamp(double height, bool& clamped) {
    const double shifted = height + (height < 0 ? -0.5 : 0.5);
    clamped = !(shifted < kHighestPost + 1.0 && shifted > kLowestPost - 1.0);
    if (clamped) return shifted < 0 ? kLowestPost : kHighestPost;
    return static_cast<std::int16_t>(static_cast<std::int32_t>(shifted));
}

void Count(std::int16_t post, PostTally& tally) {
    if (post == kNoDataPost) {
        ++tally.noData;
        return;
    }
    tally.lowest = std::min<std::int32_t>(tally.lowest, post);
    tally.highest = std::max<std::int32_t>(tally.highest, post);
}

}  // namespace

void ConvertHeights(std::span<const float> metres, std::uint8_t* out, PostTally& tally) {
    for (const float height : metres) {
        bool clamped = false;
        const std::int16_t post = std::isnan(height) ? kNoDataPost : RoundAndClamp(height, clamped);
        tally.clamped += clamped;
        Count(post, tally);
        PutLE16(out, static_cast<std::uint16_t>(post));
        out += 2;
    }
    tally.posts += metres.size();
}

void ConvertHeights(std::span<const std::int16_t> posts, std::uint8_t* out, PostTally& tally) {
    for (const std::int16_t post : posts) {
        Count(post, tally);
        PutLE16(out, static_cast<std::uint16_t>(post));
        out += 2;
    }
    tally.posts += posts.size();
}

}  // namespace gw::gdalio
