#include "core/generate/WriterOutputs.h"

namespace gw {

WriterOutputs::WriterOutputs(const GenerateContext& context)
    : m_own(context.outputs ? std::nullopt : std::make_optional<OutputSet>()),
      m_set(context.outputs ? *context.outputs : *m_own) {}

WriteResult WriterOutputs::Finish(WriteResult result) {
    if (!m_own) return result;
    if (result.outcome != WriteResult::Outcome::kWritten && result.outcome != WriteResult::Outcome::kCancelled) {
        m_own->Discard();
        return result;
    }
    if (Status s = m_own->Commit(); !s.ok()) return WriteResult::Failed(s.message());
    return result;
}

}  // namespace gw
