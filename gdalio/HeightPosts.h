#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace gw::gdalio {

// The value an imported raster holds where no source gives a height: below every height
// it holds, so the DEM reader shows it as sea level; the header's missing flag.
constexpr std::int16_t kNoDataPost = -32768;
// The heights an imported raster can hold, in metres.
constexpr std::int16_t kLowestPost = -32767;
constexpr std::int16_t kHighestPost = 32767;

// What the posts converted so far hold.
struct PostTally {
    std::uint64_t posts = 0;
    std::uint64_t noData = 0;
    std::uint64_t clamped = 0;  // heights beyond kLowestPost..kHighestPost
    // The lowest and highest post with a height; lowest > highest while there is none.
    std::int32_t lowest = kHighestPost + 1;
    std::int32_t highest = kLowestPost - 1;
};

// Converts heights in metres to 16-bit little-endian posts (2 bytes per height in out):
// each rounded to the nearest metre (halves away from zero) and clamped to
// kLowestPost..kHighestPost; NaN, the warper's mark of no data, becomes kNoDataPost.
// Counts what it converted into tally.
void ConvertHeights(std::span<const float> metres, std::uint8_t* out, PostTally& tally);

// Writes posts already in whole metres (kNoDataPost where there is no data) as
// little-endian posts, counting them into tally.
void ConvertHeights(std::span<const std::int16_t> posts, std::uint8_t* out, PostTally& tally);

}  // namespace gw::gdalio
