// The commands that run jobs, as the user works them: Generate Terrain, Import DEM and
// Load Vector Data with their dialogs and the progress dialog they run under.

#include "tests/gui/GuiTestSupport.h"
#include "tests/gdalio/TestRasters.h"
#include "core/objectives/ObjectiveRules.h"
#include "gui/common/ProgressDialog.h"
#include "gui/features/E00RuleChoiceDialog.h"
#include "gui/features/ImportDemDialog.h"
#include "gui/generate/GenerateCommand.h"
#include "gui/shell/DialogChoices.h"

#include <cpl_vsi_virtual.h>

#include <sys/stat.h>

#include <condition_variable>
#include <mutex>

namespace gw::test {
namespace {

// Files under /vsiwaiting/ whose open waits until released, as a read of a stalled
// network share would.
class WaitingFiles final : public VSIFilesystemHandler {
public:
    WaitingFiles() { VSIFileManager::InstallHandler("/vsiwaiting/", this); }
    VSIVirtualHandle* Open(const char*, const char*, bool, CSLConstList) override {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        m_released.wait(lock, [this] { return m_release; });
        --m_waiting;
        return nullptr;
    }
    int Stat(const char*, VSIStatBufL* info, int) override {
        *info = {};
        info->st_mode = S_IFREG | 0644;
        info->st_size = 1000;
        return 0;
    }
    bool waiting() {
        const std::lock_guard lock(m_mutex);
        return m_waiting > 0;
    }
    void Release() {
        const std::lock_guard lock(m_mutex);
        m_release = true;
        m_released.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    int m_waiting = 0;
    bool m_release = false;
};

QStringList FilesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

void SetText(const QWidget* dialog, const char* name, const QString& text) {
    dialog->findChild<QLineEdit*>(name)->setText(text);
}

// Fills the next Import DEM dialog through Add... and Browse... (answered by the script)
// and `more`, and presses OK; cancels it if it stays open.
void FillAndPressOk(ScriptedChoices& choices, const QStringList& sources, const QString& output,
                    std::function<void(ImportDemDialog*)> more = {}) {
    AnswerNextModal<ImportDemDialog>([&choices, sources, output, more](ImportDemDialog* dialog) {
        choices.files.push_back(sources);
        dialog->findChild<QPushButton*>("addSourceButton")->click();
        choices.files.push_back({output});
        dialog->findChild<QPushButton*>("outputButton")->click();
        if (more) more(dialog);
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
        if (dialog->isVisible()) dialog->reject();
    });
}

// A GeoJSON file of `count` places on the sample DEM (10-18 E, 41-47 N).
QString WritePlaces(const QString& path, int count) {
    QByteArray json = R"({"type": "FeatureCollection", "features": [)";
    for (int i = 0; i < count; ++i) {
        json += QString(R"(%1{"type": "Feature", "properties": {"name": "p%2"}, )"
                        R"("geometry": {"type": "Point", "coordinates": [%3, 44]}})")
                    .arg(i ? "," : "").arg(i).arg(11 + (i % 600) * 0.01).toUtf8();
    }
    WriteText(path, json + "]}");
    return path;
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("Orvane");
        QCoreApplication::setApplicationName("Gridwright");
        QSettings().remove("E00FileRules");
    }

