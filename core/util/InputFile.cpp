#include "core/util/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gw {

Status NotRegularFile(const std::string& path, unsigned mode) {
    const char* what = S_ISDIR(mode)    ? "a folder"
                       : S_ISFIFO(mode) ? "a pipe"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "a device";
    return Status::IOError(path + " is " + what + ", not a regular file");
}

Status InputFile::Open(const std::string& path) {
    Close();
    // Non-blocking, so that opening a FIFO cannot wait for a writer; the flag is
    // cleared once the file is known to be a regular one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Status::FromErrno("cannot open " + path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return Status::FromErrno("cannot read the size of " + path, error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return NotRegularFile(path, info.st_mode);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_size = static_cast<std::uint64_t>(info.st_size);
    m_path = path;
    return Status::Ok();
}

void InputFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
}

Status InputFile::Read(void* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    if (m_fd < 0) return Status::IOError("cannot read " + m_path + ": the file is not open");
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return Status::Ok();
        }
        if (errno != EINTR) return Status::FromErrno("cannot read " + m_path, errno);
    }
}

}  // namespace gw
