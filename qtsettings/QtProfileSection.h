#pragma once

#include "features/E00Rules.h"

#include <memory>
#include <string>

class QSettings;

namespace gw {

// A section of the per-user settings of QSettings("Orvane", "Gridwright"), where the
// GUI and the command line keep the E00 rules.
class QtProfileSection : public ProfileSection {
public:
    explicit QtProfileSection(const std::string& section);
    ~QtProfileSection() override;

    std::optional<std::int32_t> ReadInt(const std::string& key) const override;
    std::optional<std::string> ReadText(const std::string& key) const override;
    void WriteInt(const std::string& key, std::int32_t value) override;
    void WriteText(const std::string& key, const std::string& text) override;

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace gw
