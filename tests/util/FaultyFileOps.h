#pragma once

#include "core/util/FileOps.h"
#include "core/util/Text.h"

#include <cerrno>
#include <set>
#include <string>

namespace gw::test {

// File operations that fail one kind of call, with `error`, on the files whose name
// holds `name` (a temporary's hidden name holds its target's).
class FaultyFileOps : public FileOps {
public:
    enum class Call { kCreate, kWrite, kSync, kClose, kRename };

    FaultyFileOps(Call call, std::string name, int error = ENOSPC)
        : m_call(call), m_name(std::move(name)), m_error(error) {}

    int CreateNew(const std::string& path) override {
        if (Fails(Call::kCreate, Hits(path))) return -1;
        const int fd = FileOps::CreateNew(path);
        if (fd >= 0 && Hits(path)) m_fds.insert(fd);
        return fd;
    }
    ssize_t Write(int fd, const void* data, std::size_t size) override {
        return Fails(Call::kWrite, m_fds.count(fd) > 0) ? -1 : FileOps::Write(fd, data, size);
    }
    int Sync(int fd) override { return Fails(Call::kSync, m_fds.count(fd) > 0) ? -1 : FileOps::Sync(fd); }
    int Close(int fd) override {
        const bool hit = m_fds.erase(fd) > 0;
        const int closed = FileOps::Close(fd);
        return Fails(Call::kClose, hit) ? -1 : closed;
    }
    int Rename(const std::string& from, const std::string& to) override {
        return Fails(Call::kRename, Hits(to)) ? -1 : FileOps::Rename(from, to);
    }

    // How many calls were made to fail.
    int failures = 0;

private:
    bool Hits(const std::string& path) const { return FileNameOf(path).find(m_name) != std::string::npos; }
    bool Fails(Call call, bool hit) {
        if (call != m_call || !hit) return false;
        ++failures;
        errno = m_error;
        return true;
    }

    Call m_call;
    std::string m_name;
    int m_error;
    std::set<int> m_fds;
};

}  // namespace gw::test
