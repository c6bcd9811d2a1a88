#pragma once

#include <md5.h>

#include <cstdint>
#include <string>

namespace gw::test {

inline std::string Md5Hex(const std::string& bytes) {
    char hex[MD5_DIGEST_STRING_LENGTH];
    return MD5Data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), hex);
}

// The text with every occurrence of path replaced by name.
inline std::string Replaced(std::string text, const std::string& path, const std::string& name) {
    for (std::size_t at = 0; (at = text.find(path, at)) != std::string::npos; at += name.size()) {
        text.replace(at, path.size(), name);
    }
    return text;
}

}  // namespace gw::test
