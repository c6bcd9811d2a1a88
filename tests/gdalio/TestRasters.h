#pragma once

#include <gdal.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gw::test {

// A small raster to write as a GeoTIFF, set up by chained calls: by default 4 x 3 Int16
// posts of half a degree from 10 east, 50 north, in WGS 84, all 0.
struct TestRaster {
    int columns = 4;
    int rows = 3;
    std::optional<std::array<double, 6>> gt = std::array<double, 6>{10, 0.5, 0, 50, 0, -0.5};
    std::string srs = "EPSG:4326";  // empty: none
    GDALDataType type = GDT_Int16;
    std::vector<double> values;  // band 1, row by row from the north
    std::optional<double> noData;
    std::string unit;
    int bands = 1;  // the others hold 9999
    std::optional<double> scale;
    std::optional<double> offset;

    TestRaster& Size(int c, int r) { return columns = c, rows = r, *this; }
    TestRaster& Grid(std::optional<std::array<double, 6>> g) { return gt = g, *this; }
    TestRaster& Srs(std::string s) { return srs = std::move(s), *this; }
    TestRaster& Type(GDALDataType t) { return type = t, *this; }
    TestRaster& Values(std::vector<double> v) { return values = std::move(v), *this; }
    TestRaster& NoData(double n) { return noData = n, *this; }
    TestRaster& Unit(std::string u) { return unit = std::move(u), *this; }
    TestRaster& Bands(int b) { return bands = b, *this; }
    TestRaster& ScaleOffset(double s, double o) { return scale = s, offset = o, *this; }
};

// Writes the raster as a GeoTIFF at path; returns path.
std::string WriteGeoTiff(const std::string& path, const TestRaster& raster);

// The little-endian 16-bit posts of a raw raster file.
std::vector<std::int16_t> ReadPosts(const std::string& path);

}  // namespace gw::test
