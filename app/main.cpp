// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin: the desktop program. Its one optional argument is the configuration file's path;
// --help and --version alone are answered without a window.
#include "core/config_template.h"
#include "core/startup.h"
#include "core/state.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include "ui/navigation.h"
#include "ui/translation.h"
#include <QApplication>
#include <QDir>
#include <QFont>
#include <cstdio>
#include <string_view>

namespace {
// --help and --version, alone on the command line, are answered on stdout without a
// window; every other command line is the configuration path.
bool answered(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string_view a = argv[1];
    if (a == "--version" || a == "-v") {
        std::fputs("tobrin " TOBRIN_VERSION "\n", stdout);
    } else if (a == "--help" || a == "-h") {
        std::fputs("Usage: tobrin [CONFIG]\n"
                   "Catalogues the directory trees of storage media and searches them; "
                   "the windows are Japanese.\n\n"
                   "  CONFIG         the configuration file to read instead of tobrin.cfg in "
                   "the\n"
                   "                 current directory (the words are taken together as "
                   "one path)\n"
                   "  -h, --help     show this help and exit\n"
                   "  -v, --version  show the version and exit\n\n"
                   "\"man tobrin\" tells more; tobrin-cli registers and searches from a "
                   "terminal.\n",
                   stdout);
    } else {
        return false;
    }
    return std::fflush(stdout) == 0;
}
} // namespace

int main(int argc, char** argv) {
    if (answered(argc, argv)) return 0;
    QApplication app(argc, argv);
    // The program ends only through the exit question, never because a screen closed
    // on the way to the next one.
    app.setQuitOnLastWindowClosed(false);
    // Lets the desktop match the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TOBRIN_APP_ID));
    install_font_substitutions();
    install_qt_translation();
    GuiSeam gui;
    set_seam(&gui);
    // The argument is taken whole, as one text (a path with blanks needs no quotes).
    const QString argument = app.arguments().mid(1).join(u' ');
    // The menu entry starts the program in ~/Tobrin: the first start there finds a commented
    // configuration to edit instead of message 071. Elsewhere nothing is written.
    write_first_config(QDir::currentPath(), QDir::homePath(), argument);
    startup(argument);
    QFont font(G.FontName, G.FontSize);
    QApplication::setFont(font); // message boxes and the controls no screen sets
    open_screen(ScreenMenu1);
    return app.exec();
}
