#pragma once

#include "core/util/FileOps.h"
#include "core/util/Status.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

// A file written from the start, buffered, that replaces any file of its name only
// once it is complete: it is written to a hidden temporary in the same folder and
// renamed into place. Write errors are remembered and reported by Close, so that no
// file is left short unnoticed; a file that is never closed leaves nothing behind.
class OutputFile {
public:
    OutputFile() = default;
    // Removes the temporary of a file not put in place.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts the file that is to replace path, after removing the temporaries of path
    // that runs which ended without cleaning up left behind (see removed_stale). Fails,
    // naming path, when the temporary cannot be made or path is a folder.
    Status Create(const std::string& path, FileOps& ops = FileOps::System());
    void Write(const void* data, std::size_t size);
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    // text followed by CR LF.
    void WriteLine(std::string_view text);
    // Writes out what is buffered, makes it durable and closes; then puts the file in
    // place, unless an OutputSet made it (the set does, on Commit). Fails, naming the
    // file, when anything could not be written or renamed; the file then stays as it was.
    Status Close();

    const std::string& path() const { return m_path; }
    // Whether the file now stands at path().
    bool in_place() const { return m_state == State::kInPlace; }
    // The temporaries of ended runs that Create removed.
    const std::vector<std::string>& removed_stale() const { return m_removedStale; }

private:
    friend class OutputSet;
    enum class State { kNone, kOpen, kComplete, kInPlace, kFailed };

    Status Start(const std::string& path, FileOps& ops, bool putInPlaceOnClose);
    void Flush();
    void WriteOut(const char* data, std::size_t size);
    // Closes the temporary; REQUIRES: the state is kOpen.
    Status Complete();
    // Renames the complete temporary to path; REQUIRES: the state is kComplete.
    Status PutInPlace();
    // Closes and removes the temporary, if any.
    void Abandon();
    // Before a set's renames: keeps the file about to be replaced under a second, hidden
    // name, so that Restore can bring it back.
    void KeepReplaced();
    // Undoes PutInPlace: the replaced file, or none when there was none, stands at path.
    void Restore();
    // Removes the second name KeepReplaced made.
    void DropReplaced();

    FileOps* m_ops = nullptr;
    State m_state = State::kNone;
    bool m_putInPlaceOnClose = true;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    std::string m_path;
    std::string m_temporary;
    enum class Replaced { kNone, kKept, kLost } m_replacedState = Replaced::kNone;
    std::string m_replaced;
    std::vector<std::string> m_removedStale;
    int m_errno = 0;
};

// Replaces path with bytes as every output is replaced: written whole to a temporary,
// made durable, then renamed into place, so a failure leaves the earlier file as it was
// and a symbolic link at path is replaced, never written through.
Status WriteWholeFile(const std::string& path, std::string_view bytes, FileOps& ops = FileOps::System());

// The hidden name, in path's folder, of a temporary for path ("/a/.t.l2.<unique>.part");
// `unique` makes it differ from the others.
std::string TemporaryPathFor(const std::string& path, const std::string& unique);

}  // namespace gw
