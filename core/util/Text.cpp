#include "core/util/Text.h"

#include <algorithm>

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

namespace {

// Where the last component of path starts.
std::size_t FileNameStart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string ReplaceInFileName(std::string_view path, std::string_view from, std::string_view to) {
    const std::size_t start = FileNameStart(path);
    return std::string(path.substr(0, start)) + ReplaceAll(path.substr(start), from, to);
}

std::optional<std::string> OutputPathFor(std::string_view terrainPath, std::string_view ending) {
    if (FileNameOf(terrainPath).find(".l2") == std::string::npos) return std::nullopt;
    return ReplaceInFileName(terrainPath, ".l2", ending);
}

std::string FileNameOf(std::string_view path) { return std::string(path.substr(FileNameStart(path))); }

std::string FolderOf(std::string_view path) { return std::string(path.substr(0, FileNameStart(path))); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

LineReader::LineReader(const std::string& path) : m_status(m_file.Open(path)) {}

bool LineReader::Fill() {
    constexpr std::size_t kChunk = 64 * 1024;
    if (!m_status.ok()) return false;
    m_buffer.erase(0, m_start);
    m_end -= m_start;
    m_start = 0;
    m_buffer.resize(m_end + kChunk);
    std::size_t got = 0;
    m_status = m_file.Read(m_buffer.data() + m_end, kChunk, got);
    m_end += got;
    m_buffer.resize(m_end);
    return got > 0;
}

bool LineReader::Next(std::string& line) {
    line.clear();
    bool any = false;
    for (;;) {
        const std::size_t newline = m_buffer.find('\n', m_start);
        const std::size_t stop = newline == std::string::npos ? m_end : newline;
        if (line.size() < kMaxLine) line.append(m_buffer, m_start, std::min(stop - m_start, kMaxLine - line.size()));
        any = any || stop > m_start || newline != std::string::npos;
        if (newline != std::string::npos) {
            m_start = newline + 1;
            break;
        }
        m_start = m_end;
        if (!Fill()) {
            if (!any) return false;
            break;
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.resize(std::min(line.size(), line.find('\0')));
    return true;
}

}  // namespace gw
