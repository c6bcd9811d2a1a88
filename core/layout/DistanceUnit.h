#pragma once

#include <cstddef>
#include <string_view>

namespace gw {

// A distance unit of the layout form: its name, its abbreviation and how many of it
// make a nautical mile.
struct DistanceUnit {
    const char* name;
    const char* abbreviation;
    double perNauticalMile;
};

// The unit table in its order (a row's index is the layout's m_unitIndex).
constexpr DistanceUnit kDistanceUnits[] = {
    {"Nautical Miles", "nm", 1.0},
    {"Miles", "mi", 1.1516},
    {"Kilometers", "km", 1.8532698799999998},
    {"Feet", "ft", 6080.447999999999},
    {"Meters", "m", 1853.2698799999998},
};
constexpr int kDistanceUnitCount = static_cast<int>(sizeof kDistanceUnits / sizeof kDistanceUnits[0]);
constexpr int kFeetUnit = 3;

// The row of the unit table, or null when index names none.
inline const DistanceUnit* DistanceUnitAt(int index) {
    return index >= 0 && index < kDistanceUnitCount ? &kDistanceUnits[index] : nullptr;
}

// The index of the unit with that abbreviation (exactly), or -1.
inline int DistanceUnitIndex(std::string_view abbreviation) {
    for (int i = 0; i < kDistanceUnitCount; ++i) {
        if (abbreviation == kDistanceUnits[i].abbreviation) return i;
    }
    return -1;
}

}  // namespace gw
