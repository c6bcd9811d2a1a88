// gui_progress_snapshot OUT.png: the progress dialog as a Generate run shows it part
// way through its terrain file, saved as a picture (for scripts/screenshots.sh; a real
// run on the sample is over before a screenshot could be taken).

#include "gui/common/ProgressDialog.h"

#include <QApplication>
#include <QMainWindow>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    QMainWindow owner;
    owner.resize(1000, 700);
    owner.show();
    gw::ProgressDialog dialog(&owner);
    dialog.Create();
    gw::BeginJob(dialog, 64, "Generating L2 file");
    for (int i = 0; i < 27; ++i) dialog.StepIt();
    QApplication::processEvents();
    return dialog.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
