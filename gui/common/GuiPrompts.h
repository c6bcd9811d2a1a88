#pragma once

#include "gui/common/UserChoices.h"
#include "core/progress/Progress.h"

class QWidget;

namespace gw {

// What a job says and asks, put to the user through choices: messages and "Cancel?" in
// boxes owned by parent (while a job runs, its progress dialog: the main window is
// disabled then), and the palette through the "Open Paint Shop Pro palette File" dialog.
class GuiPrompts : public UserPrompts {
public:
    GuiPrompts(UserChoices& choices, QWidget* parent) : m_choices(choices), m_parent(parent) {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;
    // The palette dialog starts on palette(); what the user chooses becomes palette().
    std::optional<std::string> ChoosePaletteFile() override;
    const std::optional<std::string>& palette() const { return m_palette; }
    void setPalette(std::optional<std::string> palette) { m_palette = std::move(palette); }

private:
    UserChoices& m_choices;
    QWidget* m_parent;
    std::optional<std::string> m_palette;
};

}  // namespace gw
