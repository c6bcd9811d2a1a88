#include "core/generate/TheaterLock.h"

#include "core/generate/L2Writer.h"
#include "core/util/OutputSet.h"
#include "core/util/Text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gw {

std::string TheaterLock::LockPathFor(const std::string& terrainPath) {
    const std::optional<std::string> index = IndexPathFor(terrainPath);
    if (!index) return {};
    return FolderOf(*index) + "." + FileNameOf(*index) + ".lock";
}

Status TheaterLock::Acquire(const std::string& terrainPath) {
    Release();
    const std::string lockPath = LockPathFor(terrainPath);
    if (lockPath.empty()) return Status::Ok();
    return Lock(lockPath, terrainPath);
}

Status TheaterLock::AcquireFile(const std::string& path) {
    Release();
    return Lock(FolderOf(path) + "." + FileNameOf(path) + ".lock", path);
}

Status TheaterLock::Lock(const std::string& lockPath, const std::string& output) {
    const std::string what = "cannot lock " + output + " for this run (" + lockPath + ")";
    // Each turn fails only when the holder removed the file between our open and our
    // flock, which needs a run to end each time; a handful of turns is plenty.
    constexpr int kTries = 64;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        struct stat before;
        const bool existed = ::lstat(lockPath.c_str(), &before) == 0;
        // Read-only is enough to lock; non-blocking so that a FIFO of that name cannot
        // hold the run up.
        const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) return Status::FromErrno(what, errno);
        struct stat locked;
        if (::fstat(fd, &locked) != 0) {
            const int error = errno;
            ::close(fd);
            return Status::FromErrno(what, error);
        }
        if (!S_ISREG(locked.st_mode)) {
            ::close(fd);
            return Status::IOError(what + ": not a regular file");
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) return Status::IOError("another run is writing " + output);
            return Status::FromErrno(what, error);
        }
        struct stat named;
        if (::lstat(lockPath.c_str(), &named) == 0 && named.st_dev == locked.st_dev && named.st_ino == locked.st_ino) {
            m_fd = fd;
            m_path = lockPath;
            m_stale = existed && before.st_ino == named.st_ino && before.st_dev == named.st_dev;
            return Status::Ok();
        }
        ::close(fd);
    }
    return Status::IOError(what + ": the lock file keeps being replaced");
}

void TheaterLock::Release() {
    if (m_fd < 0) return;
    // Removed while still held: whoever locks the old file afterwards finds the name
    // no longer leads to it.
    ::unlink(m_path.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_stale = false;
}

std::vector<std::string> CleanupNotes(const TheaterLock& lock, const OutputSet& outputs) {
    std::vector<std::string> removed = outputs.RemovedStale();
    if (lock.took_over_stale()) removed.insert(removed.begin(), lock.path());
    std::vector<std::string> notes;
    for (const std::string& path : removed) notes.push_back("removed " + path + ", left by a run that ended");
    return notes;
}

}  // namespace gw
