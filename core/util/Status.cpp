#include "core/util/Status.h"

#include <cstring>

namespace gw {

std::string ErrnoText(const std::string& what, int error) { return what + ": " + std::strerror(error); }

Status Status::FromErrno(const std::string& what, int error) { return IOError(ErrnoText(what, error)); }

}  // namespace gw
