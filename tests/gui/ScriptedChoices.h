#pragma once

#include "gui/common/UserChoices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

namespace gw::test {

// The user's answers from a script, and a record of every question put.
class ScriptedChoices : public UserChoices {
public:
    struct Message {
        QString text;
        MessageKind kind;
        QWidget* parent;  // may be gone by now: compare, do not use
        QString parentName;
        QString parentTitle;
    };
    struct RuleQuestion {
        QString layer;
        QString file;
        E00Rules rules;
    };

    void ShowMessage(QWidget* parent, const QString& text, MessageKind kind) override;
    bool AskYesNo(QWidget* parent, const QString& question) override;
    QString ChooseOpenFile(QWidget* parent, const FileQuestion& question) override;
    QStringList ChooseOpenFiles(QWidget* parent, const FileQuestion& question) override;
    QString ChooseSaveFile(QWidget* parent, const FileQuestion& question) override;
    bool EditBuildOptions(QWidget* parent, BuildOptions& options) override;
    std::optional<std::uint32_t> ChooseColour(QWidget* parent, std::uint32_t initial) override;
    std::optional<std::int32_t> ChooseE00Rule(QWidget* parent, const QString& layer, const QString& file,
                                              const E00Rules& rules) override;
    bool OpenUrl(const QUrl& address) override;
    void Beep() override;

    // Answers, used in order; with none left, the user cancels (or answers No).
    std::deque<QStringList> files;
    std::deque<bool> yesNo;
    // The Build Terrain dialog: shown the options the command offers, it changes them
    // as it likes; none: the user cancels.
    std::optional<std::function<void(BuildOptions&)>> buildOptions;
    // Colours chosen, used in order; with none left (or an empty answer), the user
    // cancels.
    std::deque<std::optional<std::uint32_t>> colours;
    // Rules chosen for layers no rule names, used in order; with none left (or an empty
    // answer), the user skips the layer.
    std::deque<std::optional<std::int32_t>> rulesChosen;
    // Whether the desktop opens a link: used in order; with none left, it cannot.
    std::deque<bool> urlOpens;
    // Called at every question, while the command that asks waits for the answer.
    std::function<void()> whileAsking;

    // What was asked.
    QList<Message> messages;
    QStringList questions;
    QList<FileQuestion> fileQuestions;
    QList<BuildOptions> offeredOptions;
    QList<std::uint32_t> offeredColours;
    QList<RuleQuestion> ruleQuestions;
    QList<QUrl> openedUrls;
    int beeps = 0;

private:
    QStringList NextFiles(const FileQuestion& question);
};

}  // namespace gw::test
