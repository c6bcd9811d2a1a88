#pragma once

#include "core/util/Status.h"

#include <string>

namespace gw {

// Keeps a second run off a theater while one writes it: an advisory lock (flock) on a
// hidden file beside the theater's files, named after its index file, which every run
// on those files writes (".t.o2.lock" for t.l2 and for t.L2). The lock file is removed
// on release, so none stays beside the outputs; a run that locked a file its holder
// had just removed sees the name no longer leads to it and takes the lock again.
class TheaterLock {
public:
    TheaterLock() = default;
    ~TheaterLock() { Release(); }
    TheaterLock(const TheaterLock&) = delete;
    TheaterLock& operator=(const TheaterLock&) = delete;

    // Takes the lock for terrainPath without waiting; "another run is writing
    // terrainPath" when one holds it. A path the writers would not name needs no lock.
    Status Acquire(const std::string& terrainPath);
    void Release();

    // Whether the lock taken was a lock file no run held: one left by a run that ended
    // without releasing it (killed), which Release removes.
    bool took_over_stale() const { return m_stale; }
    const std::string& path() const { return m_path; }

    // The lock file for terrainPath; empty when the writers name no file after it.
    static std::string LockPathFor(const std::string& terrainPath);

private:
    int m_fd = -1;
    bool m_stale = false;
    std::string m_path;
};

}  // namespace gw
