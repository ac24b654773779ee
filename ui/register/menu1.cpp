// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/register/menu1.h"
#include "catalogue/writer.h"
#include "core/confirm.h"
#include "core/messages.h"
#include "core/seam.h"
#include "core/state.h"
#include "ui/navigation.h"
#include <QPushButton>
#include <algorithm>

Menu1Screen::Menu1Screen() : ScreenWindow(ScreenMenu1, QStringLiteral("menu1")) {
    struct Design {
        int left, top;
        const char16_t* caption;
    };
    // Command1..Command5 in name order; the tab order is 1, 2, 4, 5, 3.
    const Design d[5] = {{120, 120, u"ﾃﾞｨﾚｸﾄﾘ取得"},
                         {120, 960, u"見出し修正"},
                         {2160, 1800, u"終 了"},
                         {120, 1800, u"ﾃﾞｨﾚｸﾄﾘ登録"},
                         {2160, 120, u"ﾃﾞｨﾚｸﾄﾘ検索"}};
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = place<QPushButton>(QStringLiteral("Command%1").arg(i + 1), d[i].left,
                                         d[i].top, 1695, 495);
        buttons_[i]->setText(QString::fromUtf16(d[i].caption));
        buttons_[i]->setAutoDefault(true);
    }
    setTabOrder(button(1), button(2));
    setTabOrder(button(2), button(4));
    setTabOrder(button(4), button(5));
    setTabOrder(button(5), button(3));
    connect(button(1), &QPushButton::clicked, this, &Menu1Screen::acquire);
    connect(button(2), &QPushButton::clicked, this, &Menu1Screen::header_entry);
    connect(button(3), &QPushButton::clicked, this, &Menu1Screen::finish);
    connect(button(4), &QPushButton::clicked, this, &Menu1Screen::register_tree);
    connect(button(5), &QPushButton::clicked, this, &Menu1Screen::search);
}

void Menu1Screen::on_load() {
    setWindowTitle(G.WindowTitle + QStringLiteral("    メインメニュー"));
    if (G.ProgressFlags & 2) {
        button(2)->setText(QStringLiteral("見出し修正"));
        button(2)->show();
    } else if ((G.ProgressFlags & 1) && G.DirCount >= 1 && G.EntryCount >= 1) {
        button(2)->setText(QStringLiteral("見出し入力"));
        button(2)->show();
    } else {
        button(2)->hide();
    }
    button(4)->setVisible(G.ProgressFlags & 1);
    show_search_button();
}

void Menu1Screen::show_search_button() {
    const bool present = G.DataFileState == 1;
    button(5)->setEnabled(present);
    button(5)->setText(present ? QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ検索") : QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ無し"));
}

void Menu1Screen::acquire() {
    record_position();
    unload();
    open_screen(ScreenSearchDir);
}

void Menu1Screen::header_entry() {
    record_position();
    G.HeaderViewFromSearch = 0;
    G.SelectedResultLine.clear();
    unload();
    open_screen(ScreenHeaderInput);
}

void Menu1Screen::finish() {
    record_position();
    int16_t kind = 1;
    confirm(kind);
}

bool Menu1Screen::on_close_request() {
    // Closing the menu is ending the program: the same question as 終 了.
    finish();
    return false;
}

void Menu1Screen::register_tree() {
    if (!(G.ProgressFlags & 1)) {
        show_message(message_102());
        return;
    }
    if (!(G.ProgressFlags & 2)) {
        if (ask_question(message_103()) != AnswerYes) return;
        // No header was entered: the block gets empty headers with this acquisition's
        // volume label and drive, never what an earlier registration or search left.
        if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(std::max<int>(1, G.MaxHeaderBlocks));
        for (int k = 1; k <= HeaderFieldCount; ++k)
            G.HeaderTable(1, k).clear();
        G.HeaderTable(1, 8) = G.VolumeLabel;
        G.HeaderTable(1, 9) = G.CurrentDrive.left(1);
    }
    int16_t result = 1;
    write_data(result);
    if (result == 1) {
        G.ProgressFlags = 0;
        button(2)->hide();
        button(4)->hide();
        // The catalogue exists now, so it can be searched without reopening the menu.
        show_search_button();
    }
}

void Menu1Screen::search() {
    if (G.ProgressFlags != 0) {
        if (ask_question(forced_search_question()) != AnswerYes) return;
        G.ProgressFlags = 0;
    }
    record_position();
    unload();
    open_screen(ScreenSearchData);
}
