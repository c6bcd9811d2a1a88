#pragma once

#include "core/features/E00Rules.h"

#include <cstddef>
#include <map>
#include <string>

namespace gw {

class CGridwrightDoc;
class TheaterLayout;

// The share (0 to 1) of the theater's area that lies off the DEM, from a grid of up to
// 128 x 128 points spread evenly over the theater.
double ShareOffDem(const CGridwrightDoc& doc, const TheaterLayout& layout);

// How many of the document's features each keyword has, and how many of them have a
// point on the theater (and so reach its feature file). Features whose rule is gone
// are not counted.
struct KeywordFeatures {
    std::size_t loaded = 0;
    std::size_t onTheater = 0;
};
std::map<std::string, KeywordFeatures> CountFeaturesByKeyword(const CGridwrightDoc& doc, const E00Rules& rules,
                                                              const TheaterLayout& layout);

}  // namespace gw
