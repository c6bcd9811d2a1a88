#include "tests/gui/GuiTestSupport.h"
#include "gui/shell/CommandIds.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "gui/layout/GridwrightView.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace gw::test {
namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The objectives file from its second line: the first one holds the time of the run.
QByteArray AfterFirstLine(const QByteArray& bytes) { return bytes.mid(bytes.indexOf('\n') + 1); }

}  // namespace

// The desktop program and gridwright-cli write the same files for the same choices.
class GuiCliCompareTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("Orvane");
        QCoreApplication::setApplicationName("Gridwright");
        QSettings().remove("E00FileRules");  // the built-in rules, as --builtin-rules gives
    }

    void fullGenerateWritesTheSameBytes() {
        if (SharedDataDir().empty()) QSKIP("the shared test data is absent");
        const QString data = QString::fromStdString(SharedDataDir());
        const QString dem = data + "/dem/fr_it_etopo2.hdr";
        const QString palette = data + "/palette/jasc256.pal";
        QStringList e00;
        for (const char* name : {"aepoint", "dnnet", "ponet", "pppoint"}) e00 << data + "/e00/dcw/" + name + ".e00";
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("gui") && QDir(dir.path()).mkdir("cli"));

        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(dem).ok());
        choices.files = {e00};
        window.action(command::kLoadE00File)->trigger();
        QVERIFY(choices.messages.isEmpty());
        QVERIFY(!window.activeView()->document()->doc().features().empty());
        choices.buildOptions = [](BuildOptions& options) {
            options.map = true;
            options.objectives = true;
        };
        choices.files = {{dir.filePath("gui/theater.l2")}, {palette}};
        window.action(command::kGenerateTerrain)->trigger();
        QVERIFY2(choices.messages.isEmpty(), qPrintable(choices.messages.value(0).text));

        QString command = QString("'%1' generate '%2' '%3' --map '%4' --objectives --builtin-rules --quiet")
                              .arg(QString::fromStdString(CliPath()), dem, dir.filePath("cli/theater.l2"), palette);
        for (const QString& file : e00) command += " --e00 '" + file + "'";
        const CommandResult cli = RunCommand(command.toStdString());
        QVERIFY2(cli.status == 0, cli.err.c_str());

        const QStringList written = QDir(dir.filePath("gui")).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, QDir(dir.filePath("cli")).entryList(QDir::Files, QDir::Name));
        for (const char* expected : {"theater.l2", "theater.o2", "theater.txt", "theater.map", "theater.mea",
                                     "theater-obj.csv", "theater-RIVER.tdf"}) {
            QVERIFY2(written.contains(expected), expected);
        }
        for (const QString& name : written) {
            QByteArray gui = Contents(dir.filePath("gui/" + name));
            QByteArray cli = Contents(dir.filePath("cli/" + name));
            if (name.endsWith("-obj.csv")) {
                gui = AfterFirstLine(gui);
                cli = AfterFirstLine(cli);
            }
            QVERIFY2(!gui.isEmpty(), qPrintable(name));
            QVERIFY2(gui == cli, qPrintable(name));
        }
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::GuiCliCompareTest)
#include "GuiCliCompareTest.moc"
