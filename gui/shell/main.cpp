#include "gui/shell/DialogChoices.h"
#include "gui/shell/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>

// gridwright [DEM.hdr...] | --version: the desktop program, with the headers named opened
// in windows of their own. A header that cannot be opened ends the program: the reason
// goes to stderr and the exit status is 1.
int main(int argc, char** argv) {
    // --version answers at once, without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("gridwright " GRIDWRIGHT_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orvane");
    QApplication::setApplicationName("Gridwright");

    QCommandLineParser parser;
    parser.setApplicationDescription("Turns a DEM and E00 map layers into the files of a flight-simulation theater.");
    parser.addHelpOption();
    parser.addOption(QCommandLineOption("version", "Print the version and exit."));
    parser.addPositionalArgument("DEM.hdr", "DEM header files to open, each in a window of its own", "[DEM.hdr...]");
    parser.process(app);
    gw::DialogChoices choices;
    gw::MainWindow window(choices);
    if (const gw::Status opened = window.OpenFiles(parser.positionalArguments()); !opened.ok()) {
        std::fprintf(stderr, "gridwright: %s\n", opened.message().c_str());
        return 1;
    }
    window.show();
    return QApplication::exec();
}
