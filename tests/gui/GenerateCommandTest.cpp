#include "tests/gui/GuiTestData.h"
#include "tests/gui/ScriptedChoices.h"
#include "gui/shell/CommandIds.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "tests/features/E00Text.h"
#include "gui/generate/GenerateCommand.h"
#include "gui/layout/GridwrightView.h"
#include "core/layout/HeightTable.h"
#include "core/layout/TheaterLayout.h"
#include "core/objectives/ObjectiveRules.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace gw::test {
namespace {

using namespace command;

QStringList FilesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }

// Tries a Generate run over a layout the writers cannot build.
void ExpectRefused(const GuiDocument& document, const std::function<void(TheaterLayout&)>& change) {
    TheaterLayout layout;
    layout.OnDocumentUpdate(document.doc());
    layout.OnInitialUpdate();
    change(layout);
    const HeightTable heights;
    const ObjectiveRuleSet rules;
    TerrainResults results;
    CRandom random;
    ScriptedChoices choices;
    QWidget window;
    const auto report = GenerateTerrain({document.doc(), layout, heights, rules, results}, random, {&window, choices});
    QVERIFY(!report);
    QCOMPARE(choices.messages.size(), 1);
    QCOMPARE(choices.messages[0].parent, &window);
    QVERIFY(choices.offeredOptions.isEmpty());
    QVERIFY(choices.fileQuestions.isEmpty());
}

}  // namespace

class GenerateCommandTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_choices = std::make_unique<ScriptedChoices>();
        m_window = std::make_unique<MainWindow>(*m_choices);
        QVERIFY(m_window->OpenFile(SampleHeader()).ok());
    }
    void cleanup() {
        m_window.reset();
        m_choices.reset();
        m_dir.reset();
    }

    void aLayoutWithoutSegmentsOrResolutionIsRefusedBeforeAnyDialog() {
        GuiDocument document;
        QVERIFY(document.Open(SampleHeader()).ok());
        ExpectRefused(document, [](TheaterLayout& layout) { layout.SetSegmentsX("0"); });
        ExpectRefused(document, [](TheaterLayout& layout) { layout.OnResolutionChanged("0"); });
        ExpectRefused(document, [](TheaterLayout& layout) { layout.OnResolutionChanged("-0.5"); });
    }

    void theBuildOptionsStartFromTheDefaultsAndTheFeatures() {
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->offeredOptions.size(), 1);
        const BuildOptions offered = m_choices->offeredOptions[0];
        QVERIFY(offered.mea && offered.description);
        QVERIFY(!offered.map && !offered.large && !offered.tdf && !offered.objectives);
        QVERIFY2(m_choices->fileQuestions.isEmpty(), "cancelled at the Build Terrain dialog");

        const QString rivers = m_dir->filePath("rivers.e00");
        WriteText(rivers, QByteArray::fromStdString(LineCoverage("/DATA/DNNET.E00", {{{11, 42}, {12, 43}}})));
        m_choices->files = {{rivers}};
        m_window->action(kLoadE00File)->trigger();
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->offeredOptions.size(), 2);
        QVERIFY(m_choices->offeredOptions[1].tdf);
    }

    void theTerrainFileIsChosenInCreateL2File() {
        m_choices->buildOptions = [](BuildOptions&) {};
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->fileQuestions.size(), 1);
        QCOMPARE(m_choices->fileQuestions[0].title, QString("Create L2 File"));
        QCOMPARE(m_choices->fileQuestions[0].filters, QStringList({"L2 files (*.l2)", "All Files (*)"}));
        QCOMPARE(m_choices->fileQuestions[0].defaultSuffix, QString("l2"));
        QVERIFY(m_choices->messages.isEmpty());
    }

    void theChosenFilesAreWritten() {
        m_choices->buildOptions = [](BuildOptions&) {};
        m_choices->files = {{m_dir->filePath("t.l2")}};
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(FilesIn(m_dir->path()), QStringList({"t.l2", "t.mea", "t.o2", "t.txt"}));
        QVERIFY(m_choices->messages.isEmpty());
        QVERIFY(m_window->isEnabled());
        QVERIFY(m_window->activeView()->results().m_highestPoint > 0);
    }

    void theMapFileAsksForItsPaletteDuringTheRun() {
        m_choices->buildOptions = [](BuildOptions& options) {
            options.map = true;
            options.mea = false;
            options.description = false;
        };
        m_choices->files = {{m_dir->filePath("t.l2")}, {QStringLiteral(GRIDWRIGHT_SAMPLE_DIR "/coast.pal")}};
        bool enabledAtPalette = true;
        m_choices->whileAsking = [&] {
            if (m_choices->fileQuestions.size() == 1) enabledAtPalette = m_window->isEnabled();
        };
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->fileQuestions.size(), 2);
        QCOMPARE(m_choices->fileQuestions[1].title, QString("Open Paint Shop Pro palette File"));
        QCOMPARE(m_choices->fileQuestions[1].filters, QStringList({"PAL files (*.pal)", "All Files (*)"}));
        QCOMPARE(m_choices->fileQuestions[1].defaultSuffix, QString("pal"));
        QVERIFY2(!enabledAtPalette, "the progress dialog is up");
        QCOMPARE(FilesIn(m_dir->path()), QStringList({"t.l2", "t.map", "t.o2"}));
    }

    void aNameWithoutL2IsRefused() {
        m_choices->buildOptions = [](BuildOptions&) {};
        m_choices->files = {{m_dir->filePath("t.dat")}};
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->messages.size(), 1);
        QVERIFY2(m_choices->messages[0].text.contains("t.dat: the terrain file's name must contain \".l2\""),
                 qPrintable(m_choices->messages[0].text));
        QCOMPARE(m_choices->messages[0].parent, m_window.get());
        QVERIFY(FilesIn(m_dir->path()).isEmpty());
    }

    void anUpperCaseL2WritesTheTileAndIndexFilesAndSaysSo() {
        m_choices->buildOptions = [](BuildOptions&) {};
        m_choices->files = {{m_dir->filePath("T.L2")}};
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(FilesIn(m_dir->path()), QStringList({"T.L2", "T.o2"}));
        QCOMPARE(m_choices->messages.size(), 1);
        QVERIFY(m_choices->messages[0].text.startsWith("Only the tile and index files were written"));
    }

    void aFailedRunSaysWhy() {
        m_choices->buildOptions = [](BuildOptions&) {};
        m_choices->files = {{m_dir->filePath("gone/t.l2")}};
        m_window->action(kGenerateTerrain)->trigger();
        QCOMPARE(m_choices->messages.size(), 1);
        QVERIFY2(m_choices->messages[0].text.contains("t.l2"), qPrintable(m_choices->messages[0].text));
        QVERIFY(m_window->isEnabled());
        QVERIFY(FilesIn(m_dir->path()).isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedChoices> m_choices;
    std::unique_ptr<MainWindow> m_window;
};

}  // namespace gw::test

QTEST_MAIN(gw::test::GenerateCommandTest)
#include "GenerateCommandTest.moc"
