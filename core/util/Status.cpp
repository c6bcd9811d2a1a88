#include "util/Status.h"

#include <cerrno>
#include <cstring>

namespace gw {

std::string ErrnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

}  // namespace gw
