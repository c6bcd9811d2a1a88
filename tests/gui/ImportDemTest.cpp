// File > Import DEM as the user works it: the dialog filled in through its widgets and the
// user-choices seam, the import under the progress dialog and the DEM it opens; entries
// that make no import, a source GDAL cannot read, and an output that is open already.

#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "gui/features/ImportDemDialog.h"
#include "gui/layout/GridwrightView.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace gw::test {
namespace {

using namespace command;

template <class T>
T* Widget(const QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

void SetText(const QWidget* dialog, const char* name, const QString& text) {
    Widget<QLineEdit>(dialog, name)->setText(text);
}

QStringList ListedSources(const ImportDemDialog& dialog) {
    QStringList sources;
    auto* list = Widget<QListWidget>(&dialog, "sourceList");
    for (int i = 0; i < list->count(); ++i) sources << list->item(i)->text();
    return sources;
}

// What the next Import DEM dialog is given before OK is pressed: sources through Add...
// and the output through Browse... (both answered by the script), then any other entries.
struct Entries {
    QStringList sources;
    QString output;
    std::function<void(ImportDemDialog*)> more;
};

// How the dialog stood after OK: whether it was still open (it is then cancelled), and
// which entry had the focus.
struct AfterOk {
    bool leftOpen = false;
    QString focus;
};

// Fills the next Import DEM dialog with entries and presses OK.
void FillAndPressOk(ScriptedChoices& choices, const Entries& entries, AfterOk* after = nullptr) {
    AnswerNextModal<ImportDemDialog>([&choices, entries, after](ImportDemDialog* dialog) {
        if (!entries.sources.isEmpty()) {
            choices.files.push_back(entries.sources);
            Widget<QPushButton>(dialog, "addSourceButton")->click();
        }
        if (!entries.output.isEmpty()) {
            choices.files.push_back({entries.output});
            Widget<QPushButton>(dialog, "outputButton")->click();
        }
        if (entries.more) entries.more(dialog);
        Widget<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        if (after) {
            after->leftOpen = dialog->isVisible();
            after->focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        }
        if (dialog->isVisible()) dialog->reject();
    });
}

QString MessagesOf(const ScriptedChoices& choices) {
    QStringList texts;
    for (const ScriptedChoices::Message& message : choices.messages) texts << message.text;
    return texts.join(" | ");
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ImportDemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { QSettings("Orvane", "Gridwright").remove("RecentFiles"); }

    void theEntriesMakeTheImport();
    void sourcesAreListedOnceInTheOrderAdded();
    void aGeoTiffImportsAndOpensAsADocument();
    void theSummaryTellsPostsWithoutDataAndClamped();
    void entriesThatMakeNoImportAreRefused_data();
    void entriesThatMakeNoImportAreRefused();
    void theSourcesAndAnOutputHeaderAreRequired();
    void aSourceGdalCannotReadFailsWithItsReason();
    void anOutputThatIsOpenIsRefused();
    void cancelLeavesNothingBehind();

private:
    QTemporaryDir m_dir;
    // A GeoTIFF of the shared Alps DEM (5-11 E, 44-47 N, 180 x 90 posts), and its
    // posts; empty when the shared data or gdal_translate are missing.
    QString m_tif;
    QByteArray m_posts;
};

void ImportDemTest::initTestCase() {
    QCoreApplication::setOrganizationName("Orvane");
    QCoreApplication::setApplicationName("Gridwright");
    QVERIFY(m_dir.isValid());
    const QString posts = SharedData("dem/alps_etopo2_feet.bin");
    if (!QFile::exists(posts)) return;
    // GDAL reads the raw posts through an ESRI header of its own, in a folder apart.
    QDir(m_dir.path()).mkdir("ehdr");
    const QString bil = m_dir.filePath("ehdr/alps.bil");
    QFile::copy(posts, bil);
    WriteText(m_dir.filePath("ehdr/alps.hdr"),
              "BYTEORDER I\nLAYOUT BIL\nNROWS 90\nNCOLS 180\nNBANDS 1\nNBITS 16\nPIXELTYPE SIGNEDINT\n");
    const QString tif = m_dir.filePath("alps.tif");
    if (RunTool("gdal_translate", {"-q", "-of", "GTiff", "-a_srs", "EPSG:4326", "-a_ullr", "5", "47", "11", "44",
                                   bil, tif})) {
        m_tif = tif;
        m_posts = Contents(posts);
    }
}

void ImportDemTest::theEntriesMakeTheImport() {
    ScriptedChoices choices;
    ImportDemDialog dialog(choices);
    choices.files = {{"/data/a.tif", "/data/b.tif"}, {"/out/made.hdr"}};
    Widget<QPushButton>(&dialog, "addSourceButton")->click();
    Widget<QPushButton>(&dialog, "outputButton")->click();
    QCOMPARE(choices.fileQuestions.size(), 2);
    QCOMPARE(choices.fileQuestions[0].title, QString("Add Sources"));
    QCOMPARE(choices.fileQuestions[0].filters.back(), QString("All Files (*)"));
    QCOMPARE(choices.fileQuestions[1].filters, QStringList({"Gridwr Files (*.hdr)", "All Files (*)"}));
    QCOMPARE(choices.fileQuestions[1].defaultSuffix, QString("hdr"));
    QCOMPARE(Widget<QLineEdit>(&dialog, "outputEdit")->text(), QString("/out/made.hdr"));

    // Empty entries leave the import's defaults.
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(choices.messages.isEmpty());
    QCOMPARE(dialog.options().sources, (std::vector<std::string>{"/data/a.tif", "/data/b.tif"}));
    QCOMPARE(dialog.options().output, std::string("/out/made.hdr"));
    QVERIFY(!dialog.options().bounds);
    QVERIFY(!dialog.options().spacing);
    QCOMPARE(dialog.options().title, std::string());
    QVERIFY(dialog.options().resampling == gdalio::Resampling::kBilinear);

    // Every entry given, the bounds across the antimeridian; blanks around numbers and the
    // title do not count.
    SetText(&dialog, "westEdit", " -5.25");
    SetText(&dialog, "southEdit", "-44");
    SetText(&dialog, "eastEdit", "190");
    SetText(&dialog, "northEdit", "1e1 ");
    SetText(&dialog, "spacingEdit", "0.0083333");
    SetText(&dialog, "titleEdit", " Alpes Maritimes ");
    const QList<std::pair<QString, gdalio::Resampling>> resamplings = {{"Bilinear", gdalio::Resampling::kBilinear},
                                                                      {"Average", gdalio::Resampling::kAverage},
                                                                      {"Nearest", gdalio::Resampling::kNearest},
                                                                      {"Cubic", gdalio::Resampling::kCubic}};
    auto* combo = Widget<QComboBox>(&dialog, "resamplingCombo");
    QCOMPARE(combo->count(), resamplings.size());
    for (const auto& [text, resampling] : resamplings) {
        combo->setCurrentText(text);
        QCOMPARE(combo->currentText(), text);
        dialog.accept();
        QVERIFY(dialog.options().resampling == resampling);
    }
    QVERIFY(choices.messages.isEmpty());
    QVERIFY(dialog.options().bounds);
    QCOMPARE(dialog.options().bounds->west, -5.25);
    QCOMPARE(dialog.options().bounds->south, -44.0);
    QCOMPARE(dialog.options().bounds->east, 190.0);
    QCOMPARE(dialog.options().bounds->north, 10.0);
    QCOMPARE(dialog.options().spacing.value_or(0), 0.0083333);
    QCOMPARE(dialog.options().title, std::string("Alpes Maritimes"));
}

void ImportDemTest::sourcesAreListedOnceInTheOrderAdded() {
    ScriptedChoices choices;
    ImportDemDialog dialog(choices);
    auto* add = Widget<QPushButton>(&dialog, "addSourceButton");
    auto* remove = Widget<QPushButton>(&dialog, "removeSourceButton");
    auto* list = Widget<QListWidget>(&dialog, "sourceList");
    choices.files = {{"/d/a.tif", "/d/b.tif"}, {"/d/b.tif", "/d/c.tif"}};
    add->click();
    add->click();
    add->click();  // cancelled: nothing changes
    QCOMPARE(ListedSources(dialog), QStringList({"/d/a.tif", "/d/b.tif", "/d/c.tif"}));
    QVERIFY(!remove->isEnabled());
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    QVERIFY(remove->isEnabled());
    remove->click();
    QCOMPARE(ListedSources(dialog), QStringList({"/d/b.tif"}));
    QVERIFY(!remove->isEnabled());
}

void ImportDemTest::aGeoTiffImportsAndOpensAsADocument() {
    if (m_tif.isEmpty()) QSKIP("the shared data or gdal_translate are missing");
    ScriptedChoices choices;
    MainWindow window(choices);
    QVERIFY(window.action(kImportDem)->isEnabled());
    const QString output = m_dir.filePath("alps.hdr");
    AfterOk after;
    FillAndPressOk(choices,
                   {{m_tif}, output,
                    [](ImportDemDialog* dialog) {
                        SetText(dialog, "titleEdit", "Western Alps");
                        Widget<QComboBox>(dialog, "resamplingCombo")->setCurrentText("Nearest");
                    }},
                   &after);
    ProgressWatch progress;
    window.action(kImportDem)->trigger();
    QVERIFY(!after.leftOpen);
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));
    QVERIFY(progress.shown);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(window.isEnabled());

