#pragma once

#include "gdalio/DemImport.h"
#include "core/util/Status.h"

#include <ogr_spatialref.h>

#include <memory>
#include <optional>
#include <vector>

namespace gw::gdalio {

// Carries coordinates of a layer's coordinate system into WGS 84, x the longitude and y
// the latitude in degrees. A layer already in geographic WGS 84 with its x the
// longitude keeps its coordinates bit for bit.
class Wgs84Transform {
public:
    // source's axis mapping says which axis a geometry's x and y are.
    explicit Wgs84Transform(const OGRSpatialReference& source);
    Wgs84Transform(const Wgs84Transform&) = delete;
    Wgs84Transform& operator=(const Wgs84Transform&) = delete;

    // Why no transformation into WGS 84 could be made; ok when Apply and Bounds work.
    const Status& status() const { return m_status; }

    // Transforms the points (x[i], y[i]) in place; valid[i] says whether point i could
    // be. REQUIRES: status().ok(), x and y of the same size.
    void Apply(std::vector<double>& x, std::vector<double>& y, std::vector<int>& valid) const;

    // The WGS 84 extent that holds the source rectangle, its edges followed through
    // the transformation; nothing when it cannot be transformed. REQUIRES: status().ok().
    std::optional<GeoBounds> Bounds(double minX, double minY, double maxX, double maxY) const;

private:
    struct Destroy {
        void operator()(OGRCoordinateTransformation* transform) const;
    };
    std::unique_ptr<OGRCoordinateTransformation, Destroy> m_transform;  // null: the identity
    Status m_status;
};

}  // namespace gw::gdalio
