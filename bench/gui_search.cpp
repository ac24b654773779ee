// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-gui-search CFG WORD: the search flow as the user runs it on the catalogue of CFG's
// directory. Prints the wall time of a string search for WORD with path lines shown and
// sorted (scan, sort, progress window, list filled), of a block search, and of opening the
// directory viewer on the last block (read from the file), each with what it listed.
#include "bench/gui_bench.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdio>

namespace {

double timed(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
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
    auto* list = screen_control<QListWidget>(ScreenSearchData, QStringLiteral("List1"));
    screen_control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_1"))
        ->setText(QString::fromLocal8Bit(argv[2]));
    screen_control<QCheckBox>(ScreenSearchData, QStringLiteral("Check2"))->setChecked(true);
    screen_control<QCheckBox>(ScreenSearchData, QStringLiteral("Check3"))->setChecked(true);
    const double tString = timed(
        [] { screen_control<QPushButton>(ScreenSearchData, QStringLiteral("Command2"))->click(); });
    const int stringLines = list->count();
    const double tBlock = timed(
        [] { screen_control<QPushButton>(ScreenSearchData, QStringLiteral("Command5"))->click(); });
    const int blocks = list->count();

    // The last block in file order: the viewer reads the whole file to reach it.
    int last = -1;
    for (int i = 0; i < list->count(); ++i)
        if (last < 0 || std::abs(list->item(i)->data(Qt::UserRole).toInt()) >
                            std::abs(list->item(last)->data(Qt::UserRole).toInt()))
            last = i;
    list->setCurrentRow(last);
    emit list->itemDoubleClicked(list->item(last));
    QCoreApplication::processEvents();
    const double tView = timed(
        [] { screen_control<QPushButton>(ScreenHeaderDisp, QStringLiteral("Command4"))->click(); });
    auto* dirs = screen_control<QPlainTextEdit>(ScreenDispDirectory, QStringLiteral("Text1"));
    const int viewed = dirs ? dirs->document()->blockCount() : -1;
    std::printf("string_lines\t%d\nstring_seconds\t%.3f\nblocks\t%d\nblock_seconds\t%.3f\n"
                "viewer_dirs\t%d\nviewer_seconds\t%.3f\n",
                stringLines, tString, blocks, tBlock, viewed, tView);
    std::fflush(stdout);
    std::_Exit(stringLines > 0 && blocks > 0 && viewed > 0 ? 0 : 1);
}
