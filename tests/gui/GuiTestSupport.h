#pragma once

// What the GUI tests share: the user's answers from a script, answering modal windows and
// menus as they open, watching the progress dialog, and small files to open.

#include "core/generate/TheaterSummary.h"
#include "gui/common/GuiDocument.h"
#include "gui/common/UserChoices.h"
#include "gui/layout/GridwrightView.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/MainWindow.h"
#include "tests/TestSupport.h"
#include "tests/features/E00Text.h"

#include <QtTest>
#include <QtWidgets>

#include <deque>
#include <functional>
#include <optional>

namespace gw::test {

using namespace command;

inline QString SampleHeader() { return QString::fromStdString(SampleDir() + "/coast.hdr"); }
inline QString SharedData(const QString& relative) { return QString::fromStdString(SharedDataDir()) + '/' + relative; }
// A copy of the sample DEM in dir, as NAME.hdr and NAME.bin; the header's absolute path.
inline QString CopySample(const QTemporaryDir& dir, const QString& name) {
    QFile::copy(SampleHeader(), dir.filePath(name + ".hdr"));
    QFile::copy(QString::fromStdString(SampleDir() + "/coast.bin"), dir.filePath(name + ".bin"));
    return QFileInfo(dir.filePath(name + ".hdr")).absoluteFilePath();
}
inline void WriteText(const QString& path, const QByteArray& bytes) { WriteFile(path.toStdString(), bytes.toStdString()); }

// The user's answers from a script (used in order; with none left the user cancels, says
// No or skips), and a record of every question put.
class ScriptedChoices : public UserChoices {
public:
    struct Message {
        QString text;
        QWidget* parent;  // may be gone by now: compare, do not use
        QString parentName;
    };

    void ShowMessage(QWidget* parent, const QString& text, MessageKind) override {
        Asked(messages, Message{text, parent, parent ? parent->objectName() : QString()});
    }
    bool AskYesNo(QWidget*, const QString& question) override { return Asked(questions, question), Next(yesNo, false); }
    QStringList ChooseOpenFiles(QWidget*, const FileQuestion& question) override {
        return Asked(fileQuestions, question), Next(files, QStringList());
    }
    QString ChooseOpenFile(QWidget* parent, const FileQuestion& q) override { return ChooseOpenFiles(parent, q).value(0); }
    QString ChooseSaveFile(QWidget* parent, const FileQuestion& q) override { return ChooseOpenFiles(parent, q).value(0); }
    SaveAnswer AskSaveChanges(QWidget*, const QString& name) override {
        return Asked(saveQuestions, name), Next(saveAnswers, SaveAnswer::kDiscard);
    }
    bool EditBuildOptions(QWidget*, BuildOptions& options) override {
        Asked(offeredOptions, options);
        if (buildOptions) (*buildOptions)(options);
        return buildOptions.has_value();
    }
    std::optional<std::uint32_t> ChooseColour(QWidget*, std::uint32_t initial) override {
        return Asked(offeredColours, initial), Next(colours, std::optional<std::uint32_t>());
    }
    std::optional<std::int32_t> ChooseE00Rule(QWidget*, const QString& layer, const QString&, const E00Rules&) override {
        return Asked(ruleQuestions, layer), Next(rulesChosen, std::optional<std::int32_t>());
    }
    bool OpenUrl(const QUrl& address) override { return Asked(openedUrls, address), Next(urlOpens, false); }
    void Beep() override { ++beeps; }
    void ShowTheaterBuilt(QWidget*, const TheaterSummary& summary, const QString&) override {
        Asked(theatersBuilt, summary);
    }

    std::deque<QStringList> files;
    std::deque<bool> yesNo;
    std::deque<SaveAnswer> saveAnswers;  // none left: Discard
    // The Build Terrain dialog: changes the options offered as it likes; none: Cancel.
    std::optional<std::function<void(BuildOptions&)>> buildOptions;
    std::deque<std::optional<std::uint32_t>> colours;
    std::deque<std::optional<std::int32_t>> rulesChosen;
    std::deque<bool> urlOpens;
    // Called at every question, while the command that asks waits for the answer.
    std::function<void()> whileAsking;

    QList<Message> messages;
    QStringList questions;
    QStringList saveQuestions;
    QList<FileQuestion> fileQuestions;
    QList<BuildOptions> offeredOptions;
    QList<std::uint32_t> offeredColours;
    QStringList ruleQuestions;
    QList<QUrl> openedUrls;
    QList<TheaterSummary> theatersBuilt;
    int beeps = 0;

private:
    // Lets the script look on while the question is put, then notes it.
    template <class Record, class Question>
    void Asked(Record& record, const Question& question) {
        if (whileAsking) whileAsking();
        record.append(question);
    }
    template <class T>
    static T Next(std::deque<T>& answers, T none) {
        if (answers.empty()) return none;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A main window whose questions a script answers, with the sample DEM open unless not
// asked for.
struct Session {
    explicit Session(bool openSample = true) {
        if (openSample && !window.OpenFile(SampleHeader()).ok()) QTest::qFail("the sample did not open", __FILE__, __LINE__);
    }
    QString pane(const char* name) const { return window.statusBar()->findChild<QLabel*>(name)->text(); }
    void trigger(int command) { window.action(command)->trigger(); }

    ScriptedChoices choices;
    MainWindow window{choices};
};

// Calls `answer` once with the next modal window (or popup menu) of type T, as soon as it
// is the active one (looked for at every turn of the event loop).
template <class T>
void AnswerNextModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* modal = qobject_cast<T*>(std::is_base_of_v<QMenu, T> ? QApplication::activePopupWidget()
                                                                     : QApplication::activeModalWidget());
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start(0);
}

// Works the next modal window of type T with `work` while `trigger` opens it; returns
// whether it came.
template <class T>
bool WorkModal(std::function<void(T*)> work, const std::function<void()>& trigger) {
    bool worked = false;
    AnswerNextModal<T>([&](T* modal) {
        worked = true;
        work(modal);
    });
    trigger();
    return worked;
}

// Watches for the progress dialog while a command runs: notes whether it showed, and
// presses its Cancel button once when asked to, once its status line starts with `at`.
class ProgressWatch {
public:
    explicit ProgressWatch(bool pressCancel = false, const QString& at = {}) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, pressCancel, at] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() != QLatin1String("progressDialog") || !top->isVisible()) continue;
                shown = true;
                if (!pressCancel || pressed || !top->findChild<QLabel*>("statusLine")->text().startsWith(at)) continue;
                top->findChild<QPushButton*>("cancelButton")->click();
                pressed = true;
            }
        });
        m_timer.start(0);
    }
    bool shown = false;
    bool pressed = false;

private:
    QTimer m_timer;
};

}  // namespace gw::test
