#include "core/util/SmallFile.h"

#include "core/util/InputFile.h"

#include <algorithm>

namespace gw {
namespace {

Status TooLarge(const std::string& path, std::size_t maxBytes, const char* kind) {
    return Status::InvalidArgument(path + " is larger than " + std::to_string(maxBytes) + " bytes: too large for " +
                                   kind);
}

}  // namespace

Status ReadSmallFile(const std::string& path, std::size_t maxBytes, const char* kind, std::string& bytes) {
    bytes.clear();
    InputFile file;
    if (Status s = file.Open(path); !s.ok()) return s;
    if (file.size() > maxBytes) return TooLarge(path, maxBytes, kind);
    // Room for one byte more than the file held when opened, so that the end is seen
    // in one read; a file grown since then is read on, up to one byte past the limit.
    std::string content(static_cast<std::size_t>(file.size()) + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == content.size()) content.resize(std::min(2 * content.size(), maxBytes + 1));
        std::size_t got = 0;
        if (Status s = file.Read(content.data() + used, content.size() - used, got); !s.ok()) return s;
        if (got == 0) break;
        used += got;
        if (used > maxBytes) return TooLarge(path, maxBytes, kind);
    }
    content.resize(used);
    bytes = std::move(content);
    return Status::Ok();
}

}  // namespace gw
