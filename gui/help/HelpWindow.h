#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

class QAction;
class QTextBrowser;
class QWidget;

namespace gw {

class UserChoices;

// The manual's pages that windows open at.
namespace help_topic {
inline const QString kIndex = QStringLiteral("index.html");
inline const QString kTheaterForm = QStringLiteral("theater-form.html");
inline const QString kBuildOptions = QStringLiteral("generating.html#options");
inline const QString kImportDem = QStringLiteral("getting-started.html#import");
inline const QString kE00RuleChoice = QStringLiteral("e00-files.html#vector");
inline const QString kE00RulesEditor = QStringLiteral("e00-files.html#editor");
inline const QString kHeightData = QStringLiteral("height-data.html#editor");
inline const QString kPreviewSize = QStringLiteral("theater-form.html#map");
inline const QString kProgress = QStringLiteral("generating.html#safety");
}  // namespace help_topic

// The folders the manual is looked for in, in order: share/gridwright/manual beside the
// program's bin folder (where it is installed), then the source tree's docs/manual (a
// build tree).
QStringList ManualSearchPaths();
// The first of folders that holds the manual's index.html; empty when none does.
QString FindManual(const QStringList& folders);

// The topic of a window: the page of a known dialog, the theater form for the main
// window with a document window active, else the index.
QString HelpTopicFor(const QWidget* window, bool documentActive);

// The program's help window: the manual in a browser with Back, Forward and Home.
class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& manualFolder, QWidget* parent = nullptr);

    // Shows topic, a page of the manual with an optional #anchor.
    void showTopic(const QString& topic);
    QTextBrowser* browser() const { return m_browser; }
    const QString& manualFolder() const { return m_folder; }
    // The file name of the page shown, with its #anchor if any.
    QString currentTopic() const;

private:
    QString m_folder;
    QTextBrowser* m_browser = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
};

// Opens the program's one help window (made on first use, a window of parent's) at
// topic, looking for the manual in folders. When it is found nowhere, a message says
// where it was looked for, and null is returned.
HelpWindow* ShowHelp(QWidget* parent, UserChoices& choices, const QString& topic,
                     const QStringList& folders = ManualSearchPaths());

// F1 in the program's dialogs: the help window at the dialog's topic. Installed once on
// the application by the main window.
void InstallDialogHelp(QWidget* mainWindow, UserChoices& choices);

}  // namespace gw
