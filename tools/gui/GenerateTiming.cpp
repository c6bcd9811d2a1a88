// gui_generate_timing DEM.hdr OUT.l2 SEGMENTS: times the desktop program's Generate
// Terrain (its progress dialog over the main window, on the offscreen platform) for a
// square theater of SEGMENTS x SEGMENTS segments with the default build options, and
// prints the milliseconds it took. scripts/gui_generate_timing.sh sets it against
// gridwright-cli generate.

#include "gui/common/GuiDocument.h"
#include "gui/common/UserChoices.h"
#include "gui/shell/MainWindow.h"
#include "gui/generate/GenerateCommand.h"
#include "gui/layout/GridwrightView.h"
#include "core/layout/TheaterLayout.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

// The user's answers for the run: the default build options, the terrain file named on the
// command line; messages go to the standard error, and every other question is cancelled.
class TimingChoices : public gw::UserChoices {
public:
    explicit TimingChoices(QString terrainFile) : m_terrainFile(std::move(terrainFile)) {}
    void ShowMessage(QWidget*, const QString& text, MessageKind) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    QString ChooseOpenFile(QWidget*, const gw::FileQuestion&) override { return {}; }
    QStringList ChooseOpenFiles(QWidget*, const gw::FileQuestion&) override { return {}; }
    QString ChooseSaveFile(QWidget*, const gw::FileQuestion&) override { return m_terrainFile; }
    SaveAnswer AskSaveChanges(QWidget*, const QString&) override { return SaveAnswer::kDiscard; }
    bool EditBuildOptions(QWidget*, gw::BuildOptions&) override { return true; }
    std::optional<std::uint32_t> ChooseColour(QWidget*, std::uint32_t) override { return std::nullopt; }
    std::optional<std::int32_t> ChooseE00Rule(QWidget*, const QString&, const QString&, const gw::E00Rules&) override {
        return std::nullopt;
    }
    bool OpenUrl(const QUrl&) override { return false; }
    void ShowTheaterBuilt(QWidget*, const gw::TheaterSummary&, const QString&) override {}
    void Beep() override {}

private:
    QString m_terrainFile;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: gui_generate_timing DEM.hdr OUT.l2 SEGMENTS\n", stderr);
        return 2;
    }
    TimingChoices choices(QString::fromLocal8Bit(argv[2]));
    gw::MainWindow window(choices);
    window.show();
    if (const gw::Status opened = window.OpenFile(argv[1]); !opened.ok()) {
        std::fprintf(stderr, "%s\n", opened.message().c_str());
        return 1;
    }
    gw::CGridwrightView* view = window.activeView();
    gw::TheaterLayout layout = view->layout();
    layout.SetSegmentsX(argv[3]);
    gw::CRandom random;

    QElapsedTimer timer;
    timer.start();
    const auto report = gw::GenerateTerrain(
        {view->document()->doc(), layout, view->heights(), view->document()->rules(), view->objectiveRules(),
         view->results(), view->generateChoices()}, random,
        {&window, choices});
    const qint64 elapsed = timer.elapsed();
    if (!report || !report->complete()) {
        std::fputs("the run did not complete\n", stderr);
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(elapsed));
    return 0;
}
