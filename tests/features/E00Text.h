#pragma once

#include <clocale>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace gw::test {

// Fixed-width fields of export files: integers, and single and double precision values.
inline std::string I(long v) {
    char b[24];
    std::snprintf(b, sizeof b, "%10ld", v);
    return b;
}
// Reals are written as in the C locale, whatever the test program's locale.
inline std::string Real(const char* format, double v) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t previous = uselocale(c);
    char b[32];
    std::snprintf(b, sizeof b, format, v);
    uselocale(previous);
    return b;
}
inline std::string F(double v) { return Real("%14.7E", v); }
inline std::string D(double v) { return Real("%21.14E", v); }

// An INFO item definition: name in columns 0-15, size in 16-18, type in 34-36.
inline std::string Item(const std::string& name, int size, int type) {
    char b[96];
    std::snprintf(b, sizeof b, "%-16s%3d-1%13s%3d%3s-1  -1  -1-1                   1-\n", name.c_str(), size, "",
                  type, "");
    return b;
}

inline std::string ArcRecord(long id, long points) {
    return I(id) + I(id) + I(1) + I(2) + I(0) + I(0) + I(points) + "\n";
}
inline const std::string kArcEnd = I(-1) + I(0) + I(0) + I(0) + I(0) + I(0) + I(0) + "\n";

// A single-precision line coverage with these arcs of (x, y) points.
inline std::string LineCoverage(const std::string& path, const std::vector<std::vector<std::pair<double, double>>>& arcs) {
    std::string text = "EXP  0 " + path + "\nARC  2\n";
    long id = 0;
    for (const auto& arc : arcs) {
        text += ArcRecord(++id, static_cast<long>(arc.size()));
        for (std::size_t p = 0; p < arc.size(); ++p) {
            text += F(arc[p].first) + F(arc[p].second);
            if (p % 2 == 1 || p + 1 == arc.size()) text += "\n";
        }
    }
    return text + kArcEnd + "EOS\n";
}

}  // namespace gw::test
