// libFuzzer harness: any bytes as a theater project. A project that is read must format
// to a text that reads back to the same project and formats to the same text again.
#include "core/project/TheaterProject.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = "t.gwtheater";
    const gw::StatusOr<gw::TheaterProject> read =
        gw::ParseTheaterProject(std::string_view(reinterpret_cast<const char*>(data), size), path);
    if (!read.ok()) {
        Check(!read.status().message().empty());
        return 0;
    }
    const gw::StatusOr<std::string> text = gw::FormatTheaterProject(*read, path);
    Check(text.ok());
    const gw::StatusOr<gw::TheaterProject> again = gw::ParseTheaterProject(*text, path);
    Check(again.ok());
    const gw::StatusOr<std::string> twice = gw::FormatTheaterProject(*again, path);
    Check(twice.ok() && *twice == *text);
    return 0;
}
