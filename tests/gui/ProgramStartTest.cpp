#include "GuiTestData.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace gw::test {

// gridwright started from the command line.
class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void aHeaderThatCannotBeOpenedEndsTheProgram() {
        QTemporaryDir dir;
        const QString header = dir.filePath("broken.hdr");
        WriteText(header, "this is no DEM header\n");
        QProcess program;
        program.start(GRIDWRIGHT_GUI, {header});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString error = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(error.contains("gridwright: ") && error.contains("broken.hdr"), qPrintable(error));
    }

    void aMissingHeaderEndsTheProgram() {
        QProcess program;
        program.start(GRIDWRIGHT_GUI, {"/nonexistent/dem.hdr"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains("/nonexistent/dem.hdr"));
    }

    void aFailingHeaderAfterAGoodOneEndsTheProgram() {
        QTemporaryDir dir;
        const QString header = dir.filePath("broken.hdr");
        WriteText(header, "this is no DEM header\n");
        QProcess program;
        program.start(GRIDWRIGHT_GUI, {SampleHeader(), header});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(program.readAllStandardError()).contains("broken.hdr"));
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::ProgramStartTest)
#include "ProgramStartTest.moc"
