#include "dem/MappedFile.h"

#include "util/Status.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gw {

MappedFile::~MappedFile() { Close(); }

bool MappedFile::Open(const std::string& path, int mode) {
    if (mode != kReadOnly && mode != kReadWrite) return false;
    Close();
    m_mode = mode;
    m_error.clear();

    // Non-blocking, so that a FIFO cannot hold the open; only regular files are kept.
    m_fd = ::open(path.c_str(), (mode == kReadOnly ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = ErrnoText("cannot open " + path, errno);
        return false;
    }
    m_path = path;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        m_error = ErrnoText("cannot read the size of " + path, errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        m_error = path + " is not a regular file";
        return false;
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
    if (m_size == 0) {
        m_error = path + " is empty";
        return false;
    }
    const int protection = mode == kReadOnly ? PROT_READ : PROT_READ | PROT_WRITE;
    void* view = ::mmap(nullptr, m_size, protection, MAP_SHARED, m_fd, 0);
    if (view == MAP_FAILED) {
        m_error = ErrnoText("cannot map " + path, errno);
        return false;
    }
    m_view = static_cast<std::uint8_t*>(view);
    return true;
}

void MappedFile::Close() {
    if (m_view) ::munmap(m_view, m_size);
    m_view = nullptr;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace gw
