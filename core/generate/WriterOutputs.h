#pragma once

#include "core/generate/GenerateContext.h"
#include "core/util/OutputSet.h"

#include <optional>
#include <string>

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
    Status Create(const std::string& path, OutputFile** file) { return m_set.Create(path, file); }

    // result, after a set of the writer's own is put in place when the writer wrote or
    // was cancelled (the files keep what was written); a failure to put it in place
    // becomes the result.
    WriteResult Finish(WriteResult result);

private:
    std::optional<OutputSet> m_own;
    OutputSet& m_set;
};

}  // namespace gw
