#include "tests/TestSupport.h"
#include "core/features/E00Reader.h"
#include "core/progress/ProgressState.h"

#include <cmath>
#include <sstream>

namespace gw {
namespace {

// The arcs and labels GDAL's E00 driver reads from a file, as ogrinfo lists them.
struct GdalReading {
    std::vector<std::vector<GeoPoint>> arcs;
    std::vector<GeoPoint> labels;
};

std::vector<GeoPoint> ParseWktPoints(const std::string& list) {
    std::vector<GeoPoint> points;
    std::istringstream pairs(list);
    std::string pair;
    while (std::getline(pairs, pair, ',')) {
        std::istringstream xy(pair);
        GeoPoint p;
        xy >> p.lon >> p.lat;
        points.push_back(p);
    }
    return points;
}

// One layer at a time: listing all layers would make GDAL assemble the polygons too,
// which takes it minutes on a large coverage.
std::vector<std::vector<GeoPoint>> GdalGeometries(const std::string& path, const std::string& layer) {
    const test::CommandResult run = test::RunCommand("ogrinfo -ro " + path + " " + layer);
    std::vector<std::vector<GeoPoint>> geometries;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  LINESTRING", 0) != 0 && line.rfind("  POINT", 0) != 0) continue;
        const std::size_t open = line.find('('), close = line.rfind(')');
        geometries.push_back(open == std::string::npos ? std::vector<GeoPoint>{}
                                                       : ParseWktPoints(line.substr(open + 1, close - open - 1)));
    }
    return geometries;
}

GdalReading ReadWithGdal(const std::string& path) {
    GdalReading reading;
    reading.arcs = GdalGeometries(path, "ARC");
    for (const std::vector<GeoPoint>& point : GdalGeometries(path, "LAB")) reading.labels.push_back(point.at(0));
    return reading;
}

// GDAL keeps single-precision coordinates as floats and prints them so.
bool Near(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(a)); }

TEST(GdalCrossCheck, ArcsAndLabelsAgreeWithGdal) {
    SKIP_WITHOUT_SHARED_DATA();
    if (test::RunCommand("command -v ogrinfo").status != 0) GTEST_SKIP() << "no ogrinfo (gdal-bin)";
    for (const char* file : {"valencia.e00", "testpoly.e00", "testpoint.e00", "dcw/dnnet.e00", "dcw/ponet.e00",
                             "dcw/pppoint.e00", "dcw/aepoint.e00"}) {
        const std::string path = test::SharedDataDir() + "/e00/" + file;
        E00Reader e00;
        NullProgress progress;
        ASSERT_TRUE(e00.Parse(path, progress).ok()) << file;
        const GdalReading gdal = ReadWithGdal(path);
        ASSERT_EQ(e00.m_arcs.size(), gdal.arcs.size()) << file;
        ASSERT_EQ(e00.m_labels.size(), gdal.labels.size()) << file;
        for (std::size_t a = 0; a < gdal.arcs.size(); ++a) {
            ASSERT_EQ(e00.m_arcs[a].points.size(), gdal.arcs[a].size()) << file << " arc " << a;
            for (std::size_t p = 0; p < gdal.arcs[a].size(); ++p) {
                const GeoPoint ours = e00.m_arcs[a].points[p], theirs = gdal.arcs[a][p];
                ASSERT_TRUE(Near(ours.lon, theirs.lon) && Near(ours.lat, theirs.lat))
                    << file << " arc " << a << " point " << p << ": " << ours.lon << " " << ours.lat << " vs "
                    << theirs.lon << " " << theirs.lat;
            }
        }
        for (std::size_t l = 0; l < gdal.labels.size(); ++l) {
            const GeoPoint ours = e00.m_labels[l].point, theirs = gdal.labels[l];
            ASSERT_TRUE(Near(ours.lon, theirs.lon) && Near(ours.lat, theirs.lat)) << file << " label " << l;
        }
    }
}

}  // namespace
}  // namespace gw
