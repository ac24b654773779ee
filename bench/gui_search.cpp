// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-gui-search CFG WORD: the search flow as the user runs it on the catalogue of CFG's
// directory. Prints the wall time of a string search for WORD with path lines shown and
// sorted (scan, sort, progress window, list filled and painted) and the longest time the
// event loop went without running meanwhile, then the same for a block search, and the
// time of opening the directory viewer on the last block (read from the file), each with
// what it listed.
#include "bench/gui_bench.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {
struct Run {
    double seconds = 0;   // the click until the list is painted
    double blockedMs = 0; // the longest stretch without the event loop running
};

// Clicks `button` of the search screen with a 2 ms timer running, then lets the window
// settle: the gaps between the timer's ticks are where the event loop was blocked.
Run timed_click(const QString& button) {
    QElapsedTimer since;
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = since.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    since.start();
    tick.start();
    QElapsedTimer t;
    t.start();
    screen_control<QPushButton>(ScreenSearchData, button)->click();
    // The list is laid out and painted at the next turn of the event loop.
    QCoreApplication::processEvents();
    Run r;
    r.seconds = t.nsecsElapsed() / 1e9;
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    r.blockedMs = longest / 1e6;
    return r;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 3) {
        std::fprintf(stderr, "usage: tobrin-gui-search CFG WORD\n");
        return 2;
    }
    start_gui_bench(argv[1]);
    open_screen(ScreenSearchData);
    auto* list = screen_control<QListView>(ScreenSearchData, QStringLiteral("List1"));
    screen_control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_1"))
        ->setText(QString::fromLocal8Bit(argv[2]));
    screen_control<QCheckBox>(ScreenSearchData, QStringLiteral("Check2"))->setChecked(true);
    screen_control<QCheckBox>(ScreenSearchData, QStringLiteral("Check3"))->setChecked(true);
    const Run string = timed_click(QStringLiteral("Command2"));
    const int stringLines = list->model()->rowCount();
    const Run block = timed_click(QStringLiteral("Command5"));
    const int blocks = list->model()->rowCount();

    // The last block in file order: the viewer reads the whole file to reach it.
    int last = -1, lastBlock = 0;
    for (int i = 0; i < blocks; ++i)
        if (const int b = std::abs(list->model()->index(i, 0).data(Qt::UserRole).toInt());
            b > lastBlock) {
            last = i;
            lastBlock = b;
        }
    list->setCurrentIndex(list->model()->index(last, 0));
    emit list->doubleClicked(list->currentIndex());
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    screen_control<QPushButton>(ScreenHeaderDisp, QStringLiteral("Command4"))->click();
    const double tView = t.nsecsElapsed() / 1e9;
    auto* dirs = screen_control<QPlainTextEdit>(ScreenDispDirectory, QStringLiteral("Text1"));
    const int viewed = dirs ? dirs->document()->blockCount() : -1;
    std::printf("string_lines\t%d\nstring_seconds\t%.3f\nstring_blocked_ms\t%.1f\n"
                "blocks\t%d\nblock_seconds\t%.3f\nblock_blocked_ms\t%.1f\n"
                "viewer_dirs\t%d\nviewer_seconds\t%.3f\n",
                stringLines, string.seconds, string.blockedMs, blocks, block.seconds,
                block.blockedMs, viewed, tView);
    std::fflush(stdout);
    std::_Exit(stringLines > 0 && blocks > 0 && viewed > 0 ? 0 : 1);
}
