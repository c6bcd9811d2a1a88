#pragma once

#include <md5.h>

#include <cstdint>
#include <string>

namespace gw::test {

inline std::string Md5Hex(const std::string& bytes) {
    MD5_CTX ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::uint8_t digest[MD5_DIGEST_LENGTH];
    MD5Final(digest, &ctx);
    std::string hex;
    for (std::uint8_t b : digest) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
    return hex;
}

// The text with every occurrence of path replaced by name.
inline std::string Replaced(std::string text, const std::string& path, const std::string& name) {
    for (std::size_t at = 0; (at = text.find(path, at)) != std::string::npos; at += name.size()) {
        text.replace(at, path.size(), name);
    }
    return text;
}

}  // namespace gw::test
