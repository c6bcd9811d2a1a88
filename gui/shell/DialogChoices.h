#pragma once

#include "gui/common/UserChoices.h"

namespace gw {

// The user's answers through the program's dialogs: QMessageBox, QFileDialog, the
// Build Terrain and Choose E00 Rule dialogs; links through QDesktopServices.
class DialogChoices : public UserChoices {
public:
    void ShowMessage(QWidget* parent, const QString& text, MessageKind kind) override;
    bool AskYesNo(QWidget* parent, const QString& question) override;
    QString ChooseOpenFile(QWidget* parent, const FileQuestion& question) override;
    QStringList ChooseOpenFiles(QWidget* parent, const FileQuestion& question) override;
    QString ChooseSaveFile(QWidget* parent, const FileQuestion& question) override;
    SaveAnswer AskSaveChanges(QWidget* parent, const QString& name) override;
    bool EditBuildOptions(QWidget* parent, BuildOptions& options) override;
    void ShowTheaterBuilt(QWidget* parent, const TheaterSummary& summary, const QString& folder) override;
    std::optional<std::uint32_t> ChooseColour(QWidget* parent, std::uint32_t initial) override;
    std::optional<std::int32_t> ChooseE00Rule(QWidget* parent, const QString& layer, const QString& file,
                                              const E00Rules& rules) override;
    bool OpenUrl(const QUrl& address) override;
    void Beep() override;
};

}  // namespace gw
