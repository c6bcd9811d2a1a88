#pragma once

#include "core/util/Status.h"

#include <string>
#include <vector>

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
    // The same for a run that writes the one file path and what belongs with it (an
    // imported DEM's header and raster): the lock file is named after path.
    Status AcquireFile(const std::string& path);
    void Release();

    // Whether the lock taken was a lock file no run held: one left by a run that ended
    // without releasing it (killed), which Release removes.
    bool took_over_stale() const { return m_stale; }
    const std::string& path() const { return m_path; }

    // The lock file for terrainPath; empty when the writers name no file after it.
    static std::string LockPathFor(const std::string& terrainPath);

private:
    Status Lock(const std::string& lockPath, const std::string& output);

    int m_fd = -1;
    bool m_stale = false;
    std::string m_path;
};

class OutputSet;

// What a run says of what it cleaned up after runs that ended without doing so: "removed
// P, left by a run that ended" for a lock file taken over and each temporary removed.
std::vector<std::string> CleanupNotes(const TheaterLock& lock, const OutputSet& outputs);

}  // namespace gw
