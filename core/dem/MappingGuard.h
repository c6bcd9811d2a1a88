#pragma once

#include <cstddef>

namespace gw {

// Keeps reads of a read-only file mapping from killing the process when another
// program shrinks the file under it. Without a guard, touching a mapped page that no
// longer has file behind it raises SIGBUS. A process-wide SIGBUS handler, installed
// the first time a range is guarded, maps a page of zeros over the faulting page of a
// guarded range, so the read that faulted (and every later read of that page) sees
// zeros, and remembers that the range lost data. Faults outside every guarded range go
// to the handler that was installed before, or kill the process as they would have.
//
// Guarding and releasing are meant for the thread that maps and unmaps; Faulted may be
// asked from any thread, and faults may come from any thread.
class MappingGuard {
public:
    // How many ranges can be guarded at once.
    static constexpr int kMaxRanges = 1024;

    MappingGuard() = default;
    ~MappingGuard() { Release(); }
    MappingGuard(const MappingGuard&) = delete;
    MappingGuard& operator=(const MappingGuard&) = delete;

    // Starts guarding the size bytes of a read-only mapping at begin (page aligned);
    // a range guarded before is released first. False when kMaxRanges ranges are
    // already guarded or the handler cannot be installed.
    // REQUIRES: the range stays mapped until Release (or destruction).
    bool Guard(const void* begin, std::size_t size);
    // Stops guarding; call it before the range is unmapped. Harmless when unguarded.
    void Release();
    // Whether a page of the range was replaced by zeros since Guard.
    bool Faulted() const;

    void swap(MappingGuard& other) noexcept {
        const int slot = m_slot;
        m_slot = other.m_slot;
        other.m_slot = slot;
    }

private:
    int m_slot = -1;
};

}  // namespace gw
