// libFuzzer harness: any bytes as a DEM header file, read as an open reads it.
#include "core/dem/DemHeader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/gridwright-fuzz-" + std::to_string(::getpid()) + ".hdr";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    gw::DemHeader header;
    if (gw::ReadDemHeader(path, header).ok() && gw::CheckDemHeader(header).ok()) gw::UnitFactorFor(header.elev_m_unit);
    return 0;
}
