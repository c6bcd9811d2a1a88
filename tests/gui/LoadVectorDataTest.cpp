// Data > Load Vector Data as the user works it: layers of other formats loaded as the
// E00 files they were made from load, the rule asked for a layer no rule names (and a
// skipped layer), failures told by name; and the Choose E00 Rule dialog itself.

#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/shell/DialogChoices.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "gui/features/E00RuleChoiceDialog.h"
#include "gui/layout/GridwrightView.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>

namespace gw::test {
namespace {

using namespace command;

QString MessagesOf(const ScriptedChoices& choices) {
    QStringList texts;
    for (const ScriptedChoices::Message& message : choices.messages) texts << message.text;
    return texts.join(" | ");
}

const std::vector<Feature>& FeaturesOf(const MainWindow& window) {
    return window.activeView()->document()->doc().features();
}

QString FeaturesPane(const MainWindow& window) {
    return window.statusBar()->findChild<QLabel*>("featuresPane")->text();
}

// A name without the blanks an E00 text item is padded with (GDAL drops them on reading).
std::string Unpadded(std::string name) {
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// Whether two feature lists hold the same features, the points to within a millionth of a
// degree (the E00 text's precision), the names but for their padding.
bool SameFeatures(const std::vector<Feature>& a, const std::vector<Feature>& b, QString* difference) {
    if (a.size() != b.size()) {
        *difference = QString("%1 features against %2").arg(a.size()).arg(b.size());
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        bool same = a[i].ruleIndex == b[i].ruleIndex && Unpadded(a[i].name) == Unpadded(b[i].name) &&
                    a[i].type == b[i].type &&
                    a[i].points.size() == b[i].points.size();
        for (std::size_t p = 0; same && p < a[i].points.size(); ++p) {
            same = std::fabs(a[i].points[p].lat - b[i].points[p].lat) < 1e-6 &&
                   std::fabs(a[i].points[p].lon - b[i].points[p].lon) < 1e-6;
        }
        if (!same) {
            *difference = QString("feature %1: \"%2\" type %3 rule %4 against \"%5\" type %6 rule %7")
                              .arg(i)
                              .arg(QString::fromStdString(a[i].name))
                              .arg(a[i].type)
                              .arg(a[i].ruleIndex)
                              .arg(QString::fromStdString(b[i].name))
                              .arg(b[i].type)
                              .arg(b[i].ruleIndex);
            return false;
        }
    }
    return true;
}

}  // namespace

class LoadVectorDataTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void theRuleChoiceListsTheRulesByKeyword();
    void aLayerLoadsAsTheE00FileItCameFrom();
    void aLayerNoRuleNamesLoadsUnderTheRuleChosen();
    void failuresAreToldByName();
    void cancelEndsTheLayerItInterrupts();

private:
    bool haveData() const { return !m_named.isEmpty(); }
    // Opens the shared France-Italy DEM in window.
    bool OpenDem(MainWindow& window) const { return window.OpenFile(SharedData("dem/fr_it_etopo2.hdr")).ok(); }

