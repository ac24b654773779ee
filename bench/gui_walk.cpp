// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-gui-walk CFG: starts the desktop program's screens on the configuration CFG,
// presses 取得開始 on the acquisition screen (drive from key 03) and prints the wall time
// of the acquisition as the user sees it (progress window, repaint, sort, list filled).
#include "bench/gui_bench.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tobrin-gui-walk CFG\n");
        return 2;
    }
    start_gui_bench(argv[1]);
    ScreenWindow* s = open_screen(ScreenSearchDir);
    auto* start = s->findChild<QPushButton*>(QStringLiteral("Command3"));
    QElapsedTimer t;
    t.start();
    start->click();
    const qint64 ms = t.elapsed();
    s = screen_instance(ScreenSearchDir);
    const int listed = s ? s->findChild<QListWidget*>(QStringLiteral("List1"))->count() : -1;
    std::printf("entries\t%d\nEntryCount\t%d\nseconds\t%.3f\n", listed, G.EntryCount, ms / 1000.0);
    std::fflush(stdout);
    std::_Exit(listed == G.EntryCount ? 0 : 1);
}