    void generateAsksForTheOptionsThenTheFilesAndWritesThem() {
        Session s;
        QTemporaryDir dir;
        s.trigger(kGenerateTerrain);  // cancelled at the Build Terrain dialog
        QCOMPARE(s.choices.offeredOptions.size(), 1);
        QVERIFY(s.choices.offeredOptions[0].mea && s.choices.offeredOptions[0].description);
        QVERIFY(!s.choices.offeredOptions[0].tdf);
        QVERIFY(s.choices.fileQuestions.isEmpty());

        const QString rivers = dir.filePath("rivers.e00");
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {12, 43}}})));
        s.choices.files = {{rivers}, {dir.filePath("t.dat")}, {dir.filePath("gone/t.l2")}, {dir.filePath("T.L2")},
                           {dir.filePath("t.l2")}, {dir.filePath("m.l2")}, {QString::fromStdString(SampleDir() + "/coast.pal")}};
        s.trigger(kLoadE00File);
        s.choices.buildOptions = [](BuildOptions& options) { options.tdf = false; };
        for (int run = 0; run < 4; ++run) s.trigger(kGenerateTerrain);
        QVERIFY(s.choices.offeredOptions[1].tdf);
        QCOMPARE(s.choices.fileQuestions.value(2).title, QString("Create L2 File"));
        QCOMPARE(s.choices.messages.size(), 2);
        QVERIFY2(s.choices.messages[0].text.contains("t.dat: the terrain file's name must contain \".l2\""),
                 qPrintable(s.choices.messages[0].text));
        QCOMPARE(s.choices.messages[0].parent, &s.window);
        QVERIFY(s.choices.messages[1].text.contains("t.l2"));
        // Each run that wrote files tells what it wrote, what is on the theater and why not.
        QCOMPARE(s.choices.theatersBuilt.size(), 2);
        const TheaterSummary& built = s.choices.theatersBuilt.back();
        QCOMPARE(QString::fromStdString(built.files.at(0).path), dir.filePath("t.l2"));
        QCOMPARE(built.files[0].bytes, QFileInfo(dir.filePath("t.l2")).size());
        QCOMPARE(built.features.at("RIVER").loaded, 1u);
        QVERIFY(built.highestPoint.value_or(0) > 0 && !built.warnings.empty());
        QVERIFY(s.window.activeView()->results().m_highestPoint > 0);

        // The map's palette is asked for while the run's progress dialog is up.
        s.choices.buildOptions = [](BuildOptions& options) {
            options.map = true;
            options.mea = options.description = options.tdf = false;
        };
        bool enabledAtPalette = true;
        s.choices.whileAsking = [&] {
            if (s.choices.fileQuestions.size() == 6) enabledAtPalette = s.window.isEnabled();
        };
        s.trigger(kGenerateTerrain);
        QCOMPARE(s.choices.fileQuestions.value(6).title, QString("Open Paint Shop Pro palette File"));
        QVERIFY2(!enabledAtPalette, "the progress dialog is up");
        QCOMPARE(FilesIn(dir.path()), QStringList({"T.L2", "T.o2", "m.l2", "m.map", "m.o2", "rivers.e00", "t.l2",
                                                   "t.mea", "t.o2", "t.txt"}));
        QVERIFY(s.window.isEnabled());
    }

    void generateRefusesToReplaceWhatItReads() {
        QTemporaryDir dir;
        const QString sample = QString::fromStdString(SampleDir() + "/coast");
        for (const auto& [from, to] : {std::pair{".hdr", "t.l2.hdr"}, {".bin", "t.l2.bin"}, {".pal", "t.map"}}) {
            QVERIFY(QFile::copy(sample + from, dir.filePath(to)));
        }
        Session s(false);
        QVERIFY(s.window.OpenFile(dir.filePath("t.l2.hdr")).ok());
        const struct {
            QString terrain;
            bool map;
            QString refusal;
        } cases[] = {{"t.l2.hdr", false, "t.l2.hdr is the DEM header"},
                     {"t.l2.bin", false, "t.l2.bin is the DEM raster"},
                     {"t.l2", true, "t.map is the palette"}};
        for (const auto& c : cases) {
            s.choices.messages.clear();
            s.choices.buildOptions = [map = c.map](BuildOptions& options) { options.map = map; };
            s.choices.files = {{dir.filePath(c.terrain)}, {dir.filePath("t.map")}};
            s.trigger(kGenerateTerrain);
            QCOMPARE(s.choices.messages.size(), 1);
            QVERIFY2(s.choices.messages[0].text.contains(c.refusal + " this run reads"), qPrintable(s.choices.messages[0].text));
        }
        QCOMPARE(FilesIn(dir.path()), QStringList({"t.l2.bin", "t.l2.hdr", "t.map"}));

        // A layout without segments is refused before any dialog.
        s.choices.messages.clear();
        const CGridwrightView& view = *s.window.activeView();
        TheaterLayout layout = view.layout();
        layout.SetSegmentsX("0");
        TerrainResults results;
        CRandom random;
        GenerateChoices choices;
        QVERIFY(!GenerateTerrain({view.document()->doc(), layout, view.heights(), view.document()->rules(), ObjectiveRuleSet(), results, choices}, random,
                                 {&s.window, s.choices}));
        QCOMPARE(s.choices.messages.size(), 1);
        QCOMPARE(s.choices.offeredOptions.size(), 3);
    }

    void theImportDialogsEntriesMakeTheOptionsOrAreRefusedAtTheirBox() {
        ScriptedChoices choices;
        ImportDemDialog dialog(choices);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        choices.files = {{"/d/a.tif", "/d/b.tif"}, {"/d/b.tif", "/d/c.tif"}, {"/out/made.hdr"}};
        for (int i = 0; i < 2; ++i) dialog.findChild<QPushButton*>("addSourceButton")->click();
        dialog.findChild<QPushButton*>("outputButton")->click();
        dialog.findChild<QListWidget*>("sourceList")->item(1)->setSelected(true);
        dialog.findChild<QPushButton*>("removeSourceButton")->click();

        // One entry for each way the dialog refuses: it says why and stays, at the box to mend.
        const struct {
            QStringList entries;  // west, south, east, north, spacing
            QString output, message, focus;
        } cases[] = {
            {{"5", "44", "", "47", ""}, "a.hdr", "Give all four bounds, or leave all four empty to cover every source.",
             "eastEdit"},
            {{"5", "44", "11", "91", ""}, "a.hdr", "North must lie between -90 and 90 degrees.", "northEdit"},
            {{"11", "44", "5", "47", ""}, "a.hdr", "West must be less than East.", "westEdit"},
            {{"", "", "", "", "30s"}, "a.hdr", "The spacing must be a positive number of degrees, not \u201c30s\u201d.",
             "spacingEdit"},
            {{"", "", "", "", ""}, "a.HDR", "The output header's name must end in .hdr: a.HDR", "outputButton"},
        };
        const char* boxes[] = {"westEdit", "southEdit", "eastEdit", "northEdit", "spacingEdit"};
        for (const auto& c : cases) {
            choices.messages.clear();
            for (int i = 0; i < 5; ++i) SetText(&dialog, boxes[i], c.entries[i]);
            SetText(&dialog, "outputEdit", c.output);
            dialog.setResult(QDialog::Rejected);
            dialog.accept();
            QVERIFY2(dialog.result() == QDialog::Rejected && dialog.isVisible(), qPrintable(c.message));
            QCOMPARE(choices.messages.value(0).text, c.message);
            QCOMPARE(choices.messages[0].parent, &dialog);
            QCOMPARE(dialog.focusWidget()->objectName(), c.focus);
        }
        for (const char* box : boxes) SetText(&dialog, box, "");
        SetText(&dialog, "outputEdit", "/out/made.hdr");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.options().sources, (std::vector<std::string>{"/d/a.tif", "/d/c.tif"}));
        QCOMPARE(dialog.options().output, std::string("/out/made.hdr"));
        QVERIFY(!dialog.options().bounds && !dialog.options().spacing);
        QVERIFY(dialog.options().resampling == gdalio::Resampling::kBilinear);

        for (const auto& [box, text] : {std::pair{"westEdit", " -5.25"}, {"southEdit", "-44"}, {"eastEdit", "190"},
                                        {"northEdit", "1e1 "}, {"spacingEdit", "0.0083333"},
                                        {"titleEdit", " Alpes Maritimes "}}) {
            SetText(&dialog, box, text);
        }
        dialog.findChild<QComboBox*>("resamplingCombo")->setCurrentText("Cubic");
        dialog.accept();
        QVERIFY(choices.messages.size() == 1 && dialog.options().resampling == gdalio::Resampling::kCubic);
        const gdalio::GeoBounds bounds = dialog.options().bounds.value_or(gdalio::GeoBounds{});
        QCOMPARE(QList<double>({bounds.west, bounds.south, bounds.east, bounds.north}), QList<double>({-5.25, -44, 190, 10}));
        QCOMPARE(dialog.options().spacing.value_or(0), 0.0083333);
        QCOMPARE(dialog.options().title, std::string("Alpes Maritimes"));
    }

    void anImportOpensTheDemItWrote() {
        Session s(false);
        QTemporaryDir dir;
        const QString tif = QString::fromStdString(
            WriteGeoTiff(dir.filePath("in.tif").toStdString(), TestRaster().Values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
        const QString output = dir.filePath("made.hdr");
        FillAndPressOk(s.choices, {tif}, output, [](ImportDemDialog* dialog) { SetText(dialog, "titleEdit", "Made"); });
        ProgressWatch progress;
        s.trigger(kImportDem);
        QVERIFY(s.choices.messages.isEmpty());
        QVERIFY(progress.shown);
        QVERIFY(s.window.isEnabled() && !QApplication::overrideCursor());
        QVERIFY(s.window.activeView());
        QCOMPARE(s.window.activeView()->document()->path(), output);
        QCOMPARE(s.window.activeView()->document()->doc().header().file_title, std::string("Made"));
        QCOMPARE(s.window.recentFiles().value(0), output);
        QVERIFY2(s.window.statusBar()->currentMessage().startsWith("Imported " + output + ": 12 posts, 0% without data"),
                 qPrintable(s.window.statusBar()->currentMessage()));

        // An output open in a window is refused, and the dialog comes back as it was left.
        FillAndPressOk(s.choices, {tif}, output);
        QStringList sourcesAgain;
        AnswerNextModal<ImportDemDialog>([&](ImportDemDialog* dialog) {
            sourcesAgain << dialog->findChild<QListWidget*>("sourceList")->item(0)->text();
            dialog->reject();
        });
        s.trigger(kImportDem);
        QCOMPARE(s.choices.messages.value(0).text,
                 output + " is open in a window. Close it before importing over it, or choose another output header.");
        QCOMPARE(sourcesAgain, QStringList({tif}));
        QCOMPARE(s.window.documents().documents().size(), 1);
    }

    void aFailedOrCancelledImportLeavesNothing() {
        Session s(false);
        QTemporaryDir dir, out;
        const QString junk = dir.filePath("junk.tif");
        WriteText(junk, "no raster here\n");
        FillAndPressOk(s.choices, {junk}, out.filePath("bad.hdr"));
        s.trigger(kImportDem);
        QCOMPARE(s.choices.messages.size(), 1);
        QVERIFY2(s.choices.messages[0].text.contains(junk), qPrintable(s.choices.messages[0].text));
        QCOMPARE(s.choices.messages[0].parent, &s.window);

        const QString tif = QString::fromStdString(WriteGeoTiff(dir.filePath("big.tif").toStdString(), TestRaster().Size(1000, 500)));
        FillAndPressOk(s.choices, {tif}, out.filePath("cancelled.hdr"));
        s.choices.yesNo = {true};
        ProgressWatch cancel(true);
        s.trigger(kImportDem);
        QVERIFY(cancel.shown);
        QCOMPARE(s.choices.questions, QStringList({"Cancel?"}));
        QCOMPARE(s.choices.messages.size(), 1);
        QVERIFY(!s.window.activeView());
        QVERIFY(QDir(out.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    void vectorLayersLoadUnderTheirRuleOrTheOneChosen() {
        Session s;
        QTemporaryDir dir;
        const QString named = WritePlaces(dir.filePath("pppoint.geojson"), 3);
        const QString unnamed = WritePlaces(dir.filePath("places.geojson"), 4);
        const QString junk = dir.filePath("junk.geojson");
        WriteText(junk, "{ this is not JSON");
        const auto& features = s.window.activeView()->document()->doc().features();
        const std::int32_t label = 5;
        QCOMPARE(s.window.documents().rules()[label].Keyword, std::string("LABEL"));

        s.choices.files = {{unnamed}, {named}, {unnamed}, {junk, unnamed}};
        s.trigger(kLoadVectorData);
        QCOMPARE(s.choices.ruleQuestions, QStringList({"places"}));
        QVERIFY(features.empty());

        s.trigger(kLoadVectorData);
        QCOMPARE(s.choices.ruleQuestions.size(), 1);
        QCOMPARE(features.size(), std::size_t{3});
        QCOMPARE(features[0].ruleIndex, label);
        s.trigger(kDeleteFeatures);

        s.choices.rulesChosen = {label - 1, label};
        s.trigger(kLoadVectorData);
        s.trigger(kLoadVectorData);
        QCOMPARE(features.size(), std::size_t{8});
        QCOMPARE(features[0].ruleIndex, label - 1);
        QCOMPARE(features[7].ruleIndex, label);
        QCOMPARE(s.choices.messages.size(), 1);  // the file GDAL cannot read, by name
        QVERIFY2(s.choices.messages[0].text.contains(junk), qPrintable(s.choices.messages[0].text));
        QCOMPARE(s.pane("featuresPane"), QString("8 features"));
    }

    // Cancel ends the layer it interrupts, and a load that GDAL keeps waiting in an open
    // that never returns: the window is the user's again.
    void cancelEndsAVectorLoadMidLayerOrWaitingOnInput() {
        Session s;
        QTemporaryDir dir;
        constexpr int kPlaces = 20000;  // enough that the press comes while the layers load
        const QString named = WritePlaces(dir.filePath("pppoint.geojson"), kPlaces);
        s.choices.files = {{named, named}, {"/vsiwaiting/rivers.geojson"}};
        s.choices.yesNo = {true, true};
        {
            ProgressWatch cancel(true, "Processing");
            s.trigger(kLoadVectorData);
            QVERIFY(cancel.pressed);
        }
        QCOMPARE(s.choices.questions, QStringList({"Cancel?"}));
        const auto& features = s.window.activeView()->document()->doc().features();
        QVERIFY2(features.size() >= kPlaces && features.size() < 2 * kPlaces, qPrintable(QString::number(features.size())));

        s.trigger(kDeleteFeatures);
        static WaitingFiles* waiting = new WaitingFiles;  // GDAL keeps its handlers
        ProgressWatch cancel(true);
        s.trigger(kLoadVectorData);
        QVERIFY(cancel.pressed && waiting->waiting());
        QVERIFY(s.window.isEnabled());
        QVERIFY(features.empty());
        waiting->Release();
    }

    void theRuleChoiceDialogGivesTheRuleChosenOrNone() {
        DialogChoices choices;
        for (const bool ok : {true, false}) {
            AnswerNextModal<E00RuleChoiceDialog>([ok](E00RuleChoiceDialog* dialog) {
                QVERIFY(dialog->findChild<QLabel*>("questionLabel")->text().contains("\u201cplaces\u201d of places.geojson"));
                dialog->ruleList()->setCurrentItem(dialog->ruleList()->topLevelItem(5));
                dialog->findChild<QDialogButtonBox*>("buttonBox")->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            });
            QCOMPARE(choices.ChooseE00Rule(nullptr, "places", "places.geojson", BuiltInE00Rules()),
                     ok ? std::optional<std::int32_t>(5) : std::nullopt);
        }
    }

    void theProgressDialogHoldsItsOwnerAndTakesCancelAsAFlag() {
        QMainWindow owner;
        owner.show();
        {
            ProgressDialog dialog(&owner);
            dialog.Create();
            QVERIFY(!owner.isEnabled() && dialog.isVisible() && !dialog.isModal());
            dialog.SetRange(0, 16);
            dialog.SetStep(1);
            for (int i = 0; i < 8; ++i) dialog.StepIt();
            QCOMPARE(dialog.findChild<QLabel*>("percentText")->text(), QString("50%"));
            QTest::keyClick(&dialog, Qt::Key_Return);
            QVERIFY(dialog.isVisible() && !dialog.CheckCancelButton());
            auto* cancel = dialog.findChild<QPushButton*>("cancelButton");
            // Two presses before a poll are one; Escape and the close box press Cancel too.
            const std::function<void()> presses[] = {[&] { for (int i = 0; i < 2; ++i) QTest::mouseClick(cancel, Qt::LeftButton); },
                                                     [&] { QTest::keyClick(&dialog, Qt::Key_Escape); },
                                                     [&] { QVERIFY(!dialog.close()); }};
            for (const auto& press : presses) {
                press();
                QVERIFY(dialog.isVisible() && dialog.CheckCancelButton() && !dialog.CheckCancelButton());
            }
        }
        QVERIFY(owner.isEnabled());
    }
};

}  // namespace gw::test

QTEST_MAIN(gw::test::CommandsTest)
#include "CommandsTest.moc"
