#include "gdalio/RegularFilesOnly.h"

#include "core/util/InputFile.h"

#include <cpl_error.h>
#include <cpl_vsi_virtual.h>

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <mutex>

namespace gw::gdalio {
namespace {

// The refusal for a path that names a pipe, socket or device; ok for anything else,
// including a path that does not exist (the wrapped handler reports that itself).
Status CheckLocalFile(const char* path) {
    struct stat info {};
    if (!path || ::stat(path, &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) return Status::Ok();
    return NotRegularFile(path, info.st_mode);
}

std::mutex g_mutex;
Refusals g_refusals;

// Kept even where GDAL asks for no error or silences it: what fails after it, such as
// "not recognized as a supported file format", would otherwise hide its cause.
VSIVirtualHandle* Refuse(const Status& refusal, bool setError) {
    {
        const std::lock_guard lock(g_mutex);
        ++g_refusals.count;
        g_refusals.last = refusal.message();
    }
    if (setError) CPLError(CE_Failure, CPLE_OpenFailed, "%s", refusal.message().c_str());
    errno = EINVAL;
    return nullptr;
}

// GDAL's handler of local files, with every open of a file that is not regular refused;
// every other call is passed on unchanged.
class RegularFilesHandler final : public VSIFilesystemHandler {
public:
    explicit RegularFilesHandler(VSIFilesystemHandler* local) : m_local(local) {}
    RegularFilesHandler(const RegularFilesHandler&) = delete;
    RegularFilesHandler& operator=(const RegularFilesHandler&) = delete;

    VSIVirtualHandle* Open(const char* path, const char* access, bool setError, CSLConstList options) override {
        const Status refusal = CheckLocalFile(path);
        if (!refusal.ok()) return Refuse(refusal, setError);
        return m_local->Open(path, access, setError, options);
    }
    int Stat(const char* path, VSIStatBufL* info, int flags) override { return m_local->Stat(path, info, flags); }
    int Unlink(const char* path) override { return m_local->Unlink(path); }
    int* UnlinkBatch(CSLConstList paths) override { return m_local->UnlinkBatch(paths); }
    int Mkdir(const char* path, long mode) override { return m_local->Mkdir(path, mode); }
    int Rmdir(const char* path) override { return m_local->Rmdir(path); }
    int RmdirRecursive(const char* path) override { return m_local->RmdirRecursive(path); }
    char** ReadDir(const char* path) override { return m_local->ReadDir(path); }
    char** ReadDirEx(const char* path, int maxFiles) override { return m_local->ReadDirEx(path, maxFiles); }
    char** SiblingFiles(const char* path) override { return m_local->SiblingFiles(path); }
    int Rename(const char* from, const char* to) override { return m_local->Rename(from, to); }
    int IsCaseSensitive(const char* path) override { return m_local->IsCaseSensitive(path); }
    GIntBig GetDiskFreeSpace(const char* path) override { return m_local->GetDiskFreeSpace(path); }
    int SupportsSparseFiles(const char* path) override { return m_local->SupportsSparseFiles(path); }
    int HasOptimizedReadMultiRange(const char* path) override { return m_local->HasOptimizedReadMultiRange(path); }
    const char* GetActualURL(const char* path) override { return m_local->GetActualURL(path); }
    const char* GetOptions() override { return m_local->GetOptions(); }
    VSIDIR* OpenDir(const char* path, int depth, const char* const* options) override {
        return m_local->OpenDir(path, depth, options);
    }
    bool IsLocal(const char* path) override { return m_local->IsLocal(path); }
    bool SupportsSequentialWrite(const char* path, bool localTemp) override {
        return m_local->SupportsSequentialWrite(path, localTemp);
    }
    bool SupportsRandomWrite(const char* path, bool localTemp) override {
        return m_local->SupportsRandomWrite(path, localTemp);
    }

private:
    std::unique_ptr<VSIFilesystemHandler> m_local;  // GDAL's, freed with this one
};

// Standard input is never a file GDAL could read without waiting on it.
class NoStandardInput final : public VSIFilesystemHandler {
public:
    explicit NoStandardInput(VSIFilesystemHandler* replaced) : m_replaced(replaced) {}
    NoStandardInput(const NoStandardInput&) = delete;
    NoStandardInput& operator=(const NoStandardInput&) = delete;

    VSIVirtualHandle* Open(const char*, const char*, bool setError, CSLConstList) override {
        return Refuse(NotRegularFile("/vsistdin/", S_IFIFO), setError);
    }
    int Stat(const char*, VSIStatBufL*, int) override {
        errno = ENOENT;
        return -1;
    }

private:
    std::unique_ptr<VSIFilesystemHandler> m_replaced;  // GDAL's, freed with this one
};

}  // namespace

Refusals RefusalsSoFar() {
    const std::lock_guard lock(g_mutex);
    return g_refusals;
}

void OpenOnlyRegularFiles() {
    // GDAL owns its handlers and frees them as it ends; these own the ones they replace.
    // Both names of standard input lead to one handler, as GDAL's own do.
    VSIFileManager::InstallHandler("", new RegularFilesHandler(VSIFileManager::GetHandler("")));
    auto* noInput = new NoStandardInput(VSIFileManager::GetHandler("/vsistdin/"));
    VSIFileManager::InstallHandler("/vsistdin/", noInput);
    VSIFileManager::InstallHandler("/vsistdin?", noInput);
}

}  // namespace gw::gdalio
