// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin: the desktop program. Its one optional argument is the configuration file's path.
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

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program ends only through the exit question, never because a screen closed
    // on the way to the next one.
    app.setQuitOnLastWindowClosed(false);
    // Lets the desktop match the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tobrin"));
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
