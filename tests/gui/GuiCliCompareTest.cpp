#include "tests/gui/GuiTestSupport.h"

namespace gw::test {

// The desktop program and gridwright-cli write the same files for the same choices.
class GuiCliCompareTest : public QObject {
    Q_OBJECT
private slots:
    void fullGenerateWritesTheSameBytes() {
        if (SharedDataDir().empty()) QSKIP("the shared test data is absent");
        QCoreApplication::setOrganizationName("Orvane");
        QCoreApplication::setApplicationName("Gridwright");
        QSettings().remove("E00FileRules");  // the built-in rules, as --builtin-rules gives
        const QString dem = SharedData("dem/fr_it_etopo2.hdr");
        const QString palette = SharedData("palette/jasc256.pal");
        QStringList e00;
        for (const char* name : {"aepoint", "dnnet", "ponet", "pppoint"}) e00 << SharedData("e00/dcw/") + name + ".e00";
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("gui") && QDir(dir.path()).mkdir("cli"));

        ScriptedChoices choices;
        MainWindow window(choices);
        QVERIFY(window.OpenFile(dem).ok());
        choices.files = {e00, {dir.filePath("gui/theater.l2")}, {palette}};
        window.action(kLoadE00File)->trigger();
        choices.buildOptions = [](BuildOptions& options) { options.map = options.objectives = true; };
        window.action(kGenerateTerrain)->trigger();
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
            QByteArray files[2];
            for (int i = 0; i < 2; ++i) {
                QFile file(dir.filePath((i ? "cli/" : "gui/") + name));
                QVERIFY(file.open(QIODevice::ReadOnly));
                files[i] = file.readAll();
                // The objectives file's first line holds the time of the run.
                if (name.endsWith("-obj.csv")) files[i] = files[i].mid(files[i].indexOf('\n') + 1);
            }
            QVERIFY2(!files[0].isEmpty() && files[0] == files[1], qPrintable(name));
        }
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::GuiCliCompareTest)
#include "GuiCliCompareTest.moc"
