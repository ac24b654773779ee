// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/register/header_disp.h"
#include "catalogue/writer.h"
#include "core/confirm.h"
#include "core/messages.h"
#include "core/seam.h"
#include "core/state.h"
#include "ui/register/header_input.h"
#include "ui/navigation.h"
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>

HeaderDispScreen::HeaderDispScreen()
    : ScreenWindow(ScreenHeaderDisp, QStringLiteral("header_disp")) {
    // Label1(i): captions; Label2(k): field k in a sunken box (Label2(3) is a hidden
    // stand-in at the memo's place).
    struct Caption {
        const char16_t* text;
        int left, top, width;
    };
    const Caption c[9] = {{u"見出し１", 240, 120, 2892},   {u"見出し２", 240, 720, 2892},
                          {u"見出し３", 3360, 120, 4212},  {u"見出し６", 240, 3120, 2892},
                          {u"年", 1170, 1620, 300},        {u"月", 1970, 1620, 300},
                          {u"ドライブ", 2310, 1320, 1000}, {u"登録年月日", 240, 2520, 2892},
                          {u"Volume", 240, 1920, 2892}};
    for (int i = 0; i < 9; ++i)
        captions_[i] =
            place_label(QStringLiteral("Label1_%1").arg(i + 1), QString::fromUtf16(c[i].text),
                        c[i].left, c[i].top, c[i].width, 240);
    struct Field {
        int left, top, width;
    };
    const Field f[9] = {{240, 360, 2892},  {240, 960, 2892},  {3360, 360, 4212},
                        {240, 1560, 900},  {1500, 1560, 440}, {240, 3360, 2892},
                        {240, 2760, 2892}, {240, 2160, 2892}, {2310, 1560, 600}};
    for (int k = 0; k < 9; ++k) {
        fields_[k] = place_label(QStringLiteral("Label2_%1").arg(k + 1), QString(), f[k].left,
                                 f[k].top, f[k].width, 300);
        fields_[k]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        fields_[k]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        fields_[k]->setTextFormat(Qt::PlainText);
        fields_[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    memo_ = place<QPlainTextEdit>(QStringLiteral("Text1"), 3360, 360, 4212, 3300);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setTabChangesFocus(true);
    memo_->setReadOnly(true);
    QPalette grey = memo_->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    memo_->setPalette(grey);
    connect(memo_, &QPlainTextEdit::textChanged, this, &HeaderDispScreen::restore_memo);

    const struct {
        const char16_t* text;
        int left, width;
    } b[4] = {{u"次 へ", 6360, 1215},
              {u"終 了", 240, 1215},
              {u"修 正", 2040, 1215},
              {u"ﾃﾞｨﾚｸﾄﾘ表示", 1680, 1860}};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = place<QPushButton>(QStringLiteral("Command%1").arg(i + 1), b[i].left, 3720,
                                         b[i].width, 435);
        buttons_[i]->setText(QString::fromUtf16(b[i].text));
    }
    connect(buttons_[0], &QPushButton::clicked, this, &HeaderDispScreen::first_button);
    connect(buttons_[1], &QPushButton::clicked, this, &HeaderDispScreen::finish);
    connect(buttons_[2], &QPushButton::clicked, this, &HeaderDispScreen::amend);
    connect(buttons_[3], &QPushButton::clicked, this, &HeaderDispScreen::show_directories);
}

int HeaderDispScreen::block() const {
    return viewMode_ ? std::abs(G.SelectedBlockNo) : 1;
}

void HeaderDispScreen::on_load() {
    viewMode_ = G.HeaderViewFromSearch == 1;
    fields_[2]->hide();
    for (int i = 1; i <= 4 && i <= G.HeaderLabelCaptions.size(); ++i)
        if (!G.HeaderLabelCaptions(i).isEmpty())
            captions_[i - 1]->setText(G.HeaderLabelCaptions(i));
    if (viewMode_) {
        setWindowTitle(G.WindowTitle + QStringLiteral("  << ") + G.SelectedResultLine +
                       QStringLiteral(" >>"));
        buttons_[2]->hide();
        buttons_[3]->setVisible(!(G.HeaderOnlySearch != 0 && G.BlockSearchMode == 0));
        buttons_[0]->setText(QStringLiteral("戻る"));
        // The search screen stays on screen, disabled while this one is open.
        if (!below()) {
            if (ScreenWindow* search = screen_instance(ScreenSearchData)) {
                set_below(search);
                search->remember_focus();
                search->setEnabled(false);
            }
        }
    } else {
        setWindowTitle(G.WindowTitle + QStringLiteral("   　　　　　　　　　見　出　し　確　認"));
        if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(std::max<int>(1, G.MaxHeaderBlocks));
        if (!(G.ProgressFlags & 2))
            for (int k = 1; k <= 9; ++k)
                G.HeaderTable(1, k).clear();
        buttons_[2]->show();
        buttons_[3]->hide();
        buttons_[0]->setText(QStringLiteral("登録"));
    }
    const int b = block();
    const bool present = b >= 1 && b <= G.HeaderTable.rows();
    for (int k = 1; k <= 9; ++k) {
        const QString text = present ? G.HeaderTable(b, k) : QString();
        if (k == 3) {
            const QSignalBlocker block(memo_);
            memo_->setPlainText(memo_for_display(text));
        } else {
            fields_[k - 1]->setText(text);
        }
    }
}

void HeaderDispScreen::restore_memo() {
    // The memo can be scrolled and selected, but what is typed is undone at once.
    const int b = block();
    const QString text = b >= 1 && b <= G.HeaderTable.rows() ? G.HeaderTable(b, 3) : QString();
    const QString shown = memo_for_display(text);
    if (memo_->toPlainText() == shown) return;
    const QSignalBlocker block(memo_);
    memo_->setPlainText(shown);
}

void HeaderDispScreen::first_button() {
    record_position();
    if (viewMode_) {
        ScreenWindow* search = below();
        unload();
        if (search) search->show();
        return;
    }
    if ((G.ProgressFlags & 3) == 3 && ask_question(registration_question()) == AnswerYes) {
        int16_t result = 1;
        write_data(result);
    }
    unload();
    open_screen(ScreenMenu1);
}

void HeaderDispScreen::finish() {
    record_position();
    int16_t kind = 1;
    confirm(kind);
}

void HeaderDispScreen::amend() {
    QCoreApplication::processEvents();
    record_position();
    unload();
    open_screen(ScreenHeaderInput);
}

void HeaderDispScreen::show_directories() {
    open_on_top(ScreenDispDirectory);
}

bool HeaderDispScreen::on_close_request() {
    if (viewMode_) return true; // closing is going back to the search screen
    finish();
    return false;
}
