#include "gdalio/GdalSession.h"

#include "gdalio/RegularFilesOnly.h"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string_view>

namespace gw::gdalio {

struct GdalMessagesAccess {
    static void CPL_STDCALL Handler(CPLErr level, CPLErrorNum, const char* text) {
        auto* self = static_cast<GdalMessages*>(CPLGetErrorHandlerUserData());
        const std::string message = text ? text : "";
        std::vector<std::string>& kept = level >= CE_Failure ? self->m_failures : self->m_warnings;
        if (level >= CE_Warning && std::find(kept.begin(), kept.end(), message) == kept.end()) kept.push_back(message);
    }
};

void RegisterGdal() {
    static std::once_flag once;
    std::call_once(once, [] {
        OpenOnlyRegularFiles();
        // What GDAL reports reaches the user through GdalMessages, never printed by GDAL.
        CPLSetErrorHandler(CPLQuietErrorHandler);
        GDALAllRegister();
    });
}

GdalMessages::GdalMessages() : m_refusalsBefore(RefusalsSoFar().count) {
    CPLPushErrorHandlerEx(GdalMessagesAccess::Handler, this);
}

GdalMessages::~GdalMessages() { CPLPopErrorHandler(); }

std::string GdalMessages::LastError(const std::string& fallback) const {
    if (std::string refused = refusal(); !refused.empty()) return refused;
    if (m_failures.size() == 1) return m_failures.front();
    std::string joined;
    for (std::string_view failure : m_failures) {
        if (failure.ends_with('.')) failure.remove_suffix(1);
        joined += (joined.empty() ? "" : "; ") + std::string(failure);
    }
    return joined.empty() ? fallback : joined;
}

std::string GdalMessages::refusal() const {
    Refusals refusals = RefusalsSoFar();
    return refusals.count > m_refusalsBefore ? std::move(refusals.last) : std::string();
}

void GdalMessages::ClearLastError() {
    m_failures.clear();
    m_refusalsBefore = RefusalsSoFar().count;
}

GdalProgress::GdalProgress(Progress& progress, UserPrompts& prompts, const std::string& status)
    : m_progress(progress), m_prompts(prompts) {
    BeginJob(m_progress, 100, status);
}

int GdalProgress::Callback(double fraction, const char*, void* data) {
    auto* self = static_cast<GdalProgress*>(data);
    const int pos = static_cast<int>(std::clamp(std::floor(fraction * 100.0), 0.0, 100.0));
    if (pos != self->m_pos) {
        self->m_pos = pos;
        self->m_progress.SetPos(pos);
    }
    if (!self->m_cancelled && ConfirmCancel(self->m_progress, self->m_prompts)) self->m_cancelled = true;
    return self->m_cancelled ? FALSE : TRUE;
}

}  // namespace gw::gdalio
