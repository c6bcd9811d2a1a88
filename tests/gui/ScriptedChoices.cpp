#include "tests/gui/ScriptedChoices.h"

#include <QWidget>

namespace gw::test {

void ScriptedChoices::ShowMessage(QWidget* parent, const QString& text, MessageKind kind) {
    if (whileAsking) whileAsking();
    messages.append({text, kind, parent, parent ? parent->objectName() : QString(),
                     parent ? parent->windowTitle() : QString()});
}

bool ScriptedChoices::AskYesNo(QWidget*, const QString& question) {
    if (whileAsking) whileAsking();
    questions.append(question);
    if (yesNo.empty()) return false;
    const bool answer = yesNo.front();
    yesNo.pop_front();
    return answer;
}

QStringList ScriptedChoices::NextFiles(const FileQuestion& question) {
    if (whileAsking) whileAsking();
    fileQuestions.append(question);
    if (files.empty()) return {};
    QStringList answer = files.front();
    files.pop_front();
    return answer;
}

QString ScriptedChoices::ChooseOpenFile(QWidget*, const FileQuestion& question) {
    const QStringList answer = NextFiles(question);
    return answer.isEmpty() ? QString() : answer.front();
}

QStringList ScriptedChoices::ChooseOpenFiles(QWidget*, const FileQuestion& question) { return NextFiles(question); }

QString ScriptedChoices::ChooseSaveFile(QWidget*, const FileQuestion& question) {
    const QStringList answer = NextFiles(question);
    return answer.isEmpty() ? QString() : answer.front();
}

bool ScriptedChoices::EditBuildOptions(QWidget*, BuildOptions& options) {
    if (whileAsking) whileAsking();
    offeredOptions.append(options);
    if (!buildOptions) return false;
    (*buildOptions)(options);
    return true;
}

std::optional<std::uint32_t> ScriptedChoices::ChooseColour(QWidget*, std::uint32_t initial) {
    if (whileAsking) whileAsking();
    offeredColours.append(initial);
    if (colours.empty()) return std::nullopt;
    const std::optional<std::uint32_t> colour = colours.front();
    colours.pop_front();
    return colour;
}

std::optional<std::int32_t> ScriptedChoices::ChooseE00Rule(QWidget*, const QString& layer, const QString& file,
                                                           const E00Rules& rules) {
    if (whileAsking) whileAsking();
    ruleQuestions.append({layer, file, rules});
    if (rulesChosen.empty()) return std::nullopt;
    const std::optional<std::int32_t> rule = rulesChosen.front();
    rulesChosen.pop_front();
    return rule;
}

bool ScriptedChoices::OpenUrl(const QUrl& address) {
    openedUrls.append(address);
    if (urlOpens.empty()) return false;
    const bool opened = urlOpens.front();
    urlOpens.pop_front();
    return opened;
}

void ScriptedChoices::Beep() { ++beeps; }

}  // namespace gw::test