    QTemporaryDir m_dir;
    // The places of the shared pppoint.e00 (layer LAB) as GeoJSON: under a name the LABEL
    // rule takes, under one no rule names, and as a shapefile that lost its coordinate
    // system. Empty when the shared data or ogr2ogr are missing.
    QString m_e00;
    QString m_named;
    QString m_unnamed;
    QString m_noSystem;
    // The unnamed places in a GeoPackage beside a table without geometry.
    QString m_withTable;
};

void LoadVectorDataTest::initTestCase() {
    QCoreApplication::setOrganizationName("Orvane");
    QCoreApplication::setApplicationName("Gridwright");
    QSettings("Orvane", "Gridwright").remove("E00FileRules");
    QVERIFY(m_dir.isValid());
    const QString e00 = SharedData("e00/dcw/pppoint.e00");
    if (!QFile::exists(e00) || !QFile::exists(SharedData("dem/fr_it_etopo2.hdr"))) return;
    const QString named = m_dir.filePath("pppoint.geojson");
    const QString unnamed = m_dir.filePath("places.geojson");
    QDir(m_dir.path()).mkdir("shp");
    const QString shapefile = m_dir.filePath("shp/pppoint.shp");
    if (!RunTool("ogr2ogr", {"-f", "GeoJSON", named, e00, "LAB"}) ||
        !RunTool("ogr2ogr", {"-f", "GeoJSON", "-nln", "places", unnamed, e00, "LAB"}) ||
        !RunTool("ogr2ogr", {"-f", "ESRI Shapefile", shapefile, e00, "LAB"})) {
        return;
    }
    const QString table = m_dir.filePath("notes.csv");
    WriteText(table, "note,count\nquiet,1\n");
    m_withTable = m_dir.filePath("with-table.gpkg");
    if (!RunTool("ogr2ogr", {"-f", "GPKG", m_withTable, unnamed}) ||
        !RunTool("ogr2ogr", {"-update", m_withTable, table, "-nln", "notes"})) {
        return;
    }
    QFile::remove(m_dir.filePath("shp/pppoint.prj"));
    m_e00 = e00;
    m_named = named;
    m_unnamed = unnamed;
    m_noSystem = shapefile;
}

void LoadVectorDataTest::theRuleChoiceListsTheRulesByKeyword() {
    DialogChoices choices;
    const E00Rules rules = BuiltInE00Rules();
    QStringList keywords, files, takes;
    QString question;
    bool loadEnabled = false;
    AnswerNextModal<E00RuleChoiceDialog>([&](E00RuleChoiceDialog* dialog) {
        question = dialog->findChild<QLabel*>("questionLabel")->text();
        for (int row = 0; row < dialog->ruleList()->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = dialog->ruleList()->topLevelItem(row);
            keywords << item->text(0);
            files << item->text(1);
            takes << item->text(2);
        }
        QCOMPARE(dialog->ruleList()->currentItem(), dialog->ruleList()->topLevelItem(0));
        dialog->ruleList()->setCurrentItem(dialog->ruleList()->topLevelItem(5));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(choices.ChooseE00Rule(nullptr, "places", "places.geojson", rules), std::optional<std::int32_t>(5));
    QCOMPARE(question, QString("No E00 rule names the layer \u201cplaces\u201d of places.geojson. Choose the rule to "
                               "load its features under, or skip the layer."));
    QCOMPARE(keywords, QStringList({"RIVER", "COAST", "CITY", "ROAD", "AIRPORT", "LABEL", "RAIL"}));
    QCOMPARE(files.value(5), QString("pppoint.e00"));
    QCOMPARE(takes, QStringList({"lines", "lines", "lines", "lines", "points", "points", "lines"}));

    // Skip chooses none; with no rule to choose, only Skip is left.
    AnswerNextModal<E00RuleChoiceDialog>([&](E00RuleChoiceDialog* dialog) {
        QCOMPARE(dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->text(),
                 QString("&Skip"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    QCOMPARE(choices.ChooseE00Rule(nullptr, "places", "places.geojson", rules), std::nullopt);
    AnswerNextModal<E00RuleChoiceDialog>([&](E00RuleChoiceDialog* dialog) {
        loadEnabled = dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->isEnabled();
        dialog->accept();
    });
    QCOMPARE(choices.ChooseE00Rule(nullptr, "places", "places.geojson", {}), std::nullopt);
    QVERIFY(!loadEnabled);
}

void LoadVectorDataTest::aLayerLoadsAsTheE00FileItCameFrom() {
    if (!haveData()) QSKIP("the shared data or ogr2ogr are missing");
    ScriptedChoices choices;
    MainWindow window(choices);
    QVERIFY(!window.action(kLoadVectorData)->isEnabled());
    QVERIFY(OpenDem(window));
    QVERIFY(window.action(kLoadVectorData)->isEnabled());
    choices.files = {{m_e00}};
    window.action(kLoadE00File)->trigger();
    const std::vector<Feature> fromE00 = FeaturesOf(window);
    QCOMPARE(fromE00.size(), std::size_t{899});
    window.action(kDeleteFeatures)->trigger();

    choices.files = {{m_named}};
    ProgressWatch progress;
    window.action(kLoadVectorData)->trigger();
    QCOMPARE(choices.fileQuestions.size(), 2);
    QCOMPARE(choices.fileQuestions[1].title, QString("Load Vector Data"));
    QVERIFY(choices.fileQuestions[1].filters.front().contains("*.geojson"));
    QCOMPARE(choices.fileQuestions[1].filters.back(), QString("All Files (*)"));
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));
    QVERIFY(choices.ruleQuestions.isEmpty());
    QVERIFY(progress.shown);
    QVERIFY(!QApplication::overrideCursor());
    QString difference;
    QVERIFY2(SameFeatures(FeaturesOf(window), fromE00, &difference), qPrintable(difference));
    QCOMPARE(FeaturesPane(window), QString("899 features"));
}

void LoadVectorDataTest::aLayerNoRuleNamesLoadsUnderTheRuleChosen() {
    if (!haveData()) QSKIP("the shared data or ogr2ogr are missing");
    ScriptedChoices choices;
    MainWindow window(choices);
    QVERIFY(OpenDem(window));

    // Skipped: nothing loads, and no job runs.
    choices.files = {{m_unnamed}};
    ProgressWatch skipped;
    window.action(kLoadVectorData)->trigger();
    QCOMPARE(choices.ruleQuestions.size(), 1);
    QCOMPARE(choices.ruleQuestions[0].layer, QString("places"));
    QCOMPARE(choices.ruleQuestions[0].file, QString("places.geojson"));
    QCOMPARE(choices.ruleQuestions[0].rules, g_e00Rules);
    QVERIFY(FeaturesOf(window).empty());
    QVERIFY(!skipped.shown);
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));

    // A table without geometry is not offered.
    choices.files = {{m_withTable}};
    window.action(kLoadVectorData)->trigger();
    QCOMPARE(choices.ruleQuestions.size(), 2);
    QCOMPARE(choices.ruleQuestions[1].layer, QString("places"));
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));

    // The LABEL rule chosen: the places load under it.
    const std::int32_t label = 5;
    QCOMPARE(g_e00Rules[label].Keyword, std::string("LABEL"));
    choices.files = {{m_unnamed}};
    choices.rulesChosen = {label};
    window.action(kLoadVectorData)->trigger();
    QCOMPARE(choices.ruleQuestions.size(), 3);
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));
    QCOMPARE(FeaturesOf(window).size(), std::size_t{899});
    for (const Feature& feature : FeaturesOf(window)) QCOMPARE(feature.ruleIndex, label);
    QCOMPARE(FeaturesPane(window), QString("899 features"));
}

