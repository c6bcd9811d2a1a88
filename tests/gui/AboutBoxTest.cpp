#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/AboutDialog.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/MainWindow.h"
#include "gui/shell/StaticLink.h"
#include "tests/gui/GuiTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace gw::test {

// Help > About Gridwright and its link to the discussion page.
class AboutBoxTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheProgramsTexts() {
        ScriptedChoices choices;
        AboutDialog about(choices);
        QCOMPARE(about.windowTitle(), QString("About Gridwright"));
        QCOMPARE(about.findChild<QLabel*>("aboutVersion")->text(), QString("Gridwright Version 1.9"));
        QVERIFY(!about.findChild<QLabel*>("aboutPurpose")->text().isEmpty());
        QCOMPARE(about.findChild<QLabel*>("aboutDiscussionLabel")->text(), QString("Discussion at"));
        QVERIFY(!about.findChild<QLabel*>("aboutIcon")->pixmap().isNull());
        QCOMPARE(about.findChild<QPushButton*>("aboutOk")->text().remove('&'), QString("OK"));
        StaticLink* link = about.link();
        QCOMPARE(link->objectName(), QString("discussionLink"));
        QCOMPARE(link->text(), QString(AboutDialog::kDiscussionAddress));
    }

    void theLinkIsBlueUnderlinedWithTheHandCursor() {
        ScriptedChoices choices;
        AboutDialog about(choices);
        StaticLink* link = about.link();
        QCOMPARE(link->colour(), QColor(0, 0, 255));
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }

    void anOpenedLinkTurnsPurple() {
        ScriptedChoices choices;
        choices.urlOpens = {true};
        AboutDialog about(choices);
        about.show();
        QTest::mouseClick(about.link(), Qt::LeftButton);
        QCOMPARE(choices.openedUrls, QList<QUrl>({QUrl(AboutDialog::kDiscussionAddress)}));
        QCOMPARE(about.link()->colour(), QColor(128, 0, 128));
        QCOMPARE(about.link()->palette().color(QPalette::WindowText), QColor(128, 0, 128));
        QCOMPARE(choices.beeps, 0);
    }

    void aLinkThatCannotBeOpenedBeepsAndStaysBlue() {
        ScriptedChoices choices;
        choices.urlOpens = {false};
        AboutDialog about(choices);
        about.show();
        QTest::mouseClick(about.link(), Qt::LeftButton);
        QCOMPARE(choices.openedUrls.size(), 1);
        QCOMPARE(choices.beeps, 1);
        QCOMPARE(about.link()->colour(), QColor(0, 0, 255));
    }

    void theRightButtonOpensNothing() {
        ScriptedChoices choices;
        AboutDialog about(choices);
        about.show();
        QTest::mouseClick(about.link(), Qt::RightButton);
        QVERIFY(choices.openedUrls.isEmpty());
        QCOMPARE(choices.beeps, 0);
    }

    void theAboutCommandShowsTheBoxUntilOk() {
        ScriptedChoices choices;
        MainWindow window(choices);
        QAction* about = window.action(command::kAppAbout);
        QVERIFY(about->isEnabled());
        QString title;
        AnswerNextModal<AboutDialog>([&title](AboutDialog* box) {
            title = box->windowTitle();
            box->findChild<QPushButton*>("aboutOk")->click();
        });
        about->trigger();
        QCOMPARE(title, QString("About Gridwright"));
        QVERIFY(about->isEnabled());
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::AboutBoxTest)
#include "AboutBoxTest.moc"
