#include "tests/gui/GuiTestSupport.h"

namespace gw::test {

// The desktop program and gridwright-cli write the same files for the same choices.
class GuiCliCompareTest : public QObject {
    Q_OBJECT

    // The folders hold the same files with the same bytes, the objectives file's first
    // line (the time of the run) aside.
    static void compareFolders(const QString& a, const QString& b) {
        const QStringList written = QDir(a).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, QDir(b).entryList(QDir::Files, QDir::Name));
        for (const QString& name : written) {
            QByteArray files[2];
            for (int i = 0; i < 2; ++i) {
                QFile file((i ? b : a) + '/' + name);
                QVERIFY(file.open(QIODevice::ReadOnly));
                files[i] = file.readAll();
                if (name.endsWith("-obj.csv")) files[i] = files[i].mid(files[i].indexOf('\n') + 1);
            }
            QVERIFY2(!files[0].isEmpty() && files[0] == files[1], qPrintable(name));
        }
    }

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
        for (const char* expected : {"theater.l2", "theater.o2", "theater.txt", "theater.map", "theater.mea",
                                     "theater-obj.csv", "theater-RIVER.tdf"}) {
            QVERIFY2(written.contains(expected), expected);
        }
        compareFolders(dir.filePath("gui"), dir.filePath("cli"));
    }

    // A theater saved by the program builds on the command line as the program generated
    // it, and generates so again once reopened.
    void savedTheaterBuildsAsGenerated() {
        QCoreApplication::setOrganizationName("Orvane");
        QCoreApplication::setApplicationName("Gridwright");
        QSettings().remove("E00FileRules");
        QTemporaryDir dir;
        for (const char* folder : {"gui", "cli", "again"}) QVERIFY(QDir(dir.path()).mkdir(folder));
        const QString rivers = dir.filePath("rivers.e00"), towns = dir.filePath("towns.geojson");
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/X/DNNET.E00", {{{14, 44}, {14.1, 44.1}}})));
        WriteText(towns, R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {},
                          "geometry": {"type": "Point", "coordinates": [14.05, 43.95]}}]})");
        const QString project = dir.filePath("t.gwtheater");
        const QString palette = QString::fromStdString(SampleDir() + "/coast.pal");
        {
            Session session;
            CGridwrightView* view = session.window.activeView();
            session.choices.files = {{rivers}};
            session.trigger(kLoadE00File);
            session.choices.files = {{towns}};
            session.choices.rulesChosen = {4};  // AIRPORT
            session.trigger(kLoadVectorData);
            // The second rules file keeps the first one's BaseId.
            WriteText(dir.filePath("first.obr"), "BaseId 900\nType Airport\nPriority 40\nIds 1779\n");
            WriteText(dir.filePath("second.obr"), "Type Airport\nPriority 40\nIds 1779\n");
            session.choices.files = {{dir.filePath("first.obr")}, {dir.filePath("second.obr")}};
            session.trigger(kLoadObjectiveRules);
            session.trigger(kLoadObjectiveRules);
            ProjectLayout layout = LayoutValues(view->layout(), false);
            layout.segmentsX = layout.segmentsY = 8;
            layout.centerLat = 44.01;
            view->setLayoutValues(layout);
            view->setHeights(HeightTable({{500, Rgb(1, 2, 3), 5}, {32767, Rgb(4, 5, 6), 694}}));
            session.choices.buildOptions = [](BuildOptions& options) { options.map = options.objectives = options.large = true; };
            session.choices.files = {{dir.filePath("gui/t.l2")}, {palette}, {project}};
            session.trigger(kGenerateTerrain);
            session.trigger(kFileSave);
            QVERIFY2(session.choices.messages.isEmpty(), qPrintable(session.choices.messages.value(0).text));
            QCOMPARE(session.window.windowTitle(), QString("Gridwright - t.gwtheater"));
        }
        const CommandResult cli = RunCli("build '" + project.toStdString() + "' --quiet --output '" +
                                         dir.filePath("cli/t.l2").toStdString() + "'");
        QVERIFY2(cli.status == 0, cli.err.c_str());
        QCOMPARE(QDir(dir.filePath("cli")).entryList(QDir::Files).size(), 8);
        compareFolders(dir.filePath("gui"), dir.filePath("cli"));

        Session reopened(false);
        QVERIFY(reopened.window.OpenFile(project).ok());
        QCOMPARE(reopened.window.windowTitle(), QString("Gridwright - t.gwtheater"));
        reopened.choices.buildOptions = [](BuildOptions&) {};
        reopened.choices.files = {{dir.filePath("again/t.l2")}, {palette}};
        reopened.trigger(kGenerateTerrain);
        QCOMPARE(reopened.choices.fileQuestions.value(0).initial, dir.filePath("gui/t.l2"));
        compareFolders(dir.filePath("again"), dir.filePath("cli"));

        // Opening it beside windows whose features follow other rules would relabel them.
        DocumentManager& documents = reopened.window.documents();
        E00Rules fewer = documents.rules();
        fewer.pop_back();
        documents.ReplaceRules(fewer, RenumberingByEquality(documents.rules(), fewer));
        QVERIFY(Has(reopened.window.OpenFile(project).message(), "t.gwtheater was saved with E00 rules other than"));

        // A layer that no longer loads leaves the reopened theater marked: saved, it would go.
        WriteText(rivers, "not an export file");
        Session broken(false);
        QVERIFY(broken.window.OpenFile(project).ok());
        QCOMPARE(broken.window.windowTitle(), QString("Gridwright - t.gwtheater*"));
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::GuiCliCompareTest)
#include "GuiCliCompareTest.moc"
