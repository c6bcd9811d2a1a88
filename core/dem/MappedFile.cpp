#include "core/dem/MappedFile.h"

#include "core/util/Status.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace gw {

MappedFile::~MappedFile() { Close(); }

Status MappedFile::Open(const std::string& path) {
    Close();

    // Non-blocking, so that a FIFO cannot hold the open; only regular files are kept.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) return Status::FromErrno("cannot open " + path, errno);
    m_path = path;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) return Status::FromErrno("cannot read the size of " + path, errno);
    if (!S_ISREG(info.st_mode)) return Status::IOError(path + " is not a regular file");
    m_size = static_cast<std::uint64_t>(info.st_size);
    m_modified = info.st_mtim;
    if (m_size == 0) return Status::IOError(path + " is empty");
    void* view = ::mmap(nullptr, m_size, PROT_READ, MAP_SHARED, m_fd, 0);
    if (view == MAP_FAILED) return Status::FromErrno("cannot map " + path, errno);
    m_view = static_cast<std::uint8_t*>(view);
    if (!m_guard.Guard(m_view, m_size)) {
        Close();
        return Status::IOError("cannot map " + path + ": too many files are mapped at once to guard another");
    }
    return Status::Ok();
}

void MappedFile::Close() {
    m_guard.Release();
    if (m_view) ::munmap(m_view, m_size);
    m_view = nullptr;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

void MappedFile::swap(MappedFile& other) noexcept {
    m_path.swap(other.m_path);
    std::swap(m_size, other.m_size);
    std::swap(m_view, other.m_view);
    std::swap(m_fd, other.m_fd);
    std::swap(m_modified, other.m_modified);
    m_guard.swap(other.m_guard);
}

bool MappedFile::Unchanged() const {
    if (!m_view) return true;
    if (m_guard.Faulted()) return false;
    struct stat info {};
    return ::fstat(m_fd, &info) == 0 && static_cast<std::uint64_t>(info.st_size) == m_size &&
           info.st_mtim.tv_sec == m_modified.tv_sec && info.st_mtim.tv_nsec == m_modified.tv_nsec;
}

}  // namespace gw
