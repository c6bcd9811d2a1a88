#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/RecentFiles.h"
#include "gui/common/GuiDocument.h"
#include "gui/layout/GridwrightView.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace gw::test {
namespace {

using namespace command;

QStringList ShownFileItems(const QMainWindow& window) {
    QStringList items;
    QMenu* file = window.menuBar()->actions().front()->menu();
    for (QAction* item : file->actions()) {
        if (item->isVisible() && !item->isSeparator()) items << item->text();
    }
    return items;
}

}  // namespace

// The File menu's recent files, New and Save, and the headers of the command line.
class RecentFilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QVERIFY(m_dems.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        for (const char* name : {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel"}) {
            m_headers.append(QFileInfo(WriteFlatDem(QDir(m_dems.path()), name, 10, 11, 43, 42, 8, 8)).absoluteFilePath());
        }
    }

    void init() { QSettings("Orvane", "Gridwright").remove("RecentFiles"); }

    void anEmptyListShowsTheDisabledPlaceholder() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.recentFiles().isEmpty());
        QVERIFY(ShownFileItems(window).contains("Recent File"));
        QVERIFY(!window.action(kRecentFile)->isEnabled());
    }

    void theListOutlivesARestart() {
        {
            ScriptedChoices choices;
            MainWindow window(choices);
            QVERIFY(window.OpenFile(m_headers[0]).ok());
            QVERIFY(window.OpenFile(m_headers[1]).ok());
            window.close();
        }
        ScriptedChoices choices;
        MainWindow window(choices);
        QCOMPARE(window.recentFiles(), QStringList({m_headers[1], m_headers[0]}));
        const QStringList items = ShownFileItems(window);
        QVERIFY2(items.contains("&1 " + m_headers[1]), qPrintable(items.join('|')));
        QVERIFY(items.contains("&2 " + m_headers[0]));
        QVERIFY(!items.contains("Recent File"));
        QVERIFY(window.action(kRecentFile + 1)->isEnabled());
        QVERIFY(!window.action(kRecentFile + 2)->isEnabled());
    }

    void theListIsWrittenWhenItChanges() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(m_headers[2]).ok());
        RecentFileList stored;
        stored.Read();
        QCOMPARE(stored.files(), QStringList({m_headers[2]}));
    }

    void theListHoldsTheSevenNewest() {
        ScriptedChoices choices;
        MainWindow window(choices);
        for (const QString& header : m_headers) QVERIFY(window.OpenFile(header).ok());
        QVERIFY(window.OpenFile(m_headers[3]).ok());  // already open: it moves to the top
        QStringList expected = {m_headers[3], m_headers[7], m_headers[6], m_headers[5],
                                m_headers[4], m_headers[2], m_headers[1]};
        QCOMPARE(window.recentFiles(), expected);
        for (int i = 0; i < kRecentFileCount; ++i) QVERIFY(window.action(kRecentFile + i)->isVisible());
    }

    void anEntryOpensItsHeader() {
        {
            ScriptedChoices choices;
            MainWindow window(choices);
            QVERIFY(window.OpenFile(m_headers[0]).ok());
            QVERIFY(window.OpenFile(m_headers[1]).ok());
        }
        ScriptedChoices choices;
        MainWindow window(choices);
        window.action(kRecentFile + 1)->trigger();
        QVERIFY(window.activeView());
        QCOMPARE(window.activeView()->document()->path(), m_headers[0]);
        QCOMPARE(window.recentFiles(), QStringList({m_headers[0], m_headers[1]}));
        QVERIFY(choices.messages.isEmpty());
    }

    void anEntryThatFailsToOpenLeavesTheList() {
        QTemporaryDir dir;
        const QString doomed = QFileInfo(WriteFlatDem(QDir(dir.path()), "doomed", 10, 11, 43, 42)).absoluteFilePath();
        {
            ScriptedChoices choices;
            MainWindow window(choices);
            QVERIFY(window.OpenFile(m_headers[0]).ok());
            QVERIFY(window.OpenFile(doomed).ok());
        }
        QVERIFY(QFile::remove(doomed));
        ScriptedChoices choices;
        MainWindow window(choices);
        const Status expected = MainWindow(choices).OpenFile(doomed);
        QVERIFY(!expected.ok());
        window.action(kRecentFile)->trigger();
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(choices.messages.size(), 1);
        QCOMPARE(choices.messages.front().text, QString::fromStdString(expected.message()));
        QCOMPARE(window.recentFiles(), QStringList({m_headers[0]}));
        RecentFileList stored;
        stored.Read();
        QCOMPARE(stored.files(), QStringList({m_headers[0]}));
    }

    void theCommandLineOpensEveryHeader() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFiles({m_headers[0], m_headers[1]}).ok());
        QCOMPARE(window.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(window.documents().documents().size(), 2);
    }

    void theCommandLineStopsAtAHeaderThatFails() {
        ScriptedChoices choices;
        MainWindow window(choices);
        const Status opened = window.OpenFiles({m_headers[0], m_dems.filePath("missing.hdr")});
        QVERIFY(!opened.ok());
        QVERIFY(QString::fromStdString(opened.message()).contains("missing.hdr"));
    }

    // The document has no saved form and an empty one shows nothing: New and Save do
    // nothing.
    void newAndSaveDoNothing() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
        QVERIFY(window.OpenFile(m_headers[0]).ok());
        const QByteArray header = [&] {
            QFile file(m_headers[0]);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(window.mdiArea()->subWindowList().size(), 1);
        QFile file(m_headers[0]);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), header);
        QVERIFY(choices.messages.isEmpty());
    }

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_dems;
    QStringList m_headers;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::RecentFilesTest)
#include "RecentFilesTest.moc"
