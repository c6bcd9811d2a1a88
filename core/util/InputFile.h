#pragma once

#include "core/util/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace gw {

// An existing regular file open for reading. FIFOs, devices and folders are refused
// with a reason before anything could block on them.
class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens path; any file open before is closed first.
    Status Open(const std::string& path);
    void Close();

    // Reads up to size bytes at the current position; got is 0 only at the end of the
    // file. A read error is a failure, never taken for the end.
    Status Read(void* buffer, std::size_t size, std::size_t& got);

    bool is_open() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // The file's size when it was opened.
    std::uint64_t size() const { return m_size; }
    const std::string& path() const { return m_path; }

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::string m_path;
};

// The refusal of a path that is not a regular file, from the st_mode its stat gave:
// "P is a pipe, not a regular file" (a folder, a socket or a device likewise).
Status NotRegularFile(const std::string& path, unsigned mode);

}  // namespace gw
