#include "util/Text.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace gw {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string result;
    std::size_t start = 0;
    for (std::size_t hit = text.find(from); hit != std::string_view::npos;
         hit = text.find(from, start)) {
        result.append(text.substr(start, hit - start)).append(to);
        start = hit + from.size();
    }
    result.append(text.substr(start));
    return result;
}

std::optional<std::string> OutputPathFor(std::string_view terrainPath, std::string_view ending) {
    if (terrainPath.find(".l2") == std::string_view::npos) return std::nullopt;
    return ReplaceAll(terrainPath, ".l2", ending);
}

std::string FileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

LineReader::LineReader(const std::string& path) {
    m_file = std::fopen(path.c_str(), "rb");
    struct stat info {};
    if (m_file && (fstat(fileno(m_file), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(m_file);
        m_file = nullptr;
        errno = EISDIR;
    }
}

LineReader::~LineReader() {
    if (m_file) std::fclose(m_file);
}

bool LineReader::Next(std::string& line) {
    line.clear();
    if (!m_file) return false;
    int c = std::getc(m_file);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::getc(m_file)) line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.resize(std::min(line.size(), line.find('\0')));
    return true;
}

}  // namespace gw
