// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/disp_directory.h"
#include "catalogue/escape.h"
#include "core/seam.h"
#include "core/state.h"
#include "ui/lists.h"
#include "view/block_view.h"
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

namespace {
// The design, in twips: the label on top, the button at the bottom right, the text between
// them as high as the window leaves (at least MinTextHeight).
constexpr int Margin = 120, LabelTop = 120, LabelHeight = 300, TextTop = 480;
constexpr int ButtonWidth = 1215, ButtonHeight = 435, MinTextHeight = 1080;
} // namespace

DispDirectoryScreen::DispDirectoryScreen()
    : ScreenWindow(ScreenDispDirectory, QStringLiteral("disp_directory")) {
    label_ = place_label(QStringLiteral("Label1"), QString(), Margin, LabelTop, 7440, LabelHeight);
    label_->setTextFormat(Qt::PlainText);
    // Placed at its least height: the window keeps its stored size (by default 4248
    // twips high) and the text takes what is left (resizeEvent).
    text_ = place<QPlainTextEdit>(QStringLiteral("Text1"), Margin, TextTop, 7440, MinTextHeight);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setTabChangesFocus(true);
    copy_line_without_selection(text_);
    back_ = place<QPushButton>(QStringLiteral("Command1"), 7560 - ButtonWidth,
                               TextTop + MinTextHeight + Margin, ButtonWidth, ButtonHeight);
    back_->setText(QStringLiteral("戻 る"));
    back_->setDefault(true);
    connect(back_, &QPushButton::clicked, this, [this] { unload(); });
}

void DispDirectoryScreen::resizeEvent(QResizeEvent* e) {
    ScreenWindow::resizeEvent(e);
    const int m = tw(Margin);
    const int w = std::max(width() - 2 * m, tw(ButtonWidth));
    const int buttonTop =
        std::max(height() - m - tw(ButtonHeight), tw(TextTop + MinTextHeight + Margin));
    label_->setGeometry(m, tw(LabelTop), w, tw(LabelHeight));
    text_->setGeometry(m, tw(TextTop), w, buttonTop - m - tw(TextTop));
    back_->move(m + w - back_->width(), buttonTop);
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
        // A name byte that decodes to nothing shows as the catalogue stores it ("&#56448;"),
        // so a copied line can be searched for again.
        QStringList lines;
        lines.reserve(d.paths.size());
        for (const QString& p : d.paths)
            lines << one_line_text(p);
        text_->setPlainText(d.paths.isEmpty() ? display_text(d.text) : lines.join(u'\n'));
        text_->moveCursor(QTextCursor::Start);
    };
    DirListing d;
    {
        OperationScope op(this);
        d = G.BlockSearchMode != 0 ? get_block_data(show) : get_dir_data();
    }
    show(d);
}
