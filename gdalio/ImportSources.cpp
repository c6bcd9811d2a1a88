#include "gdalio/ImportSources.h"

#include "core/util/Text.h"

#include <sys/stat.h>

#include <gdal_vrt.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace gw::gdalio {
namespace {

using GeoTransform = std::array<double, 6>;

// GDAL would wait on a pipe for a writer: only files and folders are handed to it, and
// names the file system does not know (GDAL's own, such as /vsizip/...).
Status CheckOpenable(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) return Status::Ok();
    const char* what = S_ISFIFO(info.st_mode) ? "a pipe" : S_ISSOCK(info.st_mode) ? "a socket" : "a device";
    return Status::IOError("cannot open " + path + " as a raster: it is " + what + ", not a file or folder");
}

// The source's corners' bounding box in its own coordinates, then in WGS 84 degrees
// (GDAL follows the edges, and takes in a pole inside the source).
Status FindExtent(const ImportSource& source, const GeoTransform& gt, OGRCoordinateTransformation& toWgs84,
                  GdalMessages& messages, GeoBounds& extent) {
    const double columns = source.opened->GetRasterXSize(), rows = source.opened->GetRasterYSize();
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX, minY = minX, maxY = -minX;
    for (const auto& [column, row] : {std::pair{0.0, 0.0}, {columns, 0.0}, {0.0, rows}, {columns, rows}}) {
        const double x = gt[0] + column * gt[1] + row * gt[2], y = gt[3] + column * gt[4] + row * gt[5];
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    // NaN, infinity or a huge value in the geotransform is the source's fault, not the
    // bounds asked for.
    const Status offTheGlobe = Status::Corruption(source.path + ": its geotransform does not place it on the globe");
    if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY)) {
        return offTheGlobe;
    }
    messages.ClearLastError();
    if (!toWgs84.TransformBounds(minX, minY, maxX, maxY, &extent.west, &extent.south, &extent.east, &extent.north,
                                 21)) {
        return Status::Corruption(source.path + ": its extent cannot be expressed in WGS 84 degrees: " +
                                  messages.LastError("the transformation failed"));
    }
    constexpr double kWidestLongitude = 540.0;  // a source may reach past 180 degrees east
    if (!(extent.south <= 90.0 && extent.north >= -90.0 && extent.west >= -kWidestLongitude &&
          extent.east <= kWidestLongitude)) {
        return offTheGlobe;
    }
    if (extent.west > extent.east) extent.east += 360.0;
    extent.south = std::max(extent.south, -90.0);
    extent.north = std::min(extent.north, 90.0);
    return Status::Ok();
}

// The length in degrees of one step along a column and along a row at the source's
// centre, the shorter of the two.
Status FindSpacing(ImportSource& source, const GeoTransform& gt, const OGRSpatialReference& srs,
                   OGRCoordinateTransformation& toWgs84, GdalMessages& messages) {
    if (srs.IsGeographic()) {
        const double degrees = srs.GetAngularUnits() * 180.0 / M_PI;
        source.spacing = std::min(std::hypot(gt[1], gt[4]), std::hypot(gt[2], gt[5])) * degrees;
        return Status::Ok();
    }
    const double column = std::floor(source.opened->GetRasterXSize() / 2.0);
    const double row = std::floor(source.opened->GetRasterYSize() / 2.0);
    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        const double c = column + (i == 1), r = row + (i == 2);
        x[i] = gt[0] + c * gt[1] + r * gt[2];
        y[i] = gt[3] + c * gt[4] + r * gt[5];
    }
    messages.ClearLastError();
    if (!toWgs84.Transform(3, x, y)) {
        return Status::Corruption(source.path + ": its centre cannot be expressed in WGS 84 degrees: " +
                                  messages.LastError("the transformation failed"));
    }
    const auto step = [&](int i) {
        const double east = std::remainder(x[i] - x[0], 360.0);
        return std::hypot(east, y[i] - y[0]);
    };
    source.spacing = std::min(step(1), step(2));
    return Status::Ok();
}