    // The written DEM is open, as File > Open opens it.
    CGridwrightView* view = window.activeView();
    QVERIFY(view);
    QCOMPARE(view->document()->path(), output);
    QCOMPARE(window.windowTitle(), QString("Gridwright - alps.hdr"));
    QCOMPARE(window.recentFiles().value(0), QFileInfo(output).absoluteFilePath());
    const DemHeader& header = view->document()->doc().header();
    QCOMPARE(header.file_title, std::string("Western Alps"));
    QCOMPARE(header.number_of_rows, 90);
    QCOMPARE(header.number_of_columns, 180);
    QVERIFY(qFuzzyCompare(header.left_map_x, 5.0));
    QVERIFY(qFuzzyCompare(header.right_map_x, 11.0));
    QVERIFY(qFuzzyCompare(header.upper_map_y, 47.0));
    QVERIFY(qFuzzyCompare(header.lower_map_y, 44.0));
    // Nearest posts on the source's own grid: the posts as they were.
    QCOMPARE(Contents(m_dir.filePath("alps.bin")), m_posts);

    const QString summary = window.statusBar()->currentMessage();
    QVERIFY2(summary.startsWith("Imported " + output + ": 16200 posts, 0% without data"), qPrintable(summary));
    QVERIFY2(!summary.contains("clamped"), qPrintable(summary));
    // It stays until the next command starts.
    window.action(kWindowNew)->trigger();
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
}

