// gui_generate_timing DEM.hdr OUT.l2 SEGMENTS: times the desktop program's Generate
// Terrain (its progress dialog over the main window, on the offscreen platform) for a
// square theater of SEGMENTS x SEGMENTS segments with the default build options, and
// prints the milliseconds it took. scripts/gui_generate_timing.sh sets it against
// gridwright-cli generate.

#include "tests/gui/ScriptedChoices.h"
#include "gui/common/GuiDocument.h"
#include "gui/shell/MainWindow.h"
#include "gui/generate/GenerateCommand.h"
#include "gui/layout/GridwrightView.h"
#include "core/layout/TheaterLayout.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: gui_generate_timing DEM.hdr OUT.l2 SEGMENTS\n", stderr);
        return 2;
    }
    gw::test::ScriptedChoices choices;
    gw::MainWindow window(choices);
    window.show();
    if (const gw::Status opened = window.OpenFile(argv[1]); !opened.ok()) {
        std::fprintf(stderr, "%s\n", opened.message().c_str());
        return 1;
    }
    gw::CGridwrightView* view = window.activeView();
    gw::TheaterLayout layout = view->layout();
    layout.SetSegmentsX(argv[3]);
    choices.buildOptions = [](gw::BuildOptions&) {};
    choices.files = {{QString::fromLocal8Bit(argv[2])}};
    gw::CRandom random;

    QElapsedTimer timer;
    timer.start();
    const auto report = gw::GenerateTerrain(
        {view->document()->doc(), layout, view->heights(), view->objectiveRules(), view->results()}, random,
        {&window, choices});
    const qint64 elapsed = timer.elapsed();
    if (!report || !report->complete()) {
        std::fputs("the run did not complete\n", stderr);
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(elapsed));
    return 0;
}
