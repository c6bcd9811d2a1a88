// Times the theater form on the offscreen platform:
// - one drag step on the map preview: the pointer moves over the picture, the form's
//   rule moves the centre, the layout is recalculated, the boxes are refreshed and the
//   picture with its overlay and new outline is painted (sample DEM, and the DCW
//   features when the shared data are present);
// - opening a 1 GB DEM (24000 rows of 22000 posts, a sparse raster) until its form is
//   painted: the document opens, the view builds its 400-pixel picture and the window
//   paints. Each run opens a raster file of its own, never read before.
//
//   bench_view [--benchmark_... options]

#include "core/progress/ProgressState.h"
#include "gui/common/GuiDocument.h"
#include "core/features/E00Rules.h"
#include "gui/layout/GridwrightView.h"
#include "gui/layout/MapPreviewWidget.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <memory>

namespace {

struct QuietPrompts : gw::UserPrompts {
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
};

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void BM_DragStep(benchmark::State& state) {
    const gw::E00Rules rules = gw::BuiltInE00Rules();
    gw::GuiDocument document(rules);
    if (!document.Open(QStringLiteral(GRIDWRIGHT_SAMPLE_DIR "/coast.hdr")).ok()) {
        state.SkipWithError("cannot open the sample DEM");
        return;
    }
    QStringList e00;
    for (const char* name : {"dnnet.e00", "ponet.e00", "pppoint.e00", "aepoint.e00"}) {
        const QString path = QStringLiteral(GRIDWRIGHT_SHARED_DATA "/e00/dcw/") + QLatin1String(name);
        if (QFile::exists(path)) e00 << path;
    }
    gw::NullProgress progress;
    QuietPrompts prompts;
    if (!e00.isEmpty()) document.LoadE00Files(e00, progress, prompts);

    gw::CGridwrightView view(&document);
    view.show();
    QApplication::processEvents();
    gw::MapPreviewWidget* preview = view.mapPreview();
    SendMouse(preview, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        // Along a diagonal, one pixel a step: every step moves the outline.
        const int offset = step++ % 200;
        SendMouse(preview, QEvent::MouseMove, {100 + offset, 50 + offset}, Qt::LeftButton);
        preview->repaint();
    }
    SendMouse(preview, QEvent::MouseButtonRelease, {100, 100}, Qt::NoButton);
    state.counters["features"] = static_cast<double>(document.doc().features().size());
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

// A DEM header for 24000 rows of 22000 posts over 22 x 24 degrees, and a sparse raster
// of the right length (1,056,000,000 bytes).
bool WriteLargeDem(const QString& header, const QString& raster) {
    QFile text(header);
    if (!text.open(QIODevice::WriteOnly)) return false;
    text.write("file_title = large\nleft_map_x = 0\nright_map_x = 22\nupper_map_y = 50\nlower_map_y = 26\n"
               "number_of_rows = 24000\nnumber_of_columns = 22000\nelev_m_unit = meters\n");
    text.close();
    QFile bin(raster);
    return bin.open(QIODevice::WriteOnly) && bin.resize(qint64{2} * 24000 * 22000);
}

void BM_OpenLargeDemToPaint(benchmark::State& state) {
    QTemporaryDir dir;
    const gw::E00Rules rules = gw::BuiltInE00Rules();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = dir.filePath(QStringLiteral("large%1").arg(run++));
        if (!WriteLargeDem(name + QStringLiteral(".hdr"), name + QStringLiteral(".bin"))) {
            state.SkipWithError("cannot write the large DEM");
            break;
        }
        state.ResumeTiming();

        auto document = std::make_unique<gw::GuiDocument>(rules);
        if (!document->Open(name + QStringLiteral(".hdr")).ok()) {
            state.SkipWithError("cannot open the large DEM");
            break;
        }
        auto view = std::make_unique<gw::CGridwrightView>(document.get());
        view->show();
        view->repaint();

        state.PauseTiming();
        view.reset();
        document.reset();
        QFile::remove(name + QStringLiteral(".hdr"));
        QFile::remove(name + QStringLiteral(".bin"));
        state.ResumeTiming();
    }
    state.counters["raster_GB"] = 2.0 * 24000 * 22000 / 1e9;
}
BENCHMARK(BM_OpenLargeDemToPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
