#pragma once

#include <cpl_progress.h>

namespace gw::gdalio {

// A GDAL progress that maps an operation's 0..1 onto from..to of another GDAL progress:
// pass GDALScaledProgress as the operation's progress function and data() as its data.
class ScaledProgress {
public:
    ScaledProgress(double from, double to, GDALProgressFunc progress, void* data)
        : m_data(GDALCreateScaledProgress(from, to, progress, data)) {}
    ~ScaledProgress() { GDALDestroyScaledProgress(m_data); }
    ScaledProgress(const ScaledProgress&) = delete;
    ScaledProgress& operator=(const ScaledProgress&) = delete;

    void* data() const { return m_data; }

private:
    void* m_data;
};

}  // namespace gw::gdalio
