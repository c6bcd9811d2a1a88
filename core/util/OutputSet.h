#pragma once

#include "core/util/FileOps.h"
#include "core/util/OutputFile.h"
#include "core/util/Status.h"

#include <memory>
#include <string>
#include <vector>

namespace gw {

// Files that replace the files of their names together or not at all: each is written
// to a temporary beside its target, and only Commit renames them into place. Whatever
// is not committed is removed when the set is discarded or destroyed, so no temporary
// outlives a failure or an exception.
class OutputSet {
public:
    explicit OutputSet(FileOps& ops = FileOps::System()) : m_ops(ops) {}
    ~OutputSet() = default;
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    // A new file that is to replace path; *file stays owned by the set. Its Close
    // completes it without putting it in place. Fails, naming path, when the
    // temporary cannot be made or path is already in the set.
    Status Create(const std::string& path, OutputFile** file);

    // Completes every file still open, then, when all are complete, renames them into
    // place in the order made. A failure (naming its file) stops the renames there,
    // brings back the files the earlier renames replaced (on a filesystem with hard
    // links) and removes every temporary.
    Status Commit();
    // Removes every temporary; nothing is put in place.
    void Discard();
    // Removes the temporary made for path; it is not put in place by Commit.
    void Discard(const std::string& path);

    // Whether the file made for path stands in place.
    bool InPlace(const std::string& path) const;
    // The temporaries of ended runs that making the set's files removed.
    std::vector<std::string> RemovedStale() const;
    // The path of the file that failed the last Commit; empty when none did.
    const std::string& failed() const { return m_failed; }

private:
    FileOps& m_ops;
    std::vector<std::unique_ptr<OutputFile>> m_files;
    std::string m_failed;
};

}  // namespace gw