// A dataset of the source's first band in metres, as 32-bit floats with NaN for no data,
// when the source needs one: when it has more bands, a unit other than metres, or a
// scale or offset on its values.
Status ConvertToMetres(ImportSource& source, const GeoTransform& gt, double metresPerUnit) {
    GDALRasterBand* band = source.opened->GetRasterBand(1);
    int hasScale = FALSE, hasOffset = FALSE, hasNoData = FALSE;
    const double scale = band->GetScale(&hasScale), offset = band->GetOffset(&hasOffset);
    const double noData = band->GetNoDataValue(&hasNoData);
    if (source.opened->GetRasterCount() == 1 && metresPerUnit == 1.0 && (!hasScale || scale == 1.0) &&
        (!hasOffset || offset == 0.0)) {
        return Status::Ok();
    }
    const int columns = source.opened->GetRasterXSize(), rows = source.opened->GetRasterYSize();
    GDALDatasetUniquePtr converted(GDALDataset::FromHandle(VRTCreate(columns, rows)));
    GeoTransform copy = gt;
    converted->SetGeoTransform(copy.data());
    converted->SetSpatialRef(source.opened->GetSpatialRef());
    converted->AddBand(GDT_Float32, nullptr);
    GDALRasterBand* metres = converted->GetRasterBand(1);
    metres->SetNoDataValue(std::numeric_limits<double>::quiet_NaN());
    const double ratio = (hasScale ? scale : 1.0) * metresPerUnit;
    if (VRTAddComplexSource(metres, band, 0, 0, columns, rows, 0, 0, columns, rows,
                            (hasOffset ? offset : 0.0) * metresPerUnit, ratio,
                            hasNoData ? noData : VRT_NODATA_UNSET) != CE_None) {
        return Status::Corruption(source.path + ": its heights cannot be converted to metres");
    }
    source.inMetres = std::move(converted);
    return Status::Ok();
}

}  // namespace

OGRSpatialReference Wgs84() {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return wgs84;
}

double MetresPerUnit(const std::string& unit) {
    for (const char* metres : {"", "m", "metre", "metres", "meter", "meters"}) {
        if (EqualsNoCase(unit, metres)) return 1.0;
    }
    for (const char* feet : {"ft", "foot", "feet", "international foot"}) {
        if (EqualsNoCase(unit, feet)) return 0.3048;
    }
    for (const char* surveyFeet : {"US survey foot", "ftUS", "us-ft", "foot_us"}) {
        if (EqualsNoCase(unit, surveyFeet)) return 1200.0 / 3937.0;
    }
    return 0.0;
}

Status OpenImportSource(const std::string& path, GdalMessages& messages, ImportSource& source) {
    source.path = path;
    if (Status s = CheckOpenable(path); !s.ok()) return s;
    messages.ClearLastError();
    source.opened.reset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR));
    if (!source.opened) {
        return Status::IOError("cannot open " + path + " as a raster: " + messages.LastError("GDAL cannot read it"));
    }
    if (source.opened->GetRasterCount() < 1) return Status::Corruption(path + ": it holds no raster band");
    GeoTransform gt{};
    if (source.opened->GetGeoTransform(gt.data()) != CE_None || gt[1] * gt[5] - gt[2] * gt[4] == 0.0) {
        return Status::Corruption(path + ": it is not placed on a grid (it has no geotransform); GDAL cannot say "
                                         "where its posts lie");
    }
    const OGRSpatialReference* srs = source.opened->GetSpatialRef();
    if (!srs || srs->IsEmpty()) {
        return Status::Corruption(path + ": it has no coordinate system; give it one first (for example "
                                         "gdal_translate -a_srs EPSG:4326)");
    }
    const std::string unit = source.opened->GetRasterBand(1)->GetUnitType();
    const double metresPerUnit = MetresPerUnit(unit);
    if (metresPerUnit == 0.0) {
        return Status::Corruption(path + ": its heights are in \"" + unit + "\", which is neither metres nor feet");
    }
    const OGRSpatialReference wgs84 = Wgs84();
    messages.ClearLastError();
    const std::unique_ptr<OGRCoordinateTransformation> toWgs84(OGRCreateCoordinateTransformation(srs, &wgs84));
    if (!toWgs84) {
        return Status::Corruption(path + ": its coordinate system cannot be transformed to WGS 84: " +
                                  messages.LastError("PROJ knows no way"));
    }
    if (Status s = FindExtent(source, gt, *toWgs84, messages, source.extent); !s.ok()) return s;
    if (Status s = FindSpacing(source, gt, *srs, *toWgs84, messages); !s.ok()) return s;
    if (!(source.spacing > 0.0) || !std::isfinite(source.spacing)) {
        return Status::Corruption(path + ": its post spacing cannot be expressed in degrees");
    }
    const CPLStringList files(source.opened->GetFileList());
    for (int i = 0; i < files.size(); ++i) source.files.emplace_back(files[i]);
    return ConvertToMetres(source, gt, metresPerUnit);
}

}  // namespace gw::gdalio
