#include "core/dem/SparseReads.h"

#include <sys/mman.h>

namespace gw {
namespace {

// A hint only: when the kernel refuses it, reads are as fast or slow as before.
void Advise(const MappedFile& raster, int advice) {
    if (raster.data()) ::madvise(const_cast<std::uint8_t*>(raster.data()), raster.size(), advice);
}

}  // namespace

ScopedSparseReads::ScopedSparseReads(const MappedFile& raster) : m_raster(raster) { Advise(m_raster, MADV_RANDOM); }

ScopedSparseReads::~ScopedSparseReads() { Advise(m_raster, MADV_NORMAL); }

}  // namespace gw
