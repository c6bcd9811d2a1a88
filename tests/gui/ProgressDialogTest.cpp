#include "tests/gui/GuiTestData.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/common/GuiDocument.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/ProgressDialog.h"
#include "core/features/E00Rules.h"
#include "tests/features/E00Text.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace gw::test {
namespace {

QString Percent(const ProgressDialog& dialog) { return dialog.findChild<QLabel*>("percentText")->text(); }
QPushButton* CancelButton(const ProgressDialog& dialog) { return dialog.findChild<QPushButton*>("cancelButton"); }

}  // namespace

class ProgressDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { g_e00Rules = BuiltInE00Rules(); }

    void showsTitleStatusAndPercentage() {
        QMainWindow owner;
        ProgressDialog dialog(&owner);
        dialog.Create();
        QCOMPARE(dialog.windowTitle(), QString("Please Wait"));
        QCOMPARE(Percent(dialog), QString(" 0 %"));
        dialog.SetStatus("Generating L2 file");
        QCOMPARE(dialog.findChild<QLabel*>("statusLine")->text(), QString("Generating L2 file"));
        QCOMPARE(dialog.SetPos(0), 0);
        QCOMPARE(Percent(dialog), QString("0%"));
    }

    void percentageFollowsTheSteps() {
        QMainWindow owner;
        ProgressDialog dialog(&owner);
        dialog.Create();
        dialog.SetRange(0, 16);
        dialog.SetStep(1);
        for (int i = 0; i < 8; ++i) dialog.StepIt();
        QCOMPARE(Percent(dialog), QString("50%"));
        QCOMPARE(dialog.findChild<QProgressBar*>("progressBar")->value(), 8);
        for (int i = 0; i < 8; ++i) dialog.StepIt();
        QCOMPARE(Percent(dialog), QString("100%"));
        QCOMPARE(dialog.StepIt(), 16);
        QCOMPARE(Percent(dialog), QString("6%"));
        QCOMPARE(dialog.findChild<QProgressBar*>("progressBar")->value(), 0);
    }

    void ownerIsDisabledWhileTheDialogIsUp() {
        QMainWindow owner;
        owner.show();
        {
            ProgressDialog dialog(&owner);
            dialog.Create();
            QVERIFY(!owner.isEnabled());
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.isEnabled());
            QVERIFY(!dialog.isModal());
        }
        QVERIFY(owner.isEnabled());

        // An owner that was disabled already stays so.
        owner.setEnabled(false);
        {
            ProgressDialog dialog(&owner);
            dialog.Create();
            dialog.DestroyWindow();
        }
        QVERIFY(!owner.isEnabled());
    }

    void enterNeitherClosesNorCancels() {
        QMainWindow owner;
        ProgressDialog dialog(&owner);
        dialog.Create();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.CheckCancelButton());
    }

    void cancelEscapeAndCloseBoxOnlyRaiseTheFlag() {
        QMainWindow owner;
        ProgressDialog dialog(&owner);
        dialog.Create();
        QTest::mouseClick(CancelButton(dialog), Qt::LeftButton);
        QTest::mouseClick(CancelButton(dialog), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.CheckCancelButton());
        QVERIFY2(!dialog.CheckCancelButton(), "two presses before a poll are one");
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.CheckCancelButton());
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.CheckCancelButton());
    }

    void confirmCancelAsksAndNoGoesOn() {
        QMainWindow owner;
        ProgressDialog dialog(&owner);
        dialog.Create();
        ScriptedChoices choices;
        GuiPrompts prompts(choices, &dialog);
        QVERIFY(!ConfirmCancel(dialog, prompts));
        QVERIFY(choices.questions.isEmpty());

        choices.yesNo = {false, true};
        QTest::mouseClick(CancelButton(dialog), Qt::LeftButton);
        QVERIFY2(!ConfirmCancel(dialog, prompts), "No goes on");
        QCOMPARE(choices.questions, QStringList({"Cancel?"}));
        QVERIFY2(!ConfirmCancel(dialog, prompts), "the press was consumed");
        QTest::mouseClick(CancelButton(dialog), Qt::LeftButton);
        QVERIFY2(ConfirmCancel(dialog, prompts), "Yes ends the job");
        QCOMPARE(choices.questions, QStringList({"Cancel?", "Cancel?"}));
    }

    void cancelDuringAJobIsSeenQuickly() {
        QMainWindow owner;
        owner.show();
        ProgressDialog dialog(&owner);
        dialog.Create();
        dialog.SetRange(0, 1000000);
        dialog.SetStep(1);
        QElapsedTimer sincePress;
        QTimer::singleShot(50, &dialog, [&] {
            CancelButton(dialog)->click();
            sincePress.start();
        });
        QElapsedTimer running;
        running.start();
        bool seen = false;
        while (!seen && running.elapsed() < 5000) {
            dialog.StepIt();
            seen = dialog.CheckCancelButton();
        }
        QVERIFY(seen);
        QVERIFY2(sincePress.elapsed() < 200, qPrintable(QString::number(sincePress.elapsed())));
    }

    void yesEndsOnlyThatFilesLoading() {
        QTemporaryDir dir;
        const auto coverage = [&](const QString& name, int arcs) {
            std::vector<std::vector<std::pair<double, double>>> lines;
            for (int i = 0; i < arcs; ++i) lines.push_back({{11.0, 42.0 + i * 0.001}, {12.0, 43.0}});
            const QString path = dir.filePath(name);
            WriteText(path, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", lines)));
            return path;
        };
        const QString first = coverage("first.e00", 50);
        const QString second = coverage("second.e00", 40);
        GuiDocument document;
        QVERIFY(document.Open(SampleHeader()).ok());
        QMainWindow owner;
        ProgressDialog dialog(&owner);
        dialog.Create();
        ScriptedChoices choices;
        choices.yesNo = {true};
        GuiPrompts prompts(choices, &dialog);
        QTest::mouseClick(CancelButton(dialog), Qt::LeftButton);
        const std::vector<E00LoadReport> reports = document.LoadE00Files({first, second}, dialog, prompts);
        QCOMPARE(choices.questions, QStringList({"Cancel?"}));
        QCOMPARE(reports.size(), std::size_t{2});
        QVERIFY(reports[0].processed.IsCancelled());
        QCOMPARE(reports[0].featuresAdded, std::size_t{1});
        QVERIFY(!reports[1].processed.IsCancelled());
        QCOMPARE(reports[1].featuresAdded, std::size_t{40});
        QCOMPARE(document.doc().features().size(), std::size_t{41});
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::ProgressDialogTest)
#include "ProgressDialogTest.moc"
