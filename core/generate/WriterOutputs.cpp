#include "core/generate/WriterOutputs.h"

#include <sys/stat.h>

namespace gw {

WriterOutputs::WriterOutputs(const GenerateContext& context)
    : m_own(context.outputs ? std::nullopt : std::make_optional<OutputSet>()),
      m_set(context.outputs ? *context.outputs : *m_own) {}

Status WriterOutputs::Create(const std::string& path, OutputFile** file) {
    const Status made = m_set.Create(path, file);
    if (made.ok()) m_made.push_back(path);
    return made;
}

WriteResult WriterOutputs::Finish(WriteResult result) {
    if (result.outcome == WriteResult::Outcome::kCancelled) {
        result.files.clear();
        for (const std::string& path : m_made) {
            m_set.Discard(path);
            if (struct stat earlier; ::stat(path.c_str(), &earlier) == 0) result.kept.push_back(path);
        }
        return result;
    }
    if (!m_own) return result;
    if (result.outcome != WriteResult::Outcome::kWritten) {
        m_own->Discard();
        return result;
    }
    if (Status s = m_own->Commit(); !s.ok()) return WriteResult::Failed(s.message());
    return result;
}

}  // namespace gw
