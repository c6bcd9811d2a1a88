// gui_rule_choice_snapshot OUT.png: the Choose E00 Rule dialog as Load Vector Data shows
// it for a layer no rule names, over the built-in rules, saved as a picture (for
// scripts/screenshots.sh: the dialog only comes up part way through a load).

#include "gui/features/E00RuleChoiceDialog.h"

#include <QApplication>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    gw::E00RuleChoiceDialog dialog(QStringLiteral("places"), QStringLiteral("places.geojson"), gw::BuiltInE00Rules());
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
