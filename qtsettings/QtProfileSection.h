#pragma once

#include "core/features/E00Rules.h"

#include <memory>
#include <string>

class QSettings;

namespace gw {

// A section of the per-user settings of QSettings("Orvane", "Gridwright"), where the
// GUI and the command line keep the E00 rules.
class QtProfileSection : public ProfileSection {
public:
    explicit QtProfileSection(const std::string& section);
    // The same section of an INI file of the stored format, read or written there.
    QtProfileSection(const std::string& section, const std::string& iniFile);
    ~QtProfileSection() override;

    std::optional<std::int32_t> ReadInt(const std::string& key) const override;
    std::optional<std::string> ReadText(const std::string& key) const override;
    void WriteInt(const std::string& key, std::int32_t value) override;
    void WriteText(const std::string& key, const std::string& text) override;

    // Where the settings are kept: the file's path.
    std::string fileName() const;
    // False when the file exists but could not be read or is not in INI format.
    bool readable() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace gw
