#pragma once

#include "core/progress/Progress.h"
#include "core/util/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gw::gdalio {

// Registers every GDAL raster and vector driver, once per process, with GDAL kept off
// anything that is not a regular file (see OpenOnlyRegularFiles); safe from any thread.
void RegisterGdal();

// Collects the messages GDAL reports on this thread while the object lives, instead of
// letting GDAL print them. Nests: the previous handler is restored on destruction.
class GdalMessages {
public:
    GdalMessages();
    ~GdalMessages();
    GdalMessages(const GdalMessages&) = delete;
    GdalMessages& operator=(const GdalMessages&) = delete;

    // What GDAL reported failing since the object was made or ClearLastError was last
    // called, or fallback when it reported nothing: each failure once, in order, joined
    // by "; " (a driver's explanation often comes before its summary). A file GDAL was
    // kept from opening (see OpenOnlyRegularFiles) is the cause of what failed after it,
    // so its refusal alone is told.
    std::string LastError(const std::string& fallback) const;
    // The refusal of the last file GDAL was kept from opening since the object was made
    // or ClearLastError was last called; empty when there was none. A driver may read on
    // without the file, as if it were empty.
    std::string refusal() const;
    // Forgets the failures reported so far: call it before a GDAL operation whose own
    // failure LastError is to tell. The warnings are kept.
    void ClearLastError();
    // Every warning GDAL reported, in order, each once.
    const std::vector<std::string>& warnings() const { return m_warnings; }

private:
    friend struct GdalMessagesAccess;
    std::vector<std::string> m_failures;
    std::uint64_t m_refusalsBefore = 0;
    std::vector<std::string> m_warnings;
};

// Feeds a GDAL operation's progress (a fraction from 0 to 1) into a Progress whose range
// is 0..100 under the given status, and stops the operation once the user confirmed a
// Cancel press. Pass Callback as the operation's progress function and the object as its
// data.
class GdalProgress {
public:
    GdalProgress(Progress& progress, UserPrompts& prompts, const std::string& status);

    // GDAL's GDALProgressFunc: true to go on.
    static int Callback(double fraction, const char* message, void* self);
    // Cancelled once the user confirmed a Cancel press, else ok.
    Status status() const { return m_cancelled ? Status::Cancelled("the import was cancelled") : Status::Ok(); }

private:
    Progress& m_progress;
    UserPrompts& m_prompts;
    int m_pos = -1;
    bool m_cancelled = false;
};

}  // namespace gw::gdalio
