#include "tests/gui/GuiTestData.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/DialogChoices.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "tests/features/E00Text.h"
#include "gui/layout/GridwrightView.h"

#include <new>
#include <utility>
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace gw::test {
namespace {

using namespace command;

QStringList MenuTitles(const QMainWindow& window) {
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions()) titles << menu->text();
    return titles;
}

QMenu* MenuNamed(const QMainWindow& window, const QString& title) {
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() == title) return menu->menu();
    }
    return nullptr;
}

// A menu's entries: each item's text, "-" for a separator.
QStringList Items(const QWidget* menuOrBar) {
    QStringList items;
    for (QAction* item : menuOrBar->actions()) {
        if (item->isVisible()) items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    return items;
}

QString PaneText(const QMainWindow& window, const char* name) {
    return window.statusBar()->findChild<QLabel*>(name)->text();
}

// The commands that work on the active document.
const QList<int> kDocumentCommands = {kGenerateTerrain, kFileClose, kFilePrint, kFilePrintPreview, kEditE00Rules, kHeightData,
                                      kDrawFeatures,    kLoadE00File,   kLoadVectorData,     kDeleteFeatures,     kLoadObjectiveRules,
                                      kWindowNew,       kWindowCascade, kWindowTile,         kWindowArrange};
// Commands no window handles, and commands that come with later work.
const QList<int> kDisabledCommands = {kEditUndo, kEditCut, kEditCopy, kEditPaste};

// A copy of the sample DEM under another name.
QString CopySample(const QTemporaryDir& dir, const QString& name) {
    const QString header = dir.filePath(name + ".hdr");
    QFile::copy(SampleHeader(), header);
    QFile::copy(QStringLiteral(GRIDWRIGHT_SAMPLE_DIR "/coast.bin"), dir.filePath(name + ".bin"));
    return header;
}

// A line coverage on the sample DEM (10-18 E, 41-47 N) named for the built-in RIVER rule.
QString WriteRivers(const QTemporaryDir& dir, const QString& name, int arcs) {
    std::vector<std::vector<std::pair<double, double>>> lines;
    for (int i = 0; i < arcs; ++i) lines.push_back({{11.0 + i * 0.1, 42.0}, {12.0 + i * 0.1, 43.0}});
    const QString path = dir.filePath(name);
    WriteText(path, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", lines)));
    return path;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("Orvane");
        QCoreApplication::setApplicationName("Gridwright");
        QVERIFY(m_dir.isValid());
    }

    // Every test starts with an empty recent-file list.
    void init() { QSettings("Orvane", "Gridwright").remove("RecentFiles"); }

    void startsWithMenu128AndNoWindow() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QCOMPARE(MenuTitles(window), QStringList({"&File", "&View", "&Help"}));
        QCOMPARE(Items(MenuNamed(window, "&File")),
                 QStringList({"&Open...", "&Import DEM...", "-", "P&rint Setup...", "-", "Recent File", "-", "E&xit"}));
        QCOMPARE(Items(MenuNamed(window, "&View")), QStringList({"&Toolbar", "&Status Bar"}));
        QCOMPARE(Items(MenuNamed(window, "&Help")), QStringList({"Help...", "-", "&About Gridwright..."}));
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
        QVERIFY(!window.activeView());
        for (int id : {kFileOpen, kImportDem, kAppExit, kViewToolbar, kViewStatusBar, kFilePrintSetup, kAppAbout}) QVERIFY(window.action(id)->isEnabled());
        QVERIFY(window.action(kViewToolbar)->isChecked());
        QVERIFY(window.action(kViewStatusBar)->isChecked());
        for (int id : kDocumentCommands + kDisabledCommands) QVERIFY2(!window.action(id)->isEnabled(), qPrintable(window.action(id)->objectName()));
        QCOMPARE(window.windowTitle(), QString("Gridwright"));
    }

    void documentWindowShowsMenu129() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QCOMPARE(MenuTitles(window), QStringList({"&File", "&Edit", "&View", "Data", "&Window", "&Help"}));
        QCOMPARE(Items(MenuNamed(window, "&File")),
                 QStringList({"&Open...", "&Import DEM...", "&Generate Terrain", "&Close", "-", "Edit E00 Rules", "-", "&Print...",
                              "Print Pre&view", "P&rint Setup...", "-",
                              "&1 " + QFileInfo(SampleHeader()).absoluteFilePath(), "-", "E&xit"}));
        QCOMPARE(Items(MenuNamed(window, "&Edit")),
                 QStringList({"&Undo", "-", "Cu&t", "&Copy", "&Paste", "-", "Height Data"}));
        QCOMPARE(Items(MenuNamed(window, "&View")), QStringList({"Draw Features", "-", "&Toolbar", "&Status Bar"}));
        QCOMPARE(Items(MenuNamed(window, "Data")),
                 QStringList({"&Load E00 File", "Load &Vector Data...", "&Delete Features", "Load Objective Rules"}));
        QCOMPARE(Items(MenuNamed(window, "&Window")),
                 QStringList({"&New Window", "&Cascade", "&Tile", "&Arrange Icons"}));
        QCOMPARE(Items(MenuNamed(window, "&Help")), QStringList({"Help...", "-", "&About Gridwright..."}));
        for (int id : kDocumentCommands) QVERIFY2(window.action(id)->isEnabled(), qPrintable(window.action(id)->objectName()));
        for (int id : kDisabledCommands) QVERIFY2(!window.action(id)->isEnabled(), qPrintable(window.action(id)->objectName()));
        QCOMPARE(window.windowTitle(), QString("Gridwright - coast.hdr"));
        QCOMPARE(window.mdiArea()->subWindowList().front()->windowTitle(), QString("coast.hdr"));
    }

    void commandsCarryTheirIdsShortcutsAndPrompts() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QCOMPARE(window.action(kFileOpen)->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(window.action(kGenerateTerrain)->shortcut(), QKeySequence("Ctrl+G"));
        QCOMPARE(window.action(kLoadE00File)->shortcut(), QKeySequence("Ctrl+L"));
        QCOMPARE(window.action(kFilePrint)->shortcut(), QKeySequence("Ctrl+P"));
        QCOMPARE(window.action(kEditUndo)->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
        QCOMPARE(window.action(kEditCut)->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}));
        QCOMPARE(window.action(kEditCopy)->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")}));
        QCOMPARE(window.action(kEditPaste)->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));
        QCOMPARE(window.action(kGenerateTerrain)->statusTip(), QString("Generate Terrain"));
        QCOMPARE(window.action(kLoadObjectiveRules)->statusTip(), QString("Load Objective Rules"));
        QCOMPARE(window.action(kLoadObjectiveRules)->toolTip(), QString("Load Rules"));
        QCOMPARE(window.action(kHelp)->statusTip(), QString("Help about Gridwright"));
        for (QAction* command : window.findChildren<QAction*>()) {
            if (command->isSeparator() || command->menu()) continue;
            QVERIFY2(!command->objectName().isEmpty(), qPrintable(command->text()));
            if (command->objectName().startsWith("action")) QCOMPARE(window.action(command->data().toInt()), command);
        }
    }

    void toolbarHoldsTheDesignedButtons() {
        ScriptedChoices choices;
        MainWindow window(choices);
        auto* bar = window.findChild<QToolBar*>("toolBar");
        QVERIFY(bar);
        QCOMPARE(Items(bar), QStringList({"&Open...", "-", "Cu&t", "&Copy", "&Paste", "-", "Draw Features",
                                          "&Load E00 File", "&Generate Terrain", "-", "&About Gridwright..."}));
        QCOMPARE(bar->iconSize(), QSize(16, 16));
        for (QAction* button : bar->actions()) {
            if (!button->isSeparator()) QVERIFY(!button->icon().pixmap(16, 16).isNull());
        }
        window.action(kViewToolbar)->trigger();
        QVERIFY(!bar->isVisibleTo(&window));
        QVERIFY(!window.action(kViewToolbar)->isChecked());
        window.action(kViewStatusBar)->trigger();
        QVERIFY(!window.statusBar()->isVisibleTo(&window));
    }

    void statusPanesFollowTheActiveView() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QCOMPARE(PaneText(window, "messagePane"), QString("Ready"));
        QCOMPARE(PaneText(window, "objRulesPane"), QString());
        const auto* rulesPane = window.statusBar()->findChild<QLabel*>("objRulesPane");
        const auto* featuresPane = window.statusBar()->findChild<QLabel*>("featuresPane");
        QVERIFY(rulesPane->width() >= rulesPane->fontMetrics().horizontalAdvance("Obj Rules: Default        "));
        QVERIFY(featuresPane->width() >= featuresPane->fontMetrics().horizontalAdvance("000000 features"));
        QVERIFY(rulesPane->width() > rulesPane->fontMetrics().horizontalAdvance("Obj Rules: Default"));

        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QCOMPARE(PaneText(window, "objRulesPane"), QString("Obj Rules: Default"));
        QCOMPARE(PaneText(window, "featuresPane"), QString("0 features"));

        const QString rivers = WriteRivers(m_dir, "rivers.e00", 3);
        choices.files = {{rivers}};
        window.action(kLoadE00File)->trigger();
        QCOMPARE(PaneText(window, "featuresPane"), QString("3 features"));
        window.action(kDeleteFeatures)->trigger();
        QCOMPARE(PaneText(window, "featuresPane"), QString("0 features"));

        window.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(PaneText(window, "featuresPane"), QString());
    }

    void openFailureSaysWhyAndAddsNoWindow() {
        ScriptedChoices choices;
        MainWindow window(choices);
        const QString missing = m_dir.filePath("missing.hdr");
        choices.files = {{missing}};
        window.action(kFileOpen)->trigger();
        QCOMPARE(choices.fileQuestions.size(), 1);
        QCOMPARE(choices.fileQuestions[0].filters, QStringList({"Gridwr Files (*.hdr)", "All Files (*)"}));
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY2(choices.messages[0].text.contains(missing), qPrintable(choices.messages[0].text));
        QCOMPARE(choices.messages[0].parent, &window);
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
        QVERIFY(window.documents().documents().isEmpty());
        QCOMPARE(MenuTitles(window), QStringList({"&File", "&View", "&Help"}));

        // A header whose raster is missing.
        const QString header = m_dir.filePath("noraster.hdr");
        QFile::copy(SampleHeader(), header);
        const Status status = window.OpenFile(header);
        QVERIFY(!status.ok());
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
    }

    void messagesAreBoxesTitledGridwright() {
        DialogChoices choices;
        QWidget parent;
        QString title, text;
        QMessageBox::StandardButtons buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            box->accept();
        });
        choices.ShowMessage(&parent, "cannot open x.hdr", UserChoices::MessageKind::kWarning);
        QCOMPARE(title, QString("Gridwright"));
        QCOMPARE(text, QString("cannot open x.hdr"));
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            buttons = box->standardButtons();
            box->button(QMessageBox::Yes)->click();
        });
        QVERIFY(choices.AskYesNo(&parent, "Cancel?"));
        QCOMPARE(title, QString("Gridwright"));
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    }

    void openingTheSameHeaderActivatesItsWindow() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QMdiSubWindow* first = window.mdiArea()->currentSubWindow();
        QVERIFY(window.OpenFile(CopySample(m_dir, "other")).ok());
        QCOMPARE(window.mdiArea()->subWindowList().size(), 2);
        QVERIFY(window.mdiArea()->currentSubWindow() != first);

        const QString sameFile = QStringLiteral(GRIDWRIGHT_SAMPLE_DIR "/../sample/./coast.hdr");
        QVERIFY(window.OpenFile(sameFile).ok());
        QCOMPARE(window.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(window.documents().documents().size(), 2);
        QCOMPARE(window.mdiArea()->currentSubWindow(), first);
    }

    void newWindowSharesTheDocumentUntilBothClose() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QPointer<GuiDocument> document = window.activeView()->document();
        window.action(kWindowNew)->trigger();
        const QList<QMdiSubWindow*> windows = window.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(window.activeView()->document(), document.data());
        QVERIFY(window.activeView() != qobject_cast<CGridwrightView*>(windows[0]->widget()));
        QCOMPARE(window.documents().ViewCount(document), 2);
        QCOMPARE(windows[0]->windowTitle(), QString("coast.hdr:1"));
        QCOMPARE(windows[1]->windowTitle(), QString("coast.hdr:2"));

        windows[1]->close();
        QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 1);
        QVERIFY(document);
        QTRY_COMPARE(windows[0]->windowTitle(), QString("coast.hdr"));
        QCOMPARE(MenuTitles(window).size(), 6);

        windows[0]->close();
        QTRY_VERIFY(!document);
        QTRY_COMPARE(MenuTitles(window), QStringList({"&File", "&View", "&Help"}));
        QVERIFY(window.documents().documents().isEmpty());
    }

    void closeClosesEveryWindowOfTheDocument() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        window.action(kWindowNew)->trigger();
        QVERIFY(window.OpenFile(CopySample(m_dir, "kept")).ok());
        QPointer<GuiDocument> kept = window.activeView()->document();
        window.mdiArea()->setActiveSubWindow(window.mdiArea()->subWindowList(QMdiArea::CreationOrder).front());
        window.action(kFileClose)->trigger();
        QTRY_COMPARE(window.documents().documents(), QList<GuiDocument*>({kept.data()}));
        QCOMPARE(window.mdiArea()->subWindowList().size(), 1);
    }

    void droppedHeadersOpenWindowsOfTheirOwn() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(SampleHeader()), QUrl::fromLocalFile(CopySample(m_dir, "dropped"))});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &drop);
        QCOMPARE(choices.messages.size(), 0);
        QCOMPARE(window.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(window.documents().documents().size(), 2);
    }

    void commandsAreDisabledWhileOneRuns() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        int asked = 0;
        choices.whileAsking = [&] {
            ++asked;
            QVERIFY(window.commandRunning());
            for (QAction* command : window.findChildren<QAction*>()) {
                if (!command->objectName().startsWith("action")) continue;
                QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
            }
        };
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(!window.commandRunning());
        QVERIFY(window.action(kGenerateTerrain)->isEnabled());
    }

    void aCommandThatRunsOutOfMemoryEndsWithAMessage() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        bool thrown = false;
        choices.whileAsking = [&] {
            if (!std::exchange(thrown, true)) throw std::bad_alloc();
        };
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.messages.size(), 1);
        QCOMPARE(choices.messages[0].text, QString("There was not enough memory to finish the command."));
        QVERIFY(!window.commandRunning());
        QVERIFY(window.action(kGenerateTerrain)->isEnabled());
        QVERIFY(window.isEnabled());
    }

    void jobsRunUnderTheProgressDialogAndWaitCursor() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QTemporaryDir dir;
        const QString unknown = dir.filePath("roads.e00");
        WriteText(unknown, QByteArray::fromStdString(LineCoverage("/X/UNKNOWN.E00", {{{11, 42}, {12, 43}}})));
        const QString rivers = WriteRivers(dir, "rivers.e00", 2);
        choices.files = {{unknown, rivers}};
        bool windowEnabled = true;
        QString dialogTitle;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        choices.whileAsking = [&] {
            windowEnabled = window.isEnabled();
            if (QApplication::overrideCursor()) cursor = QApplication::overrideCursor()->shape();
        };
        window.action(kLoadE00File)->trigger();
        QCOMPARE(choices.fileQuestions.size(), 1);
        QCOMPARE(choices.fileQuestions[0].filters, QStringList({"Arc/Info Files (*.e00)", "All Files (*)"}));
        QCOMPARE(choices.messages.size(), 1);
        QCOMPARE(choices.messages[0].text, QString("Unrecognised types of e00 UNKNOWN.E00"));
        QCOMPARE(choices.messages[0].parentName, QString("progressDialog"));
        QCOMPARE(choices.messages[0].parentTitle, QString("Please Wait"));
        QVERIFY(!windowEnabled);
        QCOMPARE(cursor, Qt::WaitCursor);
        QVERIFY(window.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(window.activeView()->document()->doc().features().size(), std::size_t{2});
    }

    void drawFeaturesFollowsTheActiveView() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        CGridwrightView* first = window.activeView();
        window.action(kWindowNew)->trigger();
        CGridwrightView* second = window.activeView();
        QCOMPARE(window.action(kDrawFeatures)->isChecked(), second->drawFeatures());
        window.action(kDrawFeatures)->trigger();
        QCOMPARE(second->drawFeatures(), window.action(kDrawFeatures)->isChecked());
        QVERIFY(first->drawFeatures() != second->drawFeatures());
        window.mdiArea()->setActiveSubWindow(window.mdiArea()->subWindowList(QMdiArea::CreationOrder).front());
        QCOMPARE(window.action(kDrawFeatures)->isChecked(), first->drawFeatures());
    }

    void loadObjectiveRulesReplacesTheViewsRules() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        const QString rules = m_dir.filePath("small.obr");
        WriteText(rules, "BaseId 500\nType Airport\nPriority 40\nIds 1779\n");
        choices.files = {{rules}};
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.fileQuestions[0].title, QString("Load Objective Rules"));
        QCOMPARE(choices.fileQuestions[0].filters, QStringList({"obr files (*.obr)", "All Files (*)"}));
        QCOMPARE(choices.fileQuestions[0].defaultSuffix, QString("obr"));
        QVERIFY(choices.messages.isEmpty());
        QCOMPARE(window.activeView()->objectiveRules().m_objectiveRules.size(), std::size_t{1});
        QCOMPARE(window.activeView()->objectiveRules().m_baseId, 500);
        QCOMPARE(PaneText(window, "objRulesPane"), QString("Obj Rules: small.obr"));

        // Unreadable: the reason, and the rules as they were.
        choices.files = {{m_dir.filePath("gone.obr")}};
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY2(choices.messages[0].text.contains("gone.obr"), qPrintable(choices.messages[0].text));
        QCOMPARE(window.activeView()->objectiveRules().m_objectiveRules.size(), std::size_t{1});
        QCOMPARE(PaneText(window, "objRulesPane"), QString("Obj Rules: small.obr"));

        // No rule in it: loaded, with a warning.
        const QString empty = m_dir.filePath("empty.obr");
        WriteText(empty, "# nothing but a comment\nBaseId 7\n");
        choices.files = {{empty}};
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.messages.size(), 2);
        QVERIFY2(choices.messages[1].text.contains("empty.obr holds no objective rule"), qPrintable(choices.messages[1].text));
        QVERIFY(window.activeView()->objectiveRules().m_objectiveRules.empty());
        QCOMPARE(PaneText(window, "objRulesPane"), QString("Obj Rules: empty.obr"));

        // Cancelled: nothing changes.
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.messages.size(), 2);
        QCOMPARE(PaneText(window, "objRulesPane"), QString("Obj Rules: empty.obr"));
    }

    void exitIsRefusedWhileACommandRuns() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        bool closed = true;
        choices.whileAsking = [&] { closed = window.close(); };
        window.action(kFileOpen)->trigger();
        QVERIFY(!closed);
        QVERIFY(window.isVisible());
        QVERIFY(window.close());
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::MainWindowTest)
#include "MainWindowTest.moc"