void ImportDemTest::theSummaryTellsPostsWithoutDataAndClamped() {
    if (m_tif.isEmpty()) QSKIP("the shared data or gdal_translate are missing");
    // Heights ten times the Alps', beyond the 16-bit range on the peaks.
    const QString tenfold = m_dir.filePath("tenfold.tif");
    QVERIFY(RunTool("gdal_translate", {"-q", "-ot", "Float32", "-scale", "0", "1", "0", "10", m_tif, tenfold}));
    int clamped = 0;
    for (int i = 0; i + 1 < m_posts.size(); i += 2) {
        const int height = qint16(quint8(m_posts[i]) | quint8(m_posts[i + 1]) << 8) * 10;
        if (height > 32767 || height < -32767) ++clamped;
    }
    QVERIFY(clamped > 0);
    ScriptedChoices choices;
    MainWindow window(choices);
    const QString output = m_dir.filePath("tenfold.hdr");
    // A degree more to the west than the source covers: 30 of 210 columns without data.
    FillAndPressOk(choices, {{tenfold}, output, [](ImportDemDialog* dialog) {
                                 SetText(dialog, "westEdit", "4");
                                 SetText(dialog, "southEdit", "44");
                                 SetText(dialog, "eastEdit", "11");
                                 SetText(dialog, "northEdit", "47");
                                 Widget<QComboBox>(dialog, "resamplingCombo")->setCurrentText("Nearest");
                             }});
    window.action(kImportDem)->trigger();
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));
    QVERIFY(window.activeView());
    QCOMPARE(window.activeView()->document()->doc().header().number_of_columns, 210);
    QCOMPARE(window.statusBar()->currentMessage(),
             QString("Imported %1: 18900 posts, 14.3% without data, %2 posts clamped to the 16-bit range")
                 .arg(output)
                 .arg(clamped));
}

