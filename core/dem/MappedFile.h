#pragma once

#include "core/dem/MappingGuard.h"
#include "core/util/Status.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace gw {

// A whole existing file mapped into memory, read-only. The mapping is guarded
// (MappingGuard): should the file shrink while it is mapped, the pages it lost read as
// zeros instead of killing the process, and Unchanged() turns false.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the whole file at path; any earlier mapping is closed first. The failure
    // says why, naming the file.
    Status Open(const std::string& path);
    // Unmaps and closes; harmless when nothing is open.
    void Close();
    // Exchanges everything two objects hold, mappings and guards included.
    void swap(MappedFile& other) noexcept;

    // Whether the file still reads as it did when mapped: no page of the mapping lost
    // its file, and the file's size and modification time are those taken at Open.
    // True when nothing is mapped.
    bool Unchanged() const;

    // The byte at offset, or null when offset is not below size() or nothing is mapped.
    const std::uint8_t* PointerAt(std::uint64_t offset) const {
        return m_view && offset < m_size ? m_view + offset : nullptr;
    }

    const std::uint8_t* data() const { return m_view; }
    std::uint64_t size() const { return m_size; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::uint64_t m_size = 0;
    std::uint8_t* m_view = nullptr;
    int m_fd = -1;
    timespec m_modified{};
    MappingGuard m_guard;
};

}  // namespace gw
