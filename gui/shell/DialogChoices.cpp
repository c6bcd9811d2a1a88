#include "gui/shell/DialogChoices.h"

#include "gui/features/E00RuleChoiceDialog.h"
#include "gui/generate/BuildTerrainDialog.h"
#include "gui/generate/TheaterBuiltDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace gw {
namespace {

// Shows the arrow while the user answers, even under a wait cursor.
class ArrowCursor {
public:
    ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};

QStringList Choose(QWidget* parent, const FileQuestion& question, QFileDialog::FileMode mode,
                   QFileDialog::AcceptMode accept) {
    ArrowCursor arrow;
    QFileDialog dialog(parent, question.title);
    dialog.setObjectName("fileDialog");
    dialog.setNameFilters(question.filters);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    dialog.setDefaultSuffix(question.defaultSuffix);
    if (!question.initial.isEmpty()) dialog.selectFile(question.initial);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

// The text of a message box can be selected with the mouse, and Ctrl+C copies the part
// selected, or all of it.
void MakeTextCopyable(QMessageBox& box) {
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* copy = new QAction(&box);
    copy->setShortcut(QKeySequence::Copy);
    QObject::connect(copy, &QAction::triggered, &box, [&box] {
        const auto* label = box.findChild<QLabel*>("qt_msgbox_label");
        const QString selected = label ? label->selectedText() : QString();
        QGuiApplication::clipboard()->setText(selected.isEmpty() ? box.text() : selected);
    });
    box.addAction(copy);
}

QString First(const QStringList& files) { return files.isEmpty() ? QString() : files.front(); }

}  // namespace

void DialogChoices::ShowMessage(QWidget* parent, const QString& text, MessageKind kind) {
    ArrowCursor arrow;
    QMessageBox box(kind == MessageKind::kWarning ? QMessageBox::Warning : QMessageBox::Information, kMessageTitle,
                    text, QMessageBox::Ok, parent);
    box.setObjectName("messageBox");
    MakeTextCopyable(box);
    box.exec();
}

bool DialogChoices::AskYesNo(QWidget* parent, const QString& question) {
    ArrowCursor arrow;
    QMessageBox box(QMessageBox::Question, kMessageTitle, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName("questionBox");
    MakeTextCopyable(box);
    return box.exec() == QMessageBox::Yes;
}

QString DialogChoices::ChooseOpenFile(QWidget* parent, const FileQuestion& question) {
    return First(Choose(parent, question, QFileDialog::ExistingFile, QFileDialog::AcceptOpen));
}

QStringList DialogChoices::ChooseOpenFiles(QWidget* parent, const FileQuestion& question) {
    return Choose(parent, question, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen);
}

QString DialogChoices::ChooseSaveFile(QWidget* parent, const FileQuestion& question) {
    return First(Choose(parent, question, QFileDialog::AnyFile, QFileDialog::AcceptSave));
}

UserChoices::SaveAnswer DialogChoices::AskSaveChanges(QWidget* parent, const QString& name) {
    ArrowCursor arrow;
    QMessageBox box(QMessageBox::Warning, kMessageTitle,
                    QObject::tr("The theater %1 has changes that are not saved.").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(QObject::tr("Save them before it closes?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save: return SaveAnswer::kSave;
        case QMessageBox::Discard: return SaveAnswer::kDiscard;
        default: return SaveAnswer::kCancel;
    }
}

bool DialogChoices::EditBuildOptions(QWidget* parent, BuildOptions& options) {
    BuildTerrainDialog dialog(options, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.options();
    return true;
}

void DialogChoices::ShowTheaterBuilt(QWidget* parent, const TheaterSummary& summary, const QString& folder) {
    TheaterBuiltDialog dialog(summary, folder, *this, parent);
    dialog.exec();
}

std::optional<std::uint32_t> DialogChoices::ChooseColour(QWidget* parent, std::uint32_t initial) {
    ArrowCursor arrow;
    const QColor chosen = QColorDialog::getColor(
        QColor(int(initial & 0xffu), int((initial >> 8) & 0xffu), int((initial >> 16) & 0xffu)), parent);
    if (!chosen.isValid()) return std::nullopt;
    return std::uint32_t(chosen.red()) | std::uint32_t(chosen.green()) << 8 | std::uint32_t(chosen.blue()) << 16;
}

std::optional<std::int32_t> DialogChoices::ChooseE00Rule(QWidget* parent, const QString& layer, const QString& file,
                                                         const E00Rules& rules) {
    ArrowCursor arrow;
    E00RuleChoiceDialog dialog(layer, file, rules, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.rule();
}

bool DialogChoices::OpenUrl(const QUrl& address) { return QDesktopServices::openUrl(address); }

void DialogChoices::Beep() { QApplication::beep(); }

}  // namespace gw
