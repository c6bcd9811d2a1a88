#pragma once

#include "core/util/InputFile.h"
#include "core/util/Status.h"

#include <optional>
#include <string>
#include <string_view>

namespace gw {

// text with every occurrence of from replaced by to, scanning left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// path with every `from` in its file name replaced by `to`; its folders are kept as
// they are.
std::string ReplaceInFileName(std::string_view path, std::string_view from, std::string_view to);

// The output path for a terrain path: every ".l2" (lower case only) in its file name
// replaced by ending; nothing when the file name holds no ".l2". The folder stays.
std::optional<std::string> OutputPathFor(std::string_view terrainPath, std::string_view ending);

// The last component of a path (what follows the last '/').
std::string FileNameOf(std::string_view path);
// What precedes the last component of a path, its final '/' included; empty for a
// bare file name.
std::string FolderOf(std::string_view path);

// ASCII letters compared without regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Reads a text file one line at a time. A line ends at LF or CR LF, the end is not part
// of the line, and the last line needs no end. Like a C string, a line stops at its
// first NUL byte; a line is cut at kMaxLine characters (the rest of it is skipped).
class LineReader {
public:
    static constexpr std::size_t kMaxLine = 1 << 20;

    explicit LineReader(const std::string& path);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False when the file could not be opened for reading (a folder, a pipe or a
    // device cannot); status() says why.
    bool is_open() const { return m_file.is_open(); }
    // The next line, or false at the end of the file or on a read error.
    bool Next(std::string& line);
    // Why the file could not be opened or read to its end; ok otherwise.
    const Status& status() const { return m_status; }

private:
    bool Fill();

    InputFile m_file;
    Status m_status;
    std::string m_buffer;
    std::size_t m_start = 0;
    std::size_t m_end = 0;
};

}  // namespace gw
