// libFuzzer harness: any bytes as a palette file, read as the MAP writer reads it.
#include "core/generate/MapWriter.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/gridwright-fuzz-" + std::to_string(::getpid()) + ".pal";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    std::vector<std::uint8_t> entries;
    const gw::Status read = gw::ReadPalette(path, entries);
    // Every colour read gives one entry of four bytes, the last 255; all 256 or a reason.
    if (entries.size() % 4 != 0 || entries.size() > 1024 || read.ok() != (entries.size() == 1024) ||
        (!read.ok() && read.message().empty())) {
        std::abort();
    }
    for (std::size_t i = 3; i < entries.size(); i += 4) {
        if (entries[i] != 255) std::abort();
    }
    return 0;
}
