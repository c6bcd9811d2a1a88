// libFuzzer harness: any bytes as an export file, then the lookups the loader makes.
#include "core/features/E00Reader.h"
#include "core/progress/ProgressState.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gw::E00Reader e00;
    gw::NullProgress progress;
    const gw::Status parsed = e00.ParseText(std::string_view(reinterpret_cast<const char*>(data), size), progress);
    if (!parsed.ok() && parsed.message().empty()) __builtin_trap();
    for (const gw::InfoTable& table : e00.m_tables) {
        for (const gw::InfoItem& item : table.items) {
            for (const gw::E00Label& label : e00.m_labels) {
                if (const std::optional<std::size_t> record = table.FindRecord(item, label.polygonId)) {
                    table.GetItemText(*record, item);
                }
            }
        }
    }
    return 0;
}
