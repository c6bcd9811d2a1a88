#pragma once

#include "util/Status.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace gw {

// A file written from the start (an existing one is replaced), buffered. Write errors
// are remembered and reported by Close, so that no file is left short unnoticed.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    Status Create(const std::string& path);
    void Write(const void* data, std::size_t size);
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    // text followed by CR LF.
    void WriteLine(std::string_view text);
    // Flushes and closes; fails when anything could not be written.
    Status Close();

    const std::string& path() const { return m_path; }

private:
    std::FILE* m_file = nullptr;
    std::unique_ptr<char[]> m_buffer;
    std::string m_path;
    int m_errno = 0;
};

}  // namespace gw
