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
        m_parent, {"Open Paint Shop Pro palette File", {"PAL files (*.pal)", "All Files (*)"}, "pal"});
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace gw