void LoadVectorDataTest::failuresAreToldByName() {
    if (!haveData()) QSKIP("the shared data or ogr2ogr are missing");
    ScriptedChoices choices;
    MainWindow window(choices);
    QVERIFY(OpenDem(window));

    // A layer without a coordinate system fails, over the progress dialog.
    choices.files = {{m_noSystem}};
    window.action(kLoadVectorData)->trigger();
    QCOMPARE(choices.messages.size(), 1);
    QVERIFY2(choices.messages[0].text.contains("pppoint"), qPrintable(choices.messages[0].text));
    QCOMPARE(choices.messages[0].parentName, QString("progressDialog"));
    QVERIFY(FeaturesOf(window).empty());

    // A file GDAL cannot read is told by name; the other files chosen still load.
    const QString junk = m_dir.filePath("junk.geojson");
    WriteText(junk, "{ this is not JSON");
    choices.files = {{junk, m_named}};
    window.action(kLoadVectorData)->trigger();
    QCOMPARE(choices.messages.size(), 2);
    QVERIFY2(choices.messages[1].text.contains(junk), qPrintable(choices.messages[1].text));
    QCOMPARE(choices.messages[1].parent, &window);
    QCOMPARE(FeaturesOf(window).size(), std::size_t{899});
    QVERIFY(!window.commandRunning());
}

void LoadVectorDataTest::cancelEndsTheLayerItInterrupts() {
    if (!haveData()) QSKIP("the shared data or ogr2ogr are missing");
    ScriptedChoices choices;
    MainWindow window(choices);
    QVERIFY(OpenDem(window));
    choices.files = {{m_named, m_named}};
    choices.yesNo = {true};
    ProgressWatch cancel(true);
    window.action(kLoadVectorData)->trigger();
    QVERIFY(cancel.shown);
    QCOMPARE(choices.questions, QStringList({"Cancel?"}));
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));
    // The first layer ends where it was cancelled, the second loads whole.
    const std::size_t loaded = FeaturesOf(window).size();
    QVERIFY2(loaded >= 899 && loaded < 2 * 899, qPrintable(QString::number(loaded)));
    QCOMPARE(FeaturesPane(window), QString("%1 features").arg(loaded));
}

}  // namespace gw::test

QTEST_MAIN(gw::test::LoadVectorDataTest)
#include "LoadVectorDataTest.moc"
