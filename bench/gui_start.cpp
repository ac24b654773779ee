// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-gui-start [CFG]: starts as the desktop program does and ends at the first paint
// of the main menu; with "--bare", ends at the first paint of a bare Qt window instead. The
// two whole processes timed side by side tell what Tobrin's start-up adds to Qt's.
#include "bench/gui_bench.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QLabel>
#include <cstdlib>

namespace {
// Ends the process at the first paint of the watched window.
struct FirstPaint : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) std::_Exit(0);
        return false;
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    FirstPaint first;
    const QString arg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (arg == QLatin1String("--bare")) {
        static QLabel bare(QStringLiteral("Tobrin"));
        bare.installEventFilter(&first);
        bare.show();
    } else {
        start_gui_bench(argc > 1 ? argv[1] : "");
        ScreenWindow* menu = open_screen(ScreenMenu1);
        menu->installEventFilter(&first);
    }
    return app.exec();
}