void ImportDemTest::entriesThatMakeNoImportAreRefused_data() {
    QTest::addColumn<QStringList>("bounds");  // west, south, east, north
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    const auto row = [](const char* name, const QStringList& bounds, const QString& spacing, const QString& message,
                        const QString& focus) { QTest::newRow(name) << bounds << spacing << message << focus; };
    const QStringList none = {"", "", "", ""};
    const QString badSpacing = "The spacing must be a positive number of degrees, not \u201c%1\u201d.";
    row("letters", {"five", "44", "11", "47"}, "", "West must be a number of degrees, not \u201cfive\u201d.",
        "westEdit");
    row("decimal comma", {"5", "44,5", "11", "47"}, "",
        "South must be a number of degrees, not \u201c44,5\u201d.", "southEdit");
    row("three of four", {"5", "44", "", "47"}, "",
        "Give all four bounds, or leave all four empty to cover every source.", "eastEdit");
    row("east beyond 360", {"5", "44", "360.5", "47"}, "", "East must lie between -360 and 360 degrees.", "eastEdit");
    row("north beyond 90", {"5", "44", "11", "91"}, "", "North must lie between -90 and 90 degrees.", "northEdit");
    row("west not below east", {"11", "44", "5", "47"}, "", "West must be less than East.", "westEdit");
    row("round the globe", {"-200", "44", "170", "47"}, "", "West and East must lie at most 360 degrees apart.",
        "westEdit");
    row("empty latitudes", {"5", "47", "11", "47"}, "", "South must be less than North.", "southEdit");
    row("zero spacing", none, "0", badSpacing.arg("0"), "spacingEdit");
    row("negative spacing", none, "-0.01", badSpacing.arg("-0.01"), "spacingEdit");
    row("spacing with a unit", none, "30s", badSpacing.arg("30s"), "spacingEdit");
    row("infinite spacing", none, "1e999", badSpacing.arg("1e999"), "spacingEdit");
}

void ImportDemTest::entriesThatMakeNoImportAreRefused() {
    QFETCH(QStringList, bounds);
    QFETCH(QString, spacing);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    ScriptedChoices choices;
    MainWindow window(choices);
    const QString output = m_dir.filePath("refused.hdr");
    AfterOk after;
    FillAndPressOk(choices,
                   {{m_dir.filePath("alps.tif")}, output,
                    [&](ImportDemDialog* dialog) {
                        const char* names[] = {"westEdit", "southEdit", "eastEdit", "northEdit"};
                        for (int i = 0; i < 4; ++i) SetText(dialog, names[i], bounds[i]);
                        SetText(dialog, "spacingEdit", spacing);
                    }},
                   &after);
    window.action(kImportDem)->trigger();
    QVERIFY(after.leftOpen);
    QCOMPARE(after.focus, focus);
    QCOMPARE(choices.messages.size(), 1);
    QCOMPARE(choices.messages[0].text, message);
    QCOMPARE(choices.messages[0].parentName, QString("ImportDemDialog"));
    QVERIFY(!window.activeView());
    QVERIFY(!QFile::exists(output));
    QVERIFY(!window.commandRunning());
}

