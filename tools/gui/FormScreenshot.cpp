// Saves a picture of the theater form with a DEM open, to look at the form as a user
// sees it:   gui_form_screenshot DEM.hdr OUT.png [SEGMENTS [E00 files...]]
// SEGMENTS is typed into the Segments box; the E00 files load with the built-in rules.
#include "core/progress/ProgressState.h"
#include "gui/common/GuiDocument.h"
#include "gui/layout/GridwrightView.h"

#include "core/features/E00Rules.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QMainWindow>
#include <QStringList>

#include <cstdio>

namespace {

struct StderrPrompts : gw::UserPrompts {
    void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool AskYesNo(const std::string&) override { return false; }
    std::optional<std::string> ChoosePaletteFile() override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: gui_form_screenshot DEM.hdr OUT.png [E00...]\n");
        return 2;
    }
    const gw::E00Rules rules = gw::BuiltInE00Rules();
    gw::GuiDocument document(rules);
    if (const gw::Status opened = document.Open(QString::fromLocal8Bit(argv[1])); !opened.ok()) {
        std::fprintf(stderr, "%s\n", opened.message().c_str());
        return 1;
    }
    QMainWindow window;
    auto* view = new gw::CGridwrightView(&document, &window);
    window.setCentralWidget(view);
    window.setWindowTitle(document.title());
    QStringList e00Files;
    for (int i = 4; i < argc; ++i) e00Files << QString::fromLocal8Bit(argv[i]);
    if (!e00Files.isEmpty()) {
        gw::NullProgress progress;
        StderrPrompts prompts;
        document.LoadE00Files(e00Files, progress, prompts);
    }
    window.adjustSize();
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return 1;
    if (argc > 3) {
        auto* segments = view->findChild<QComboBox*>("segmentsXCombo");
        segments->setFocus();
        segments->lineEdit()->selectAll();
        QTest::keyClicks(segments, QString::fromLocal8Bit(argv[3]));
        view->findChild<QLineEdit*>("centerLatEdit")->setFocus();
    }
    QApplication::processEvents();
    if (!view->grab().save(QString::fromLocal8Bit(argv[2]))) return 1;
    return 0;
}
