#pragma once

#include "gdalio/DemImport.h"
#include "gdalio/GdalSession.h"
#include "core/util/Status.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <string>
#include <vector>

namespace gw::gdalio {

// One raster an import reads, as GDAL holds it.
struct ImportSource {
    std::string path;
    // Where it lies in WGS 84 degrees. A source across the antimeridian reaches east
    // beyond 180.
    GeoBounds extent;
    // Its finest post spacing in degrees: along its rows or columns, measured at its
    // centre for a projected source.
    double spacing = 0.0;
    // The files it is read from.
    std::vector<std::string> files;
    GDALDatasetUniquePtr opened;
    // Its first band's heights in metres, when they needed converting or other bands
    // left out; empty when the opened dataset is warped as it is.
    GDALDatasetUniquePtr inMetres;

    GDALDatasetH warped() const { return GDALDataset::ToHandle(inMetres ? inMetres.get() : opened.get()); }
};

// Opens the source at path for an import. Fails, naming it, when it is a pipe, socket or
// device (refused before GDAL could block on it), GDAL cannot open it as a raster, it is not placed on a grid by a geotransform, it has no coordinate system
// or none that reaches WGS 84, or its heights are in a unit other than metres and feet.
Status OpenImportSource(const std::string& path, GdalMessages& messages, ImportSource& source);

// The geographic coordinate system of WGS 84, longitude first.
OGRSpatialReference Wgs84();

// The factor from a band's unit of height to metres: 1 for metres (and for no unit),
// the foot's and the US survey foot's lengths; 0 for other units.
double MetresPerUnit(const std::string& unit);

}  // namespace gw::gdalio
