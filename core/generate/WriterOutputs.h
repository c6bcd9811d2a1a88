#pragma once

#include "core/generate/GenerateContext.h"
#include "core/util/OutputSet.h"

#include <optional>
#include <string>
#include <vector>

namespace gw {

// Where one writer makes its files. Within a run (the context names the run's set)
// they join that set, which the run puts in place at its end; a writer called on its
// own keeps a set of its own and puts its files in place in Finish.
class WriterOutputs {
public:
    explicit WriterOutputs(const GenerateContext& context);
    WriterOutputs(const WriterOutputs&) = delete;
    WriterOutputs& operator=(const WriterOutputs&) = delete;

    // A new file that is to replace path; the failure names path.
    Status Create(const std::string& path, OutputFile** file);

    // result, after a set of the writer's own is put in place when the writer wrote; a
    // failure to put it in place becomes the result. A cancelled writer's files are
    // dropped from whichever set holds them: result.files is then empty and result.kept
    // lists the files of an earlier run that stay as they were.
    WriteResult Finish(WriteResult result);

private:
    std::optional<OutputSet> m_own;
    OutputSet& m_set;
    std::vector<std::string> m_made;
};

}  // namespace gw
