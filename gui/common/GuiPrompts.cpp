#include "gui/common/GuiPrompts.h"

namespace gw {

void GuiPrompts::ShowMessage(const std::string& text) {
    m_choices.ShowMessage(m_parent, QString::fromStdString(text), UserChoices::MessageKind::kWarning);
}

bool GuiPrompts::AskYesNo(const std::string& question) {
    return m_choices.AskYesNo(m_parent, QString::fromStdString(question));
}

std::optional<std::string> GuiPrompts::ChoosePaletteFile() {
    const QString path = m_choices.ChooseOpenFile(
        m_parent, {"Open Paint Shop Pro palette File", {"PAL files (*.pal)", "All Files (*)"}, "pal",
                   QString::fromStdString(m_palette.value_or(""))});
    if (path.isEmpty()) return std::nullopt;
    m_palette = path.toStdString();
    return m_palette;
}

}  // namespace gw
