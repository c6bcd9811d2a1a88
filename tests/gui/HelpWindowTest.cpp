#include "tests/gui/GuiTestData.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/MainWindow.h"
#include "gui/features/E00RuleChoiceDialog.h"
#include "gui/features/ImportDemDialog.h"
#include "gui/help/HelpWindow.h"
#include "gui/layout/GridwrightView.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <QTextBrowser>
#include <QtTest>

namespace gw::test {
namespace {

const QString kManual = QStringLiteral(GRIDWRIGHT_SOURCE_MANUAL);

QStringList Pages() { return QDir(kManual).entryList({"*.html"}, QDir::Files, QDir::Name); }

QString ReadPage(const QString& name) {
    QFile file(QDir(kManual).filePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// The ids and names that a page's #anchors can point at.
QStringList AnchorsOf(const QString& html) {
    QStringList anchors;
    static const QRegularExpression pattern(QStringLiteral("\\b(?:id|name)\\s*=\\s*\"([^\"]*)\""));
    for (const QRegularExpressionMatch& match : pattern.globalMatch(html)) anchors << match.captured(1);
    return anchors;
}

// The help window that ShowHelp made, if it is up.
HelpWindow* OpenHelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<HelpWindow*>(widget); help && help->isVisible()) return help;
    }
    return nullptr;
}

}  // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theManualIsThere() {
        QVERIFY(Pages().contains("index.html"));
        for (const char* page : {"getting-started.html", "theater-form.html", "generating.html", "e00-files.html",
                                 "height-data.html", "objective-rules.html", "command-line.html",
                                 "output-files.html"}) {
            QVERIFY2(Pages().contains(page), page);
        }
        QCOMPARE(FindManual({"/nonexistent/manual", kManual}), kManual);
    }

    void everyPageLoads() {
        HelpWindow window(kManual);
        QCOMPARE(window.windowTitle(), QString("Gridwright Help"));
        for (const QString& page : Pages()) {
            window.showTopic(page);
            QCOMPARE(window.currentTopic(), page);
            QVERIFY2(window.browser()->toPlainText().trimmed().size() > 100, qPrintable(page));
            QVERIFY2(!window.browser()->documentTitle().isEmpty(), qPrintable(page));
        }
    }

    void everyLinkResolves() {
        static const QRegularExpression link(QStringLiteral("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\""));
        int checked = 0;
        for (const QString& page : Pages()) {
            const QString html = ReadPage(page);
            QVERIFY2(!html.contains("<script", Qt::CaseInsensitive), qPrintable(page));
            for (const QRegularExpressionMatch& match : link.globalMatch(html)) {
                const QString target = match.captured(1);
                const QString where = page + ": " + target;
                QVERIFY2(!target.isEmpty(), qPrintable(where));
                if (QUrl(target).scheme() == "http" || QUrl(target).scheme() == "https") continue;
                QVERIFY2(QUrl(target).scheme().isEmpty(), qPrintable(where));
                const qsizetype hash = target.indexOf('#');
                const QString file = hash < 0 ? target : target.left(hash);
                const QString targetPage = file.isEmpty() ? page : file;
                QVERIFY2(QFileInfo(QDir(kManual).filePath(targetPage)).isFile(), qPrintable(where));
                if (hash >= 0) {
                    QVERIFY2(AnchorsOf(ReadPage(targetPage)).contains(target.mid(hash + 1)), qPrintable(where));
                }
                ++checked;
            }
        }
        QVERIFY(checked > 50);
    }

    void anchorsScrollToTheirPlace() {
        HelpWindow window(kManual);
        window.resize(600, 300);
        window.show();
        window.showTopic("output-files.html#obj");
        QCOMPARE(window.currentTopic(), QString("output-files.html#obj"));
        QTRY_VERIFY(window.browser()->verticalScrollBar()->value() > 0);
    }

    void backForwardAndContents() {
        HelpWindow window(kManual);
        window.show();
        auto* back = window.findChild<QAction*>("helpBackAction");
        auto* forward = window.findChild<QAction*>("helpForwardAction");
        auto* home = window.findChild<QAction*>("helpHomeAction");
        QVERIFY(back && forward && home);
        window.showTopic("index.html");
        QVERIFY(!back->isEnabled());
        // As a click on a link does: relative to the page shown.
        window.browser()->setSource(window.browser()->source().resolved(QUrl("command-line.html")));
        QCOMPARE(window.currentTopic(), QString("command-line.html"));
        QVERIFY(back->isEnabled());
        back->trigger();
        QCOMPARE(window.currentTopic(), QString("index.html"));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QCOMPARE(window.currentTopic(), QString("command-line.html"));
        home->trigger();
        QCOMPARE(window.currentTopic(), QString("index.html"));
    }

    void aMissingManualSaysWhereItWasLookedFor() {
        ScriptedChoices choices;
        QVERIFY(!ShowHelp(nullptr, choices, help_topic::kIndex, {"/nonexistent/share/gridwright/manual", "/nowhere"}));
        QCOMPARE(choices.messages.size(), 1);
        QVERIFY(choices.messages[0].text.contains("/nonexistent/share/gridwright/manual"));
        QVERIFY(choices.messages[0].text.contains("/nowhere"));
        QCOMPARE(choices.messages[0].kind, UserChoices::MessageKind::kWarning);
    }

    void theInstalledPlaceIsLookedAtFirst() {
        const QStringList paths = ManualSearchPaths();
        QVERIFY(paths.size() >= 2);
        QCOMPARE(paths.front(),
                 QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/gridwright/manual"));
        QCOMPARE(FindManual(paths), QDir::cleanPath(kManual));
    }

    void f1WithoutADocumentOpensTheIndex() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QAction* help = window.action(command::kHelp);
        QVERIFY(help->isEnabled());
        QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
        QTest::keyClick(&window, Qt::Key_F1);
        HelpWindow* helpWindow = OpenHelpWindow();
        QVERIFY(helpWindow);
        QCOMPARE(helpWindow->currentTopic(), QString("index.html"));
        QCOMPARE(helpWindow->windowTitle(), QString("Gridwright Help"));
        QVERIFY(choices.messages.isEmpty());
    }

    void f1WithADocumentOpensTheTheaterForm() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(window.action(command::kHelp)->isEnabled());
        QTest::keyClick(window.activeView(), Qt::Key_F1);
        HelpWindow* helpWindow = OpenHelpWindow();
        QVERIFY(helpWindow);
        QCOMPARE(helpWindow->currentTopic(), QString("theater-form.html"));
        // Help... on the menu does the same, and the one window is reused.
        helpWindow->showTopic("index.html");
        window.action(command::kHelp)->trigger();
        QCOMPARE(OpenHelpWindow(), helpWindow);
        QCOMPARE(helpWindow->currentTopic(), QString("theater-form.html"));
    }

    void f1InADialogOpensTheDialogsTopic() {
        ScriptedChoices choices;
        MainWindow window(choices);
        window.show();
        QVERIFY(window.OpenFile(SampleHeader()).ok());
        QString topic;
        bool usable = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::keyClick(dialog, Qt::Key_F1);
            if (HelpWindow* help = OpenHelpWindow()) {
                topic = help->currentTopic();
                // A window of the dialog's, so the modal dialog does not block it.
                usable = help->parentWidget() == dialog && help->isVisible();
            }
            dialog->reject();
        });
        window.action(command::kHeightData)->trigger();
        QCOMPARE(topic, help_topic::kHeightData);
        QVERIFY(usable);
        QVERIFY(choices.messages.isEmpty());
    }

    void dialogsHaveTopicsOfTheirOwn() {
        QCOMPARE(HelpTopicFor(nullptr, false), help_topic::kIndex);
        QCOMPARE(HelpTopicFor(nullptr, true), help_topic::kTheaterForm);
        QWidget plain;
        QCOMPARE(HelpTopicFor(&plain, true), help_topic::kTheaterForm);
        ScriptedChoices choices;
        ImportDemDialog importDem(choices);
        QCOMPARE(HelpTopicFor(&importDem, true), help_topic::kImportDem);
        E00RuleChoiceDialog ruleChoice("places", "places.geojson", BuiltInE00Rules());
        QCOMPARE(HelpTopicFor(&ruleChoice, true), help_topic::kE00RuleChoice);
        for (const QString& topic : {help_topic::kBuildOptions, help_topic::kE00RulesEditor, help_topic::kHeightData,
                                     help_topic::kPreviewSize, help_topic::kProgress, help_topic::kImportDem,
                                     help_topic::kE00RuleChoice}) {
            HelpWindow window(kManual);
            window.showTopic(topic);
            QCOMPARE(window.currentTopic(), topic);
        }
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::HelpWindowTest)
#include "HelpWindowTest.moc"
