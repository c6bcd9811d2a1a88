#include "core/util/FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace gw {

int FileOps::CreateNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

ssize_t FileOps::Write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

int FileOps::Sync(int fd) { return ::fsync(fd); }

int FileOps::Close(int fd) { return ::close(fd); }

int FileOps::Rename(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()); }

int FileOps::Link(const std::string& existing, const std::string& name) {
    return ::link(existing.c_str(), name.c_str());
}

int FileOps::Remove(const std::string& path) { return ::unlink(path.c_str()); }

void FileOps::SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

FileOps& FileOps::System() {
    static FileOps system;
    return system;
}

std::int64_t FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

}  // namespace gw