void ImportDemTest::theSourcesAndAnOutputHeaderAreRequired() {
    ScriptedChoices choices;
    MainWindow window(choices);
    AfterOk after;
    FillAndPressOk(choices, {{}, m_dir.filePath("nosource.hdr"), {}}, &after);
    window.action(kImportDem)->trigger();
    QVERIFY(after.leftOpen);
    QCOMPARE(after.focus, QString("addSourceButton"));
    FillAndPressOk(choices, {{m_dir.filePath("a.tif")}, {}, {}}, &after);
    window.action(kImportDem)->trigger();
    QVERIFY(after.leftOpen);
    QCOMPARE(after.focus, QString("outputButton"));
    // Only a lower-case ".hdr" has a raster name of its own beside it.
    const QString upper = m_dir.filePath("upper.HDR");
    FillAndPressOk(choices, {{m_dir.filePath("a.tif")}, upper, {}}, &after);
    window.action(kImportDem)->trigger();
    QVERIFY(after.leftOpen);
    QCOMPARE(choices.messages.size(), 3);
    QCOMPARE(choices.messages[0].text, QString("Add the rasters to import."));
    QCOMPARE(choices.messages[1].text, QString("Choose the output header with Browse."));
    QCOMPARE(choices.messages[2].text, "The output header's name must end in .hdr: " + upper);
    QVERIFY(!window.activeView());
}

void ImportDemTest::aSourceGdalCannotReadFailsWithItsReason() {
    ScriptedChoices choices;
    MainWindow window(choices);
    QTemporaryDir dir;
    const QString source = dir.filePath("notaraster.tif");
    WriteText(source, "no raster here\n");
    AfterOk after;
    FillAndPressOk(choices, {{source}, dir.filePath("bad.hdr"), {}}, &after);
    window.action(kImportDem)->trigger();
    QVERIFY(!after.leftOpen);
    QCOMPARE(choices.messages.size(), 1);
    QVERIFY2(choices.messages[0].text.contains(source), qPrintable(choices.messages[0].text));
    QCOMPARE(choices.messages[0].parent, &window);
    QVERIFY(!window.activeView());
    QVERIFY(window.documents().documents().isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"notaraster.tif"}));
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
}

void ImportDemTest::anOutputThatIsOpenIsRefused() {
    ScriptedChoices choices;
    MainWindow window(choices);
    QTemporaryDir dir;
    const QString open = WriteFlatDem(QDir(dir.path()), "open", 5, 11, 47, 44, 3, 6);
    QVERIFY(window.OpenFile(open).ok());
    AfterOk after;
    FillAndPressOk(choices, {{m_dir.filePath("alps.tif")}, open, {}}, &after);
    // The dialog comes back as it was left.
    QStringList sourcesAgain;
    AnswerNextModal<ImportDemDialog>([&](ImportDemDialog* dialog) {
        sourcesAgain = ListedSources(*dialog);
        dialog->reject();
    });
    window.action(kImportDem)->trigger();
    QVERIFY(!after.leftOpen);
    QCOMPARE(choices.messages.size(), 1);
    QCOMPARE(choices.messages[0].text,
             open + " is open in a window. Close it before importing over it, or choose another output header.");
    QCOMPARE(sourcesAgain, QStringList({m_dir.filePath("alps.tif")}));
    QCOMPARE(window.activeView()->document()->doc().header().number_of_columns, 6);
    QCOMPARE(Contents(dir.filePath("open.bin")), QByteArray(2 * 3 * 6, '\0'));
}

void ImportDemTest::cancelLeavesNothingBehind() {
    if (m_tif.isEmpty()) QSKIP("the shared data or gdal_translate are missing");
    ScriptedChoices choices;
    MainWindow window(choices);
    QTemporaryDir dir;
    FillAndPressOk(choices, {{m_tif}, dir.filePath("cancelled.hdr"), {}});
    choices.yesNo = {true};
    ProgressWatch cancel(true);
    window.action(kImportDem)->trigger();
    QVERIFY(cancel.shown);
    QCOMPARE(choices.questions, QStringList({"Cancel?"}));
    QVERIFY2(choices.messages.isEmpty(), qPrintable(MessagesOf(choices)));
    QVERIFY(!window.activeView());
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
}

}  // namespace gw::test

QTEST_MAIN(gw::test::ImportDemTest)
#include "ImportDemTest.moc"
