#include "core/util/OutputSet.h"

#include "core/util/Text.h"

#include <algorithm>
#include <set>

namespace gw {

Status OutputSet::Create(const std::string& path, OutputFile** file) {
    *file = nullptr;
    const bool taken = std::any_of(m_files.begin(), m_files.end(),
                                   [&](const std::unique_ptr<OutputFile>& f) { return f->path() == path; });
    if (taken) return Status::InvalidArgument("cannot create " + path + ": it is written twice in one run");
    auto made = std::make_unique<OutputFile>();
    if (Status s = made->Start(path, m_ops, false); !s.ok()) return s;
    m_files.push_back(std::move(made));
    *file = m_files.back().get();
    return Status::Ok();
}

Status OutputSet::Commit() {
    m_failed.clear();
    for (const std::unique_ptr<OutputFile>& file : m_files) {
        if (file->m_state != OutputFile::State::kOpen) continue;
        if (Status s = file->Complete(); !s.ok()) {
            m_failed = file->path();
            Discard();
            return s;
        }
    }
    const auto failed = std::find_if(m_files.begin(), m_files.end(), [](const std::unique_ptr<OutputFile>& f) {
        return f->m_state == OutputFile::State::kFailed;
    });
    if (failed != m_files.end()) {
        m_failed = (*failed)->path();
        const Status refused = Status::IOError("cannot write " + m_failed + ": it could not be completed");
        Discard();
        return refused;
    }
    for (const std::unique_ptr<OutputFile>& file : m_files) {
        if (file->m_state == OutputFile::State::kComplete) file->KeepReplaced();
    }
    std::set<std::string> folders;
    Status committed;
    for (const std::unique_ptr<OutputFile>& file : m_files) {
        if (file->m_state != OutputFile::State::kComplete) continue;
        folders.insert(FolderOf(file->path()));
        committed = file->PutInPlace();
        if (!committed.ok()) {
            m_failed = file->path();
            break;
        }
    }
    for (const std::unique_ptr<OutputFile>& file : m_files) {
        if (!committed.ok()) file->Restore();
        file->DropReplaced();
    }
    Discard();
    for (const std::string& folder : folders) m_ops.SyncFolder(folder);
    return committed;
}

void OutputSet::Discard() {
    for (const std::unique_ptr<OutputFile>& file : m_files) file->Abandon();
}

void OutputSet::Discard(const std::string& path) {
    for (const std::unique_ptr<OutputFile>& file : m_files) {
        if (file->path() == path) file->Abandon();
    }
}

bool OutputSet::InPlace(const std::string& path) const {
    return std::any_of(m_files.begin(), m_files.end(),
                       [&](const std::unique_ptr<OutputFile>& f) { return f->path() == path && f->in_place(); });
}

std::vector<std::string> OutputSet::RemovedStale() const {
    std::vector<std::string> removed;
    for (const auto& file : m_files) {
        removed.insert(removed.end(), file->removed_stale().begin(), file->removed_stale().end());
    }
    return removed;
}

}  // namespace gw
