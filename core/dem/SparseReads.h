#pragma once

#include "core/dem/MappedFile.h"

namespace gw {

// While it lives, the kernel reads only the pages of the raster that are touched, not
// the neighbourhood it would otherwise read ahead around each one. For reads of a few
// posts spread thinly over a large raster (the preview picture of a 1 GB raster touches
// about one page in 250); whole-row reads are better off without it.
class ScopedSparseReads {
public:
    explicit ScopedSparseReads(const MappedFile& raster);
    ~ScopedSparseReads();
    ScopedSparseReads(const ScopedSparseReads&) = delete;
    ScopedSparseReads& operator=(const ScopedSparseReads&) = delete;

private:
    const MappedFile& m_raster;
};

}  // namespace gw
