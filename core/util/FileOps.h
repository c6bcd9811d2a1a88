#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace gw {

// The calls through which output files reach the disk. Each behaves as the POSIX call
// it is named after: -1 (or a negative count) with errno set when it fails. Production
// code uses System(); a test substitutes one that fails where it is told to.
class FileOps {
public:
    virtual ~FileOps() = default;

    // Creates path for writing; fails when it already exists. Mode 0666 less the umask.
    virtual int CreateNew(const std::string& path);
    virtual ssize_t Write(int fd, const void* data, std::size_t size);
    // Makes what was written durable.
    virtual int Sync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const std::string& from, const std::string& to);
    // Gives the file at `existing` a second name.
    virtual int Link(const std::string& existing, const std::string& name);
    virtual int Remove(const std::string& path);
    // Makes the renames done in a folder durable; where a filesystem cannot, nothing.
    virtual void SyncFolder(const std::string& folder);

    // The operating system's calls.
    static FileOps& System();
};

// The size of the file at path in bytes (links followed), or -1 when it cannot be read.
std::int64_t FileSize(const std::string& path);

}  // namespace gw
