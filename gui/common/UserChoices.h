#pragma once

#include "core/features/E00Rules.h"
#include "core/generate/Generate.h"
#include "core/generate/TheaterSummary.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <optional>

class QWidget;

namespace gw {

// What a file dialog asks: its title, its filters ("L2 files (*.l2)", "All Files (*)"),
// the suffix added to a name typed without one and the file it starts on, if any.
struct FileQuestion {
    QString title;
    QStringList filters;
    QString defaultSuffix;
    QString initial = {};
};

// Every question the desktop program puts to the user in a dialog of its own kind:
// messages, Yes/No questions, file choices, the build options and colours; and
// what it hands to the desktop: links to open, and the beep. The program answers
// them with message boxes and file dialogs; tests answer them from a script.
class UserChoices {
public:
    enum class MessageKind { kInformation, kWarning };

    virtual ~UserChoices() = default;

    // A message box titled "Gridwright" with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text, MessageKind kind) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& question) = 0;
    // An existing file; empty when the user cancels.
    virtual QString ChooseOpenFile(QWidget* parent, const FileQuestion& question) = 0;
    // Several existing files, in the order chosen; empty when the user cancels.
    virtual QStringList ChooseOpenFiles(QWidget* parent, const FileQuestion& question) = 0;
    // A file to write, an existing one only after the user agreed to replace it; empty
    // when the user cancels.
    virtual QString ChooseSaveFile(QWidget* parent, const FileQuestion& question) = 0;
    // Whether to save the changes of the theater named name before it closes.
    enum class SaveAnswer { kSave, kDiscard, kCancel };
    virtual SaveAnswer AskSaveChanges(QWidget* parent, const QString& name) = 0;
    // The "Build Terrain" dialog over options; false when the user cancels (options
    // are then unchanged).
    virtual bool EditBuildOptions(QWidget* parent, BuildOptions& options) = 0;
    // The "Theater Built" window over what a run wrote in folder, until the user closes it.
    virtual void ShowTheaterBuilt(QWidget* parent, const TheaterSummary& summary, const QString& folder) = 0;
    // A colour (0x00BBGGRR) from the colour chooser, which opens on initial; none when
    // the user cancels.
    virtual std::optional<std::uint32_t> ChooseColour(QWidget* parent, std::uint32_t initial) = 0;
    // The rule to load a layer under that no rule names: layer of file (its name without
    // the directory), chosen from rules listed by keyword. The rule's position in rules;
    // none when the user skips the layer.
    virtual std::optional<std::int32_t> ChooseE00Rule(QWidget* parent, const QString& layer, const QString& file,
                                                      const E00Rules& rules) = 0;
    // Opens address with the desktop's default handler; false when it cannot.
    virtual bool OpenUrl(const QUrl& address) = 0;
    // The desktop's warning sound.
    virtual void Beep() = 0;
};

// The title of every message box.
inline const QString kMessageTitle = QStringLiteral("Gridwright");

}  // namespace gw
