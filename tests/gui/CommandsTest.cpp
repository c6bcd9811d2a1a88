// The commands that run jobs, as the user works them: Generate Terrain, Import DEM and
// Load Vector Data with their dialogs and the progress dialog they run under.

#include "tests/gui/GuiTestSupport.h"
#include "tests/gdalio/TestRasters.h"
#include "core/objectives/ObjectiveRules.h"
#include "gui/common/GuiPrompts.h"
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
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_choices = std::make_unique<ScriptedChoices>();
        m_window = std::make_unique<MainWindow>(*m_choices);
    }
    void cleanup() {
        m_window.reset();
        m_choices.reset();
        m_dir.reset();
    }

    void generateAsksForTheOptionsThenTheFileAndWritesIt() {
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
        m_window->action(kGenerateTerrain)->trigger();  // cancelled at the Build Terrain dialog
        QCOMPARE(m_choices->offeredOptions.size(), 1);
        QVERIFY(m_choices->offeredOptions[0].mea && m_choices->offeredOptions[0].description);
        QVERIFY(!m_choices->offeredOptions[0].tdf);
        QVERIFY(m_choices->fileQuestions.isEmpty());

        const QString rivers = m_dir->filePath("rivers.e00");
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {12, 43}}})));
        m_choices->files = {{rivers}, {m_dir->filePath("t.dat")}, {m_dir->filePath("gone/t.l2")},
                            {m_dir->filePath("T.L2")}, {m_dir->filePath("t.l2")}};
        m_window->action(kLoadE00File)->trigger();
        m_choices->buildOptions = [](BuildOptions& options) { options.tdf = false; };
        for (int run = 0; run < 4; ++run) m_window->action(kGenerateTerrain)->trigger();
        QVERIFY(m_choices->offeredOptions[1].tdf);
        QCOMPARE(m_choices->fileQuestions.value(2).title, QString("Create L2 File"));
        QCOMPARE(m_choices->messages.size(), 3);
        QVERIFY2(m_choices->messages[0].text.contains("t.dat: the terrain file's name must contain \".l2\""),
                 qPrintable(m_choices->messages[0].text));
        QCOMPARE(m_choices->messages[0].parent, m_window.get());
        QVERIFY(m_choices->messages[1].text.contains("t.l2"));
        QVERIFY(m_choices->messages[2].text.startsWith("Only the tile and index files were written"));
        QCOMPARE(FilesIn(m_dir->path()), QStringList({"T.L2", "T.o2", "rivers.e00", "t.l2", "t.mea", "t.o2", "t.txt"}));
        QVERIFY(m_window->isEnabled());
        QVERIFY(m_window->activeView()->results().m_highestPoint > 0);
    }

    void generateAsksForThePaletteDuringTheRun() {
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
        m_choices->buildOptions = [](BuildOptions& options) {
            options.map = true;
            options.mea = options.description = false;
        };
        m_choices->files = {{m_dir->filePath("t.l2")}, {QString::fromStdString(SampleDir() + "/coast.pal")}};
        bool enabledAtPalette = true;
        m_choices->whileAsking = [&] {
            if (m_choices->fileQuestions.size() == 1) enabledAtPalette = m_window->isEnabled();
        };
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->fileQuestions.value(1).title, QString("Open Paint Shop Pro palette File"));
        QVERIFY2(!enabledAtPalette, "the progress dialog is up");
        QCOMPARE(FilesIn(m_dir->path()), QStringList({"t.l2", "t.map", "t.o2"}));
    }

    void generateRefusesToReplaceWhatItReads() {
        const QString sample = QString::fromStdString(SampleDir() + "/coast");
        for (const auto& [from, to] : {std::pair{".hdr", "t.l2.hdr"}, {".bin", "t.l2.bin"}, {".pal", "t.map"}}) {
            QVERIFY(QFile::copy(sample + from, m_dir->filePath(to)));
        }
        QVERIFY(m_window->OpenFile(m_dir->filePath("t.l2.hdr")).ok());
        const struct {
            QString terrain;
            bool map;
            QString refusal;
        } cases[] = {{"t.l2.hdr", false, "t.l2.hdr is the DEM header"},
                     {"t.l2.bin", false, "t.l2.bin is the DEM raster"},
                     {"t.l2", true, "t.map is the palette"}};
        for (const auto& c : cases) {
            m_choices->messages.clear();
            m_choices->buildOptions = [map = c.map](BuildOptions& options) { options.map = map; };
            m_choices->files = {{m_dir->filePath(c.terrain)}, {m_dir->filePath("t.map")}};
            m_window->action(kGenerateTerrain)->trigger();
            QCOMPARE(m_choices->messages.size(), 1);
            QVERIFY2(m_choices->messages[0].text.contains(c.refusal + " this run reads"),
                     qPrintable(m_choices->messages[0].text));
        }
        QCOMPARE(FilesIn(m_dir->path()), QStringList({"t.l2.bin", "t.l2.hdr", "t.map"}));
    }

    void generateRefusesALayoutWithoutSegmentsBeforeAnyDialog() {
        GuiDocument document;
        QVERIFY(document.Open(SampleHeader()).ok());
        TheaterLayout layout;
        layout.OnDocumentUpdate(document.doc());
        layout.OnInitialUpdate();
        layout.SetSegmentsX("0");
        TerrainResults results;
        CRandom random;
        QWidget window;
        QVERIFY(!GenerateTerrain({document.doc(), layout, HeightTable(), ObjectiveRuleSet(), results}, random,
                                 {&window, *m_choices}));
        QCOMPARE(m_choices->messages.size(), 1);
        QCOMPARE(m_choices->messages[0].parent, &window);
        QVERIFY(m_choices->offeredOptions.isEmpty());
    }

    void theImportDialogsEntriesMakeTheOptionsOrAreRefusedAtTheirBox() {
        ImportDemDialog dialog(*m_choices);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        m_choices->files = {{"/d/a.tif", "/d/b.tif"}, {"/d/b.tif", "/d/c.tif"}, {"/out/made.hdr"}};
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
            m_choices->messages.clear();
            for (int i = 0; i < 5; ++i) SetText(&dialog, boxes[i], c.entries[i]);
            SetText(&dialog, "outputEdit", c.output);
            dialog.setResult(QDialog::Rejected);
            dialog.accept();
            QVERIFY2(dialog.result() == QDialog::Rejected && dialog.isVisible(), qPrintable(c.message));
            QCOMPARE(m_choices->messages.value(0).text, c.message);
            QCOMPARE(m_choices->messages[0].parent, &dialog);
            QCOMPARE(dialog.focusWidget()->objectName(), c.focus);
        }
        for (const char* box : boxes) SetText(&dialog, box, "");
        SetText(&dialog, "outputEdit", "/out/made.hdr");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.options().sources, (std::vector<std::string>{"/d/a.tif", "/d/c.tif"}));
        QCOMPARE(dialog.options().output, std::string("/out/made.hdr"));
        QVERIFY(!dialog.options().bounds && !dialog.options().spacing);

        for (const auto& [box, text] : {std::pair{"westEdit", " -5.25"}, {"southEdit", "-44"}, {"eastEdit", "190"},
                                        {"northEdit", "1e1 "}, {"spacingEdit", "0.0083333"},
                                        {"titleEdit", " Alpes Maritimes "}}) {
            SetText(&dialog, box, text);
        }
        const QList<std::pair<QString, gdalio::Resampling>> resamplings = {
            {"Average", gdalio::Resampling::kAverage}, {"Nearest", gdalio::Resampling::kNearest},
            {"Cubic", gdalio::Resampling::kCubic}, {"Bilinear", gdalio::Resampling::kBilinear}};
        m_choices->messages.clear();
        for (const auto& [text, resampling] : resamplings) {
            dialog.findChild<QComboBox*>("resamplingCombo")->setCurrentText(text);
            dialog.accept();
            QVERIFY2(dialog.options().resampling == resampling, qPrintable(text));
        }
        QVERIFY(m_choices->messages.isEmpty());
        const gdalio::GeoBounds bounds = dialog.options().bounds.value_or(gdalio::GeoBounds{});
        QCOMPARE(QList<double>({bounds.west, bounds.south, bounds.east, bounds.north}), QList<double>({-5.25, -44, 190, 10}));
        QCOMPARE(dialog.options().spacing.value_or(0), 0.0083333);
        QCOMPARE(dialog.options().title, std::string("Alpes Maritimes"));
    }

    void anImportOpensTheDemItWrote() {
        const QString tif = QString::fromStdString(
            WriteGeoTiff(m_dir->filePath("in.tif").toStdString(), TestRaster().Values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
        const QString output = m_dir->filePath("made.hdr");
        FillAndPressOk(*m_choices, {tif}, output, [](ImportDemDialog* dialog) { SetText(dialog, "titleEdit", "Made"); });
        ProgressWatch progress;
        m_window->action(kImportDem)->trigger();
        QVERIFY(m_choices->messages.isEmpty());
        QVERIFY(progress.shown);
        QVERIFY(m_window->isEnabled() && !QApplication::overrideCursor());
        QVERIFY(m_window->activeView());
        QCOMPARE(m_window->activeView()->document()->path(), output);
        QCOMPARE(m_window->activeView()->document()->doc().header().file_title, std::string("Made"));
        QCOMPARE(m_window->recentFiles().value(0), output);
        QVERIFY2(m_window->statusBar()->currentMessage().startsWith("Imported " + output + ": 12 posts, 0% without data"),
                 qPrintable(m_window->statusBar()->currentMessage()));

        // An output open in a window is refused, and the dialog comes back as it was left.
        FillAndPressOk(*m_choices, {tif}, output);
        QStringList sourcesAgain;
        AnswerNextModal<ImportDemDialog>([&](ImportDemDialog* dialog) {
            sourcesAgain << dialog->findChild<QListWidget*>("sourceList")->item(0)->text();
            dialog->reject();
        });
        m_window->action(kImportDem)->trigger();
        QCOMPARE(m_choices->messages.value(0).text,
                 output + " is open in a window. Close it before importing over it, or choose another output header.");
        QCOMPARE(sourcesAgain, QStringList({tif}));
        QCOMPARE(m_window->documents().documents().size(), 1);
    }

    void aFailedOrCancelledImportLeavesNothing() {
        const QString junk = m_dir->filePath("junk.tif");
        WriteText(junk, "no raster here\n");
        QTemporaryDir out;
        FillAndPressOk(*m_choices, {junk}, out.filePath("bad.hdr"));
        m_window->action(kImportDem)->trigger();
        QCOMPARE(m_choices->messages.size(), 1);
        QVERIFY2(m_choices->messages[0].text.contains(junk), qPrintable(m_choices->messages[0].text));
        QCOMPARE(m_choices->messages[0].parent, m_window.get());

        const QString tif = QString::fromStdString(WriteGeoTiff(m_dir->filePath("big.tif").toStdString(), TestRaster().Size(1000, 500)));
        FillAndPressOk(*m_choices, {tif}, out.filePath("cancelled.hdr"));
        m_choices->yesNo = {true};
        ProgressWatch cancel(true);
        m_window->action(kImportDem)->trigger();
        QVERIFY(cancel.shown);
        QCOMPARE(m_choices->questions, QStringList({"Cancel?"}));
        QCOMPARE(m_choices->messages.size(), 1);
        QVERIFY(!m_window->activeView());
        QVERIFY(QDir(out.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    void vectorLayersLoadUnderTheirRuleOrTheOneChosen() {
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
        const QString named = WritePlaces(m_dir->filePath("pppoint.geojson"), 3);
        const QString unnamed = WritePlaces(m_dir->filePath("places.geojson"), 4);
        const QString junk = m_dir->filePath("junk.geojson");
        WriteText(junk, "{ this is not JSON");
        const auto& features = m_window->activeView()->document()->doc().features();
        const std::int32_t label = 5;
        QCOMPARE(g_e00Rules[label].Keyword, std::string("LABEL"));

        m_choices->files = {{unnamed}, {named}, {unnamed}, {junk, unnamed}};
        m_window->action(kLoadVectorData)->trigger();
        QCOMPARE(m_choices->ruleQuestions, QStringList({"places"}));
        QVERIFY(features.empty());

        m_window->action(kLoadVectorData)->trigger();
        QCOMPARE(m_choices->ruleQuestions.size(), 1);
        QCOMPARE(features.size(), std::size_t{3});
        QCOMPARE(features[0].ruleIndex, label);
        m_window->action(kDeleteFeatures)->trigger();

        m_choices->rulesChosen = {label - 1, label};
        m_window->action(kLoadVectorData)->trigger();
        m_window->action(kLoadVectorData)->trigger();
        QCOMPARE(features.size(), std::size_t{8});
        QCOMPARE(features[0].ruleIndex, label - 1);
        QCOMPARE(features[7].ruleIndex, label);
        QCOMPARE(m_choices->messages.size(), 1);  // the file GDAL cannot read, by name
        QVERIFY2(m_choices->messages[0].text.contains(junk), qPrintable(m_choices->messages[0].text));
        QCOMPARE(m_window->statusBar()->findChild<QLabel*>("featuresPane")->text(), QString("8 features"));
    }

    void cancelEndsTheVectorLayerItInterrupts() {
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
        constexpr int kPlaces = 20000;  // enough that the press comes while the layers load
        const QString named = WritePlaces(m_dir->filePath("pppoint.geojson"), kPlaces);
        m_choices->files = {{named, named}};
        m_choices->yesNo = {true};
        ProgressWatch cancel(true, "Processing");
        m_window->action(kLoadVectorData)->trigger();
        QVERIFY(cancel.pressed);
        QCOMPARE(m_choices->questions, QStringList({"Cancel?"}));
        const std::size_t loaded = m_window->activeView()->document()->doc().features().size();
        QVERIFY2(loaded >= kPlaces && loaded < 2 * kPlaces, qPrintable(QString::number(loaded)));
    }

    // GDAL waits in an open that never returns: Cancel ends the command all the same, and
    // the window is the user's again.
    void cancelEndsALoadThatWaitsOnInput() {
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
        static WaitingFiles* waiting = new WaitingFiles;  // GDAL keeps its handlers
        m_choices->files = {{"/vsiwaiting/rivers.geojson"}};
        m_choices->yesNo = {true};
        ProgressWatch cancel(true);
        m_window->action(kLoadVectorData)->trigger();
        QVERIFY(cancel.pressed && waiting->waiting());
        QVERIFY(m_window->isEnabled());
        QVERIFY(m_window->activeView()->document()->doc().features().empty());
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
            for (int i = 0; i < 2; ++i) QTest::mouseClick(cancel, Qt::LeftButton);
            QVERIFY(dialog.CheckCancelButton());
            QVERIFY2(!dialog.CheckCancelButton(), "two presses before a poll are one");
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.CheckCancelButton());
            QVERIFY(!dialog.close());
            QVERIFY(dialog.isVisible() && dialog.CheckCancelButton());

            // A press is asked about; No goes on.
            GuiPrompts prompts(*m_choices, &dialog);
            m_choices->yesNo = {false, true};
            QVERIFY(!ConfirmCancel(dialog, prompts));
            QVERIFY(m_choices->questions.isEmpty());
            QTest::mouseClick(cancel, Qt::LeftButton);
            QVERIFY(!ConfirmCancel(dialog, prompts));
            QTest::mouseClick(cancel, Qt::LeftButton);
            QVERIFY(ConfirmCancel(dialog, prompts));
            QCOMPARE(m_choices->questions.size(), 2);
        }
        QVERIFY(owner.isEnabled());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedChoices> m_choices;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::CommandsTest)
#include "CommandsTest.moc"
