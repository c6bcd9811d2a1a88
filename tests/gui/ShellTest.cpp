// The main window's wiring: which commands are open to the user, opening files (by menu,
// drop, recent-file entry and command line), one document for each header, New Window
// and Close, the panes, the about box, printing and help.

#include "tests/gui/GuiTestSupport.h"
#include "gui/help/HelpWindow.h"
#include "gui/layout/MapPreviewWidget.h"
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

// Whether each text has an access key ("&x") and no two share one.
bool UniqueAccessKeys(const QStringList& texts) {
    QSet<QChar> keys;
    for (const QString& text : texts) {
        const qsizetype at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.size() || keys.contains(text[at + 1].toLower())) return false;
        keys.insert(text[at + 1].toLower());
    }
    return true;
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
        Session s(false);
        const auto enabled = [&](int id) { return s.window.action(id)->isEnabled(); };
        for (int id : kAlwaysCommands) QVERIFY2(enabled(id), qPrintable(s.window.action(id)->objectName()));
        for (int id : kDocumentCommands) QVERIFY2(!enabled(id), qPrintable(s.window.action(id)->objectName()));
        QCOMPARE(s.window.menuBar()->actions().size(), 3);
        QVERIFY(s.window.OpenFile(SampleHeader()).ok());
        for (int id : kAlwaysCommands + kDocumentCommands) QVERIFY(enabled(id));
        for (int id : {kEditUndo, kEditCut, kEditCopy, kEditPaste}) QVERIFY(!enabled(id));
        QCOMPARE(s.window.menuBar()->actions().size(), 6);
        QCOMPARE(s.window.windowTitle(), QString("Gridwright - coast.hdr"));

        s.trigger(kViewToolbar);
        s.trigger(kViewStatusBar);
        QVERIFY(!s.window.findChild<QToolBar*>("toolBar")->isVisibleTo(&s.window));
        QVERIFY(!s.window.statusBar()->isVisibleTo(&s.window));
        s.window.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(s.window.menuBar()->actions().size(), 3);
        QVERIFY(!enabled(kGenerateTerrain));
    }

    void whileACommandRunsNoneOtherStartsAndExitIsRefused() {
        Session s;
        s.window.show();
        int asked = 0;
        bool closed = true;
        s.choices.whileAsking = [&] {
            ++asked;
            for (QAction* command : s.window.findChildren<QAction*>()) {
                if (command->objectName().startsWith("action")) QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
            }
            closed = s.window.close();
        };
        s.trigger(kLoadObjectiveRules);
        QCOMPARE(asked, 1);
        QVERIFY(!closed);
        QVERIFY(s.window.action(kGenerateTerrain)->isEnabled());

        // A command that runs out of memory ends with a message; the program goes on.
        s.choices.whileAsking = [&] {
            if (std::exchange(asked, 0)) throw std::bad_alloc();
        };
        s.trigger(kLoadObjectiveRules);
        QCOMPARE(s.choices.messages.value(0).text, QString("There was not enough memory to finish the command."));
        QVERIFY(!s.window.commandRunning() && s.window.isEnabled());
        QVERIFY(s.window.close());
    }

    void eachHeaderOpensInOneDocumentByMenuOrDrop() {
        Session s(false);
        const QString missing = m_dir.filePath("missing.hdr"), opened = CopySample(m_dir, "opened");
        s.choices.files = {{missing}, {opened}};
        for (int i = 0; i < 2; ++i) s.trigger(kFileOpen);
        QCOMPARE(s.choices.messages.size(), 1);
        QVERIFY2(s.choices.messages[0].text.contains(missing), qPrintable(s.choices.messages[0].text));
        QCOMPARE(s.choices.messages[0].parent, &s.window);
        QCOMPARE(s.window.activeView()->document()->path(), opened);
        QMdiSubWindow* first = s.window.mdiArea()->currentSubWindow();

        // A header open already, however it is named, activates its window.
        QMimeData data;
        const QString sameAsOpened = m_dir.path() + "/../" + QDir(m_dir.path()).dirName() + "/./opened.hdr";
        data.setUrls({QUrl::fromLocalFile(SampleHeader()), QUrl::fromLocalFile(sameAsOpened)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.window, &drop);
        QCOMPARE(s.choices.messages.size(), 1);
        QCOMPARE(s.window.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(s.window.documents().documents().size(), 2);
        QCOMPARE(s.window.mdiArea()->currentSubWindow(), first);

        // An E00 file dropped on a window loads as features of its document.
        const QString rivers = m_dir.filePath("dropped.e00");
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {17, 46}}})));
        data.setUrls({QUrl::fromLocalFile(rivers)});
        QCoreApplication::sendEvent(&s.window, &enter);
        QCoreApplication::sendEvent(&s.window, &drop);
        QCOMPARE(s.window.activeView()->document()->doc().features().size(), 1u);
        QCOMPARE(s.window.documents().documents().size(), 2);
    }

    void newWindowSharesTheDocumentAndCloseClosesItsWindows() {
        Session s;
        QPointer<GuiDocument> document = s.window.activeView()->document();
        CGridwrightView* first = s.window.activeView();
        const QString rivers = m_dir.filePath("rivers.e00");
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {17, 46}}})));
        s.choices.files = {{rivers}};
        s.trigger(kLoadE00File);
        s.trigger(kWindowNew);
        // The new window draws the features at once.
        QVERIFY(s.window.activeView()->mapPreview()->shownImage() == first->mapPreview()->shownImage());
        QList<QMdiSubWindow*> windows = s.window.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(s.window.activeView()->document(), document.data());
        QCOMPARE(windows[1]->windowTitle(), QString("coast.hdr:2*"));

        // Draw Features follows the active view.
        s.trigger(kDrawFeatures);
        QVERIFY(first->drawFeatures() != s.window.activeView()->drawFeatures());
        s.window.mdiArea()->setActiveSubWindow(windows[0]);
        QCOMPARE(s.window.action(kDrawFeatures)->isChecked(), first->drawFeatures());

        // Each window is a theater of its own: saving one leaves the other's changes
        // marked, and closing that one asks for them.
        s.choices.files = {{m_dir.filePath("first.gwtheater")}};
        s.trigger(kFileSave);
        QCOMPARE(windows[0]->windowTitle(), QString("first.gwtheater:1"));
        QCOMPARE(windows[1]->windowTitle(), QString("coast.hdr:2*"));
        s.choices.saveAnswers = {UserChoices::SaveAnswer::kCancel};
        QVERIFY(!windows[1]->close());
        QCOMPARE(s.choices.saveQuestions, QStringList({"coast.hdr:2"}));
        // A Cancel of the program's closing keeps a Discard given before it from counting.
        auto* segments = windows[0]->widget()->findChild<QComboBox*>("segmentsXCombo");
        emit segments->activated(segments->findText("32"));
        s.choices.saveAnswers = {UserChoices::SaveAnswer::kDiscard, UserChoices::SaveAnswer::kCancel};
        QVERIFY(!s.window.close());
        QCOMPARE(windows[0]->windowTitle(), QString("first.gwtheater:1*"));
        windows[1]->close();
        QTRY_COMPARE(windows[0]->windowTitle(), QString("first.gwtheater*"));
        QVERIFY(document);

        // Close takes every window of the active document, and no other.
        s.trigger(kWindowNew);
        QVERIFY(s.window.OpenFile(CopySample(m_dir, "closed")).ok());
        QPointer<GuiDocument> closed = s.window.activeView()->document();
        s.trigger(kWindowNew);
        s.trigger(kFileClose);
        QTRY_VERIFY(!closed);
        QCOMPARE(s.window.documents().documents(), QList<GuiDocument*>({document.data()}));
        QCOMPARE(s.window.mdiArea()->subWindowList().size(), 2);

        // Closing the program asks once for each window with changes.
        s.choices.saveQuestions.clear();
        QVERIFY(s.window.close());
        QCOMPARE(s.choices.saveQuestions, QStringList({"first.gwtheater:1", "coast.hdr:2"}));
    }

    void loadsRunUnderTheProgressDialogAndShowInThePanes() {
        Session s;
        QCOMPARE(s.pane("objRulesPane"), QString("Obj Rules: Default"));
        const QString unknown = m_dir.filePath("roads.e00"), rivers = m_dir.filePath("rivers.e00");
        WriteText(unknown, QByteArray::fromStdString(LineCoverage("/X/UNKNOWN.E00", {{{11, 42}, {12, 43}}})));
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {12, 43}}, {{12, 42}, {13, 43}}})));
        s.choices.files = {{unknown, rivers}};
        const QImage plain = s.window.activeView()->mapPreview()->shownImage();
        bool windowEnabled = true;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        s.choices.whileAsking = [&] {
            windowEnabled = s.window.isEnabled();
            if (QApplication::overrideCursor()) cursor = QApplication::overrideCursor()->shape();
        };
        s.trigger(kLoadE00File);
        QCOMPARE(s.choices.messages.size(), 1);
        QVERIFY(s.choices.messages[0].text.startsWith(unknown + ": no E00 rule names its coverage \"UNKNOWN.E00\""));
        QCOMPARE(s.choices.messages[0].parentName, QString("progressDialog"));
        QVERIFY(!windowEnabled);
        QCOMPARE(cursor, Qt::WaitCursor);
        QVERIFY(s.window.isEnabled() && !QApplication::overrideCursor());
        QCOMPARE(s.pane("featuresPane"), QString("2 features"));
        QVERIFY(s.window.activeView()->mapPreview()->shownImage() != plain);
        s.trigger(kDeleteFeatures);
        QCOMPARE(s.pane("featuresPane"), QString("0 features"));

        // A file read in part gives what was read, and is a layer of the theater.
        const std::string whole = LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {12, 43}}, {{12, 42}, {13, 43}}});
        WriteText(rivers, QByteArray::fromStdString(whole.substr(0, whole.find(ArcRecord(2, 2)))));
        s.choices.files = {{rivers}};
        s.trigger(kLoadE00File);
        QCOMPARE(s.pane("featuresPane"), QString("1 features"));
        QCOMPARE(s.window.activeView()->document()->layers().size(), 1u);

        // Objective rules load into the active view; a file that does not read keeps them.
        s.choices.whileAsking = {};
        s.choices.messages.clear();
        const QString rules = m_dir.filePath("small.obr");
        WriteText(rules, "BaseId 500\nType Airport\nPriority 40\nIds 1779\n");
        s.choices.files = {{rules}, {m_dir.filePath("gone.obr")}};
        s.trigger(kLoadObjectiveRules);
        QVERIFY(s.choices.messages.isEmpty());
        QCOMPARE(s.window.activeView()->objectiveRules().m_baseId, 500);
        s.trigger(kLoadObjectiveRules);
        QCOMPARE(s.choices.messages.size(), 1);
        QVERIFY(s.choices.messages[0].text.contains("gone.obr"));
        QCOMPARE(s.pane("objRulesPane"), QString("Obj Rules: small.obr"));
    }

    void recentFilesOpenTheirHeaderAndOutliveARestart() {
        QStringList headers;
        for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h"}) headers << CopySample(m_dir, name);
        {
            Session s(false);
            QVERIFY(!s.window.action(kRecentFile)->isEnabled());
            for (const QString& header : headers) QVERIFY(s.window.OpenFile(header).ok());
            QVERIFY(s.window.OpenFile(headers[3]).ok());  // open already: it moves to the top
        }
        Session s(false);
        QCOMPARE(s.window.recentFiles(), QStringList({headers[3], headers[7], headers[6], headers[5], headers[4],
                                                      headers[2], headers[1]}));
        QCOMPARE(s.window.action(kRecentFile + 1)->text(), "&2 " + headers[7]);
        s.trigger(kRecentFile + 1);
        QCOMPARE(s.window.activeView()->document()->path(), headers[7]);

        // An entry that no longer opens says why and leaves the list.
        QFile::remove(headers[2]);
        s.trigger(kRecentFile + 5);
        QCOMPARE(s.choices.messages.size(), 1);
        QVERIFY(s.choices.messages[0].text.contains(headers[2]));
        QVERIFY(!s.window.recentFiles().contains(headers[2]));
        QVERIFY(s.window.action(kRecentFile + 5)->isEnabled() && !s.window.action(kRecentFile + 6)->isEnabled());
    }

    // The program opens the headers named in order, each going to the top of the recent
    // files at once, and ends with the reason at the first that does not open.
    void theProgramOpensTheHeadersNamedOrEnds() {
        const QString broken = m_dir.filePath("broken.hdr");
        WriteText(broken, "this is no DEM header\n");
        const QStringList headers = {CopySample(m_dir, "first"), CopySample(m_dir, "second")};
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(GRIDWRIGHT_GUI), headers + QStringList({broken, SampleHeader()}));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains("gridwright: " + broken));
        QSettings settings(m_dir.filePath("config/Orvane/Gridwright.conf"), QSettings::IniFormat);
        QStringList recent;
        for (const char* key : {"RecentFiles/File1", "RecentFiles/File2", "RecentFiles/File3"}) recent << settings.value(key).toString();
        QCOMPARE(recent, QStringList({headers[1], headers[0], QString()}));
    }

    void theAboutBoxLinkOpensTheDiscussion() {
        Session s(false);
        s.choices.urlOpens = {false, true};
        QVERIFY(WorkModal<AboutDialog>([&](AboutDialog* about) {
            QTest::mouseClick(about->link(), Qt::RightButton);
            for (int click = 0; click < 2; ++click) QTest::mouseClick(about->link(), Qt::LeftButton);
            QCOMPARE(about->link()->colour(), QColor(128, 0, 128));
            about->findChild<QPushButton*>("aboutOk")->click();
        }, [&] { s.trigger(kAppAbout); }));
        QCOMPARE(s.choices.beeps, 1);  // the first one could not be opened
        QCOMPARE(s.choices.openedUrls, QList<QUrl>(2, QUrl(AboutDialog::kDiscussionAddress)));
    }

    void printPrintsTheViewsPage() {
        Session s;
        CGridwrightView& view = *s.window.activeView();
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
            s.trigger(kFilePrint);
        }
        QVERIFY(QFileInfo(m_dir.filePath("printed.pdf")).size() > 10000);
        QCOMPARE(s.choices.messages.size(), 1);
        QCOMPARE(s.choices.messages[0].text, QString("The page could not be printed."));

        int pages = -1;
        QVERIFY(WorkModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* preview) {
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->reject();
        }, [&] { s.trigger(kFilePrintPreview); }));
        QCOMPARE(pages, 1);
        QVERIFY(WorkModal<QPageSetupDialog>(&QDialog::reject, [&] { s.trigger(kFilePrintSetup); }));
    }

    void everyMenuEntryHasItsOwnAccessKey() {
        Session s;
        QStringList menus;
        for (QAction* menu : s.window.menuBar()->actions()) {
            menus << menu->text();
            QStringList entries;
            for (QAction* entry : menu->menu()->actions()) {
                if (!entry->isSeparator() && entry->isVisible()) entries << entry->text();
            }
            QVERIFY2(UniqueAccessKeys(entries), qPrintable(entries.join(", ")));
        }
        QVERIFY2(UniqueAccessKeys(menus), qPrintable(menus.join(", ")));
    }

    void f1OpensTheHelpAtTheTopicOfWhatHasTheFocus() {
        Session s(false);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&s.window));
        QTest::keyClick(&s.window, Qt::Key_F1);
        QVERIFY(OpenHelpWindow());
        QCOMPARE(OpenHelpWindow()->currentTopic(), help_topic::kIndex);
        QVERIFY(s.window.OpenFile(SampleHeader()).ok());
        s.trigger(kHelp);
        QCOMPARE(OpenHelpWindow()->currentTopic(), help_topic::kTheaterForm);
        QString topic;
        AnswerNextModal<QDialog>([&](QDialog* dialog) {
            QTest::keyClick(dialog, Qt::Key_F1);
            if (HelpWindow* help = OpenHelpWindow(); help && help->parentWidget() == dialog) topic = help->currentTopic();
            dialog->reject();
        });
        s.trigger(kHeightData);
        QCOMPARE(topic, help_topic::kHeightData);
        QVERIFY(s.choices.messages.isEmpty());
        QVERIFY(!ShowHelp(nullptr, s.choices, help_topic::kIndex, {"/nonexistent/manual"}));
        QVERIFY(s.choices.messages.value(0).text.contains("/nonexistent/manual"));

        // Back, Forward and Contents move through the pages shown.
        HelpWindow help(FindManual(ManualSearchPaths()));
        help.showTopic(help_topic::kIndex);
        help.browser()->setSource(help.browser()->source().resolved(QUrl("command-line.html")));
        for (const auto& [action, shown] : {std::pair{"helpBackAction", help_topic::kIndex},
                                            {"helpForwardAction", QString("command-line.html")},
                                            {"helpHomeAction", help_topic::kIndex}}) {
            help.findChild<QAction*>(action)->trigger();
            QCOMPARE(help.currentTopic(), shown);
        }
        help.show();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        QTest::keyClick(&help, Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::ShellTest)
#include "ShellTest.moc"
