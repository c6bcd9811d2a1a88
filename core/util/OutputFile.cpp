#include "core/util/OutputFile.h"

#include "core/util/RunFiles.h"
#include "core/util/Text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace gw {
namespace {

constexpr std::size_t kBufferSize = 1 << 20;

// A temporary's name must fit a folder entry (255 bytes) even when the target's nearly
// fills one, so it carries at most this much of the target's name.
constexpr std::size_t kNameKept = 200;

// Temporaries differ by process and by a count within the process; one left by a
// crashed process of the same id is stepped over.
std::string NextUnique() {
    static std::atomic<unsigned long> count{0};
    return std::to_string(::getpid()) + "-" + std::to_string(count++);
}

}  // namespace

std::string TemporaryPathFor(const std::string& path, const std::string& unique) {
    const std::string name = FileNameOf(path);
    return FolderOf(path) + "." + name.substr(0, kNameKept) + "." + unique + ".part";
}

Status WriteWholeFile(const std::string& path, std::string_view bytes, FileOps& ops) {
    OutputFile file;
    if (Status created = file.Create(path, ops); !created.ok()) return created;
    file.Write(bytes);
    return file.Close();
}

OutputFile::~OutputFile() { Abandon(); }

Status OutputFile::Create(const std::string& path, FileOps& ops) { return Start(path, ops, true); }

Status OutputFile::Start(const std::string& path, FileOps& ops, bool putInPlaceOnClose) {
    Abandon();
    m_ops = &ops;
    m_path = path;
    m_putInPlaceOnClose = putInPlaceOnClose;
    m_errno = 0;
    m_used = 0;
    m_state = State::kFailed;
    // A folder standing where the file goes could not be replaced at the end.
    if (struct stat target; ::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        return Status::FromErrno("cannot create " + path, EISDIR);
    }
    m_removedStale = RemoveStaleTemporaries(path);
    constexpr int kTries = 100;
    for (int attempt = 0; attempt < kTries && m_fd < 0; ++attempt) {
        m_temporary = TemporaryPathFor(path, NextUnique());
        m_fd = ops.CreateNew(m_temporary);
        if (m_fd < 0 && errno != EEXIST) return Status::FromErrno("cannot create " + path, errno);
    }
    if (m_fd < 0) return Status::FromErrno("cannot create " + path, EEXIST);
    if (!m_buffer) m_buffer = std::make_unique<char[]>(kBufferSize);
    m_state = State::kOpen;
    return Status::Ok();
}

void OutputFile::WriteOut(const char* data, std::size_t size) {
    while (size > 0 && m_errno == 0) {
        const ssize_t written = m_ops->Write(m_fd, data, size);
        if (written < 0) {
            if (errno != EINTR) m_errno = errno;
            continue;
        }
        if (written == 0) m_errno = EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void OutputFile::Flush() {
    WriteOut(m_buffer.get(), m_used);
    m_used = 0;
}

void OutputFile::Write(const void* data, std::size_t size) {
    if (m_state != State::kOpen || m_errno != 0) return;
    const char* bytes = static_cast<const char*>(data);
    if (m_used + size > kBufferSize) {
        Flush();
        if (size >= kBufferSize) return WriteOut(bytes, size);
    }
    std::memcpy(m_buffer.get() + m_used, bytes, size);
    m_used += size;
}

void OutputFile::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n", 2);
}

Status OutputFile::Complete() {
    Flush();
    // Without the sync a crash soon after the rename could leave an empty file where
    // the good one of an earlier run stood.
    if (m_errno == 0 && m_ops->Sync(m_fd) != 0) m_errno = errno;
    if (m_ops->Close(m_fd) != 0 && m_errno == 0) m_errno = errno;
    m_fd = -1;
    if (m_errno != 0) {
        Abandon();
        return Status::FromErrno("cannot write " + m_path, m_errno);
    }
    m_state = State::kComplete;
    return Status::Ok();
}

Status OutputFile::PutInPlace() {
    if (m_ops->Rename(m_temporary, m_path) != 0) {
        const int error = errno;
        Abandon();
        return Status::FromErrno("cannot put " + m_path + " in place", error);
    }
    m_state = State::kInPlace;
    return Status::Ok();
}

Status OutputFile::Close() {
    if (m_state != State::kOpen) return Status::IOError("cannot write " + m_path + ": the file is not open");
    if (Status s = Complete(); !s.ok()) return s;
    if (!m_putInPlaceOnClose) return Status::Ok();
    if (Status s = PutInPlace(); !s.ok()) return s;
    m_ops->SyncFolder(FolderOf(m_path));
    return Status::Ok();
}

void OutputFile::KeepReplaced() {
    m_replacedState = Replaced::kNone;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_replaced = TemporaryPathFor(m_path, NextUnique());
        if (m_ops->Link(m_path, m_replaced) == 0) {
            m_replacedState = Replaced::kKept;
            return;
        }
        if (errno == ENOENT) return;
        // A filesystem without hard links: the file is replaced for good.
        if (errno != EEXIST) break;
    }
    m_replacedState = Replaced::kLost;
}

void OutputFile::Restore() {
    if (m_state != State::kInPlace) return;
    if (m_replacedState == Replaced::kNone) {
        m_ops->Remove(m_path);
    } else if (m_replacedState == Replaced::kKept && m_ops->Rename(m_replaced, m_path) == 0) {
        m_replacedState = Replaced::kNone;
    }
    m_state = State::kFailed;
}

void OutputFile::DropReplaced() {
    if (m_replacedState == Replaced::kKept) m_ops->Remove(m_replaced);
    m_replacedState = Replaced::kNone;
}

void OutputFile::Abandon() {
    if (m_fd >= 0) m_ops->Close(m_fd);
    m_fd = -1;
    if (m_state == State::kOpen || m_state == State::kComplete) {
        m_ops->Remove(m_temporary);
        m_state = State::kFailed;
    }
}

}  // namespace gw
