// The main window's wiring: which commands are open to the user, a command reaching its
// handler, opening files (by menu, drop, recent-file entry and command line), one
// document for each header, New Window and Close, the about box, printing and help.

#include "tests/gui/GuiTestSupport.h"
#include "gui/features/E00RuleChoiceDialog.h"
#include "gui/features/ImportDemDialog.h"
#include "gui/generate/BuildTerrainDialog.h"
#include "gui/grid/E00RulesDialog.h"
#include "gui/grid/HeightDataDialog.h"
#include "gui/help/HelpWindow.h"
#include "gui/layout/MapPreviewWidget.h"
#include "gui/layout/PreviewSizeDialog.h"
#include "gui/common/ProgressDialog.h"
#include "gui/print/TheaterPage.h"
#include "gui/shell/AboutDialog.h"
#include "gui/shell/StaticLink.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include <new>

namespace gw::test {
namespace {

const QList<int> kDocumentCommands = {kGenerateTerrain, kFileClose,      kFilePrint,      kFilePrintPreview,
                                      kEditE00Rules,    kHeightData,     kDrawFeatures,   kLoadE00File,
                                      kLoadVectorData,  kDeleteFeatures, kLoadObjectiveRules, kWindowNew,
                                      kWindowCascade,   kWindowTile,     kWindowArrange};
const QList<int> kAlwaysCommands = {kFileOpen, kImportDem, kAppExit, kViewToolbar, kViewStatusBar, kFilePrintSetup,
                                    kAppAbout, kHelp};

QString Pane(const MainWindow& window, const char* name) { return window.statusBar()->findChild<QLabel*>(name)->text(); }

// A copy of the sample DEM under another name; returns its header's absolute path.
QString CopySample(const QTemporaryDir& dir, const QString& name) {
    QFile::copy(SampleHeader(), dir.filePath(name + ".hdr"));
    QFile::copy(QString::fromStdString(SampleDir() + "/coast.bin"), dir.filePath(name + ".bin"));
    return QFileInfo(dir.filePath(name + ".hdr")).absoluteFilePath();
}

// A river coverage on the sample DEM with `arcs` lines.
QString WriteRivers(const QTemporaryDir& dir, const QString& name, int arcs) {
    std::vector<std::vector<std::pair<double, double>>> lines;
    for (int i = 0; i < arcs; ++i) lines.push_back({{11.0 + i * 0.1, 42.0}, {12.0 + i * 0.1, 43.0}});
    WriteText(dir.filePath(name), QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", lines)));
    return dir.filePath(name);
}

HelpWindow* OpenHelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<HelpWindow*>(widget); help && help->isVisible()) return help;
    }
    return nullptr;
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("Orvane");
        QCoreApplication::setApplicationName("Gridwright");
        QVERIFY(m_dir.isValid());
    }
    void init() { QSettings().remove("RecentFiles"); }

    void theActiveWindowOpensTheDocumentCommands() {
        ScriptedChoices choices;
        MainWindow window(choices);
        const auto enabled = [&](int id) { return window.action(id)->isEnabled(); };
        for (int id : kAlwaysCommands) QVERIFY2(enabled(id), qPrintable(window.action(id)->objectName()));
        for (int id : kDocumentCommands) QVERIFY2(!enabled(id), qPrintable(window.action(id)->objectName()));
        QCOMPARE(window.menuBar()->actions().size(), 3);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        for (int id : kAlwaysCommands + kDocumentCommands) QVERIFY(enabled(id));
        for (int id : {kEditUndo, kEditCut, kEditCopy, kEditPaste}) QVERIFY(!enabled(id));
        QCOMPARE(window.menuBar()->actions().size(), 6);
        QCOMPARE(window.windowTitle(), QString("Gridwright - coast.hdr"));
        QCOMPARE(Pane(window, "objRulesPane"), QString("Obj Rules: Default"));

        window.action(kViewToolbar)->trigger();
        window.action(kViewStatusBar)->trigger();
        QVERIFY(!window.findChild<QToolBar*>("toolBar")->isVisibleTo(&window) && !window.statusBar()->isVisibleTo(&window));
        window.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(window.menuBar()->actions().size(), 3);
        QVERIFY(!enabled(kGenerateTerrain));
    }

    void whileACommandRunsNoneOtherStartsAndExitIsRefused() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        int asked = 0;
        bool closed = true;
        choices.whileAsking = [&] {
            ++asked;
            for (QAction* command : window.findChildren<QAction*>()) {
                if (command->objectName().startsWith("action")) QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
            }
            closed = window.close();
        };
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(!closed);
        QVERIFY(window.action(kGenerateTerrain)->isEnabled());

        // A command that runs out of memory ends with a message; the program goes on.
        choices.whileAsking = [&] {
            if (std::exchange(asked, 0)) throw std::bad_alloc();
        };
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.messages.value(0).text, QString("There was not enough memory to finish the command."));
        QVERIFY(!window.commandRunning() && window.isEnabled());
        QVERIFY(window.close());
    }

    void openFailureSaysWhyAndAddsNoWindow() {
        ScriptedChoices choices;
        MainWindow window(choices);
        const QString missing = m_dir.filePath("missing.hdr");
        choices.files = {{missing}};
        window.action(kFileOpen)->trigger();
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY2(choices.messages[0].text.contains(missing), qPrintable(choices.messages[0].text));
        QCOMPARE(choices.messages[0].parent, &window);
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
        QVERIFY(window.documents().documents().isEmpty());

        const QString opened = CopySample(m_dir, "opened");
        choices.files = {{opened}};
        window.action(kFileOpen)->trigger();
        QCOMPARE(window.activeView()->document()->path(), opened);
    }

    void aHeaderOpenAlreadyActivatesItsWindow() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QMdiSubWindow* first = window.mdiArea()->currentSubWindow();
        QVERIFY(window.OpenFile(CopySample(m_dir, "other")).ok());
        QVERIFY(window.mdiArea()->currentSubWindow() != first);
        QVERIFY(window.OpenFile(QString::fromStdString(SampleDir() + "/../sample/./coast.hdr")).ok());
        QCOMPARE(window.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(window.documents().documents().size(), 2);
        QCOMPARE(window.mdiArea()->currentSubWindow(), first);
    }

    void newWindowSharesTheDocumentAndCloseClosesItsWindows() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QPointer<GuiDocument> document = window.activeView()->document();
        CGridwrightView* first = window.activeView();
        window.action(kWindowNew)->trigger();
        QList<QMdiSubWindow*> windows = window.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(window.activeView()->document(), document.data());
        QCOMPARE(windows[1]->windowTitle(), QString("coast.hdr:2"));

        // Draw Features follows the active view.
        window.action(kDrawFeatures)->trigger();
        QVERIFY(first->drawFeatures() != window.activeView()->drawFeatures());
        window.mdiArea()->setActiveSubWindow(windows[0]);
        QCOMPARE(window.action(kDrawFeatures)->isChecked(), first->drawFeatures());

        windows[1]->close();
        QTRY_COMPARE(windows[0]->windowTitle(), QString("coast.hdr"));
        QVERIFY(document);

        // Close takes every window of the active document, and no other.
        window.action(kWindowNew)->trigger();
        QVERIFY(window.OpenFile(CopySample(m_dir, "closed")).ok());
        QPointer<GuiDocument> closed = window.activeView()->document();
        window.action(kWindowNew)->trigger();
        window.action(kFileClose)->trigger();
        QTRY_VERIFY(!closed);
        QCOMPARE(window.documents().documents(), QList<GuiDocument*>({document.data()}));
        QCOMPARE(window.mdiArea()->subWindowList().size(), 2);
    }

    void droppedHeadersOpenWindowsOfTheirOwn() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(SampleHeader()), QUrl::fromLocalFile(CopySample(m_dir, "dropped"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &drop);
        QVERIFY(choices.messages.isEmpty());
        QCOMPARE(window.documents().documents().size(), 2);
    }

    void loadsRunUnderTheProgressDialogAndShowInThePanes() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QTemporaryDir dir;
        const QString unknown = dir.filePath("roads.e00");
        WriteText(unknown, QByteArray::fromStdString(LineCoverage("/X/UNKNOWN.E00", {{{11, 42}, {12, 43}}})));
        choices.files = {{unknown, WriteRivers(dir, "rivers.e00", 3)}};
        bool windowEnabled = true;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        choices.whileAsking = [&] {
            windowEnabled = window.isEnabled();
            if (QApplication::overrideCursor()) cursor = QApplication::overrideCursor()->shape();
        };
        window.action(kLoadE00File)->trigger();
        QCOMPARE(choices.messages.size(), 1);
        QCOMPARE(choices.messages[0].text, QString("Unrecognised types of e00 UNKNOWN.E00"));
        QCOMPARE(choices.messages[0].parentName, QString("progressDialog"));
        QVERIFY(!windowEnabled);
        QCOMPARE(cursor, Qt::WaitCursor);
        QVERIFY(window.isEnabled() && !QApplication::overrideCursor());
        QCOMPARE(Pane(window, "featuresPane"), QString("3 features"));
        window.action(kDeleteFeatures)->trigger();
        QCOMPARE(Pane(window, "featuresPane"), QString("0 features"));
    }

    void objectiveRulesLoadIntoTheActiveView() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        const QString rules = m_dir.filePath("small.obr");
        WriteText(rules, "BaseId 500\nType Airport\nPriority 40\nIds 1779\n");
        choices.files = {{rules}, {m_dir.filePath("gone.obr")}};
        window.action(kLoadObjectiveRules)->trigger();
        QVERIFY(choices.messages.isEmpty());
        QCOMPARE(window.activeView()->objectiveRules().m_baseId, 500);
        QCOMPARE(Pane(window, "objRulesPane"), QString("Obj Rules: small.obr"));
        window.action(kLoadObjectiveRules)->trigger();
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY(choices.messages[0].text.contains("gone.obr"));
        QCOMPARE(Pane(window, "objRulesPane"), QString("Obj Rules: small.obr"));
    }

    void recentFilesOpenTheirHeaderAndOutliveARestart() {
        QStringList headers;
        for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h"}) headers << CopySample(m_dir, name);
        {
            ScriptedChoices choices;
            MainWindow window(choices);
            QVERIFY(!window.action(kRecentFile)->isEnabled());
            for (const QString& header : headers) QVERIFY(window.OpenFile(header).ok());
            QVERIFY(window.OpenFile(headers[3]).ok());  // open already: it moves to the top
        }
        ScriptedChoices choices;
        MainWindow window(choices);
        QCOMPARE(window.recentFiles(), QStringList({headers[3], headers[7], headers[6], headers[5], headers[4],
                                                    headers[2], headers[1]}));
        QCOMPARE(window.action(kRecentFile + 1)->text(), "&2 " + headers[7]);
        window.action(kRecentFile + 1)->trigger();
        QCOMPARE(window.activeView()->document()->path(), headers[7]);

        // An entry that no longer opens says why and leaves the list.
        QFile::remove(headers[2]);
        window.action(kRecentFile + 5)->trigger();
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY(choices.messages[0].text.contains(headers[2]));
        QVERIFY(!window.recentFiles().contains(headers[2]));
        QVERIFY(window.action(kRecentFile + 5)->isEnabled() && !window.action(kRecentFile + 6)->isEnabled());
    }

    void theProgramOpensTheHeadersNamedOrEnds() {
        const QString gui = QStringLiteral(GRIDWRIGHT_GUI);
        const QString broken = m_dir.filePath("broken.hdr");
        WriteText(broken, "this is no DEM header\n");
        QProcess failing;
        failing.start(gui, {SampleHeader(), broken});
        QVERIFY(failing.waitForFinished(30000));
        QCOMPARE(failing.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(failing.readAllStandardError()).contains("gridwright: " + broken));

        // Each header opened goes to the top of the recent files, written at once.
        const QStringList headers = {CopySample(m_dir, "first"), CopySample(m_dir, "second")};
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        program.setProcessEnvironment(environment);
        program.start(gui, headers);
        const auto recent = [&] {
            QSettings settings(m_dir.filePath("config/Orvane/Gridwright.conf"), QSettings::IniFormat);
            return QStringList({settings.value("RecentFiles/File1").toString(), settings.value("RecentFiles/File2").toString()});
        };
        QTRY_COMPARE_WITH_TIMEOUT(recent(), QStringList({headers[1], headers[0]}), 30000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        QVERIFY(program.waitForFinished(30000));
    }

    void theAboutBoxLinkOpensTheDiscussion() {
        ScriptedChoices choices;
        MainWindow window(choices);
        choices.urlOpens = {false, true};
        QVERIFY(WorkModal<AboutDialog>([&](AboutDialog* about) {
            QTest::mouseClick(about->link(), Qt::RightButton);
            for (int click = 0; click < 2; ++click) QTest::mouseClick(about->link(), Qt::LeftButton);
            QCOMPARE(about->link()->colour(), QColor(128, 0, 128));
            about->findChild<QPushButton*>("aboutOk")->click();
        }, [&] { window.action(kAppAbout)->trigger(); }));
        QCOMPARE(choices.beeps, 1);  // the first one could not be opened
        QCOMPARE(choices.openedUrls, QList<QUrl>(2, QUrl(AboutDialog::kDiscussionAddress)));
    }

    void printPrintsTheViewsPage() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        CGridwrightView& view = *window.activeView();
        view.results() = {-12, 3400, true, true};
        const TheaterPage page = TheaterPageOf(view);
        QCOMPARE(page.name, QString("Theater name: Gridwright sample coast"));
        QCOMPARE(page.map, view.mapPreview()->shownImage());
        QCOMPARE(page.figures.value(10), QString("Highest point: 3400ft"));
        for (const QString& pdf : {m_dir.filePath("printed.pdf"), QString("/nonexistent/printed.pdf")}) {
            AnswerNextModal<QPrintDialog>([&pdf](QPrintDialog* dialog) {
                dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
                dialog->printer()->setOutputFileName(pdf);
                dialog->done(QDialog::Accepted);
            });
            window.action(kFilePrint)->trigger();
        }
        QVERIFY(QFileInfo(m_dir.filePath("printed.pdf")).size() > 10000);
        QCOMPARE(choices.messages.size(), 1);
        QCOMPARE(choices.messages[0].text, QString("The page could not be printed."));

        int pages = -1;
        QVERIFY(WorkModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* preview) {
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->reject();
        }, [&] { window.action(kFilePrintPreview)->trigger(); }));
        QCOMPARE(pages, 1);
        QVERIFY(WorkModal<QPageSetupDialog>(&QDialog::reject, [&] { window.action(kFilePrintSetup)->trigger(); }));
    }

    void f1OpensTheHelpAtTheTopicOfWhatHasTheFocus() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        QVERIFY(OpenHelpWindow());
        QCOMPARE(OpenHelpWindow()->currentTopic(), help_topic::kIndex);
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        window.action(kHelp)->trigger();
        QCOMPARE(OpenHelpWindow()->currentTopic(), help_topic::kTheaterForm);
        QString topic;
        AnswerNextModal<QDialog>([&](QDialog* dialog) {
            QTest::keyClick(dialog, Qt::Key_F1);
            if (HelpWindow* help = OpenHelpWindow(); help && help->parentWidget() == dialog) topic = help->currentTopic();
            dialog->reject();
        });
        window.action(kHeightData)->trigger();
        QCOMPARE(topic, help_topic::kHeightData);
        QVERIFY(choices.messages.isEmpty());
        QVERIFY(!ShowHelp(nullptr, choices, help_topic::kIndex, {"/nonexistent/manual"}));
        QVERIFY(choices.messages.value(0).text.contains("/nonexistent/manual"));
    }

    void everyDialogHasATopicOfItsOwnInTheManual() {
        ScriptedChoices choices;
        BuildOptions options;
        BuildTerrainDialog build(options);
        ImportDemDialog importDem(choices);
        E00RuleChoiceDialog ruleChoice("places", "places.geojson", BuiltInE00Rules());
        E00RulesDialog rules(BuiltInE00Rules(), choices);
        HeightDataDialog heights(HeightTable(), choices);
        PreviewSizeDialog previewSize({400, 300});
        ProgressDialog progress(nullptr);
        const QList<std::pair<QWidget*, QString>> topics = {
            {&build, help_topic::kBuildOptions},   {&importDem, help_topic::kImportDem},
            {&ruleChoice, help_topic::kE00RuleChoice}, {&rules, help_topic::kE00RulesEditor},
            {&heights, help_topic::kHeightData},   {&previewSize, help_topic::kPreviewSize},
            {&progress, help_topic::kProgress}};
        for (const auto& [dialog, topic] : topics) QCOMPARE(HelpTopicFor(dialog, true), topic);
        QCOMPARE(HelpTopicFor(nullptr, false), help_topic::kIndex);

        // Back, Forward and Contents move through the pages shown.
        HelpWindow help(FindManual(ManualSearchPaths()));
        help.showTopic(help_topic::kIndex);
        help.browser()->setSource(help.browser()->source().resolved(QUrl("command-line.html")));
        help.findChild<QAction*>("helpBackAction")->trigger();
        QCOMPARE(help.currentTopic(), help_topic::kIndex);
        help.findChild<QAction*>("helpForwardAction")->trigger();
        QCOMPARE(help.currentTopic(), QString("command-line.html"));
        help.findChild<QAction*>("helpHomeAction")->trigger();
        QCOMPARE(help.currentTopic(), help_topic::kIndex);
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::ShellTest)
#include "ShellTest.moc"
