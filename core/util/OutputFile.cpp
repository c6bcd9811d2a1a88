#include "util/OutputFile.h"

#include <cerrno>

namespace gw {

OutputFile::~OutputFile() {
    if (m_file) std::fclose(m_file);
}

Status OutputFile::Create(const std::string& path) {
    m_path = path;
    m_errno = 0;
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) return Status::FromErrno("cannot create " + path, errno);
    constexpr std::size_t kBufferSize = 1 << 20;
    m_buffer = std::make_unique<char[]>(kBufferSize);
    std::setvbuf(m_file, m_buffer.get(), _IOFBF, kBufferSize);
    return Status::Ok();
}

void OutputFile::Write(const void* data, std::size_t size) {
    if (!m_file || m_errno != 0 || size == 0) return;
    if (std::fwrite(data, 1, size, m_file) != size) m_errno = errno ? errno : EIO;
}

void OutputFile::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n", 2);
}

Status OutputFile::Close() {
    if (!m_file) return Status::IOError("cannot write " + m_path + ": the file is not open");
    if (std::fclose(m_file) != 0 && m_errno == 0) m_errno = errno ? errno : EIO;
    m_file = nullptr;
    if (m_errno != 0) {
        return Status::FromErrno("cannot write " + m_path, m_errno);
    }
    return Status::Ok();
}

}  // namespace gw
