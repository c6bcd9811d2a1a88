#include "tests/gui/GuiTestData.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
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

    // Each header opened goes to the top of the recent-file list, which is written at
    // once: the program's settings show that both were opened.
    void everyHeaderNamedIsOpened() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QStringList headers;
        for (const QString name : {"first", "second"}) {
            QVERIFY(QFile::copy(SampleHeader(), dir.filePath(name + ".hdr")));
            QVERIFY(QFile::copy(GRIDWRIGHT_SAMPLE_DIR "/coast.bin", dir.filePath(name + ".bin")));
            headers.append(QFileInfo(dir.filePath(name + ".hdr")).absoluteFilePath());
        }
        const QString& first = headers[0];
        const QString& second = headers[1];
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        program.setProcessEnvironment(environment);
        program.start(GRIDWRIGHT_GUI, {first, second});
        QVERIFY(program.waitForStarted());
        const auto recent = [&dir] {
            QSettings settings(dir.filePath("config/Orvane/Gridwright.conf"), QSettings::IniFormat);
            return QStringList({settings.value("RecentFiles/File1").toString(),
                                settings.value("RecentFiles/File2").toString()});
        };
        QTRY_COMPARE_WITH_TIMEOUT(recent(), QStringList({second, first}), 30000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        QVERIFY(program.waitForFinished(30000));
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
