#include "tests/gdalio/TestRasters.h"

#include "gdalio/GdalSession.h"
#include "tests/TestSupport.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>


namespace gw::test {

std::string WriteGeoTiff(const std::string& path, const TestRaster& r) {
    gdalio::RegisterGdal();
    GDALDriver* gtiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDatasetUniquePtr ds(gtiff->Create(path.c_str(), r.columns, r.rows, r.bands, r.type, nullptr));
    EXPECT_TRUE(ds) << path;
    if (!ds) return path;
    if (r.gt) ds->SetGeoTransform(std::array<double, 6>(*r.gt).data());
    if (!r.srs.empty()) {
        OGRSpatialReference srs;
        srs.SetFromUserInput(r.srs.c_str());
        ds->SetSpatialRef(&srs);
    }
    std::vector<double> values = r.values;
    values.resize(std::size_t(r.columns) * r.rows);  // zeros after the values given
    for (int b = 1; b <= r.bands; ++b) {
        std::vector<double> bandValues = b == 1 ? values : std::vector<double>(values.size(), 9999);
        EXPECT_EQ(ds->GetRasterBand(b)->RasterIO(GF_Write, 0, 0, r.columns, r.rows, bandValues.data(), r.columns,
                                                 r.rows, GDT_Float64, 0, 0, nullptr),
                  CE_None);
    }
    GDALRasterBand* band = ds->GetRasterBand(1);
    if (r.noData) band->SetNoDataValue(*r.noData);
    if (!r.unit.empty()) band->SetUnitType(r.unit.c_str());
    if (r.scale) band->SetScale(*r.scale);
    if (r.offset) band->SetOffset(*r.offset);
    return path;
}

std::vector<std::int16_t> ReadPosts(const std::string& path) {
    const std::string bytes = ReadFile(path);
    std::vector<std::int16_t> posts;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        posts.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                                  static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    }
    return posts;
}

}  // namespace gw::test
