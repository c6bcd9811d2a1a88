#pragma once

#include "core/util/Status.h"

#include <string>
#include <vector>

namespace gw {

// A file a run reads and the part it plays in the run ("the palette", "an E00 file").
struct RunInput {
    std::string path;
    std::string role;
};

// Refuses a run whose outputs include one of its inputs, before anything is written:
// files are compared as files (device and inode, links followed), so another name of
// the same file is found too. InvalidArgument "OUT is ROLE this run reads" for the
// first output that is; an output or input that does not exist is no match.
Status CheckOutputsAreNotInputs(const std::vector<RunInput>& inputs, const std::vector<std::string>& outputs);

// Removes the temporaries (see TemporaryPathFor) of path that a process which no longer
// runs left in path's folder; returns the paths removed. A temporary whose process id
// now belongs to a running process is kept.
std::vector<std::string> RemoveStaleTemporaries(const std::string& path);

}  // namespace gw
