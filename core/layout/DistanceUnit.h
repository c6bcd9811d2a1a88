#pragma once

#include <cstddef>

namespace gw {

// A distance unit of the layout form: its name and how many of it make a nautical mile.
struct DistanceUnit {
    const char* name;
    double perNauticalMile;
};

// The unit table in its order (a row's index is the layout's m_unitIndex).
constexpr DistanceUnit kDistanceUnits[] = {
    {"Nautical Miles", 1.0},
    {"Miles", 1.1516},
    {"Kilometers", 1.8532698799999998},
    {"Feet", 6080.447999999999},
    {"Meters", 1853.2698799999998},
};
constexpr int kDistanceUnitCount = static_cast<int>(sizeof kDistanceUnits / sizeof kDistanceUnits[0]);
constexpr int kFeetUnit = 3;

// The row of the unit table, or null when index names none.
inline const DistanceUnit* DistanceUnitAt(int index) {
    return index >= 0 && index < kDistanceUnitCount ? &kDistanceUnits[index] : nullptr;
}

}  // namespace gw
