// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/disp_directory.h"
#include "core/seam.h"
#include "core/state.h"
#include "ui/lists.h"
#include "view/block_view.h"
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

DispDirectoryScreen::DispDirectoryScreen()
    : ScreenWindow(ScreenDispDirectory, QStringLiteral("disp_directory")) {
    label_ = place_label(QStringLiteral("Label1"), QString(), 120, 120, 7440, 300);
    label_->setTextFormat(Qt::PlainText);
    text_ = place<QPlainTextEdit>(QStringLiteral("Text1"), 120, 480, 7440, 4320);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setTabChangesFocus(true);
    copy_line_without_selection(text_);
    back_ = place<QPushButton>(QStringLiteral("Command1"), 6345, 4920, 1215, 435);
    back_->setText(QStringLiteral("戻 る"));
    back_->setDefault(true);
    connect(back_, &QPushButton::clicked, this, [this] { unload(); });
}

void DispDirectoryScreen::on_load() {
    setWindowTitle(G.MsgBoxTitle + QStringLiteral("  << ") + G.SelectedResultLine +
                   QStringLiteral(" >>"));
    label_->setText(G.SelectedResultLine);
    text_->clear();
    // Shown first, so that the progress window of a long read stands over the viewer.
    show();
    seam().yield();
    fill();
    seam().yield();
}

void DispDirectoryScreen::fill() {
    const auto show = [this](const DirListing& d) {
        label_->setText(d.label);
        text_->setPlainText(display_text(d.text));
        text_->moveCursor(QTextCursor::Start);
    };
    DirListing d;
    {
        OperationScope op(this);
        d = G.BlockSearchMode != 0 ? get_block_data(show) : get_dir_data();
    }
    show(d);
}
