// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/acquire/disp_status.h"
#include "core/state.h"
#include <QLabel>
#include <QProgressBar>

DispStatusScreen::DispStatusScreen()
    : ScreenWindow(ScreenDispStatus, QStringLiteral("disp_status")) {
    label_[0] = place_label(QStringLiteral("Label1"), QString(), 120, 60, 3900, 780);
    label_[1] = place_label(QStringLiteral("Label2"), QString(), 120, 900, 1860, 270);
    label_[2] = place_label(QStringLiteral("Label3"), QString(), 1980, 900, 2040, 270);
    label_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_[2]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_[0]->setWordWrap(false);
    bar_ = place<QProgressBar>(QStringLiteral("ProgressBar1"), 120, 1230, 3900, 180);
    bar_->setTextVisible(false);
    bar_->hide();
    // The window has no buttons and cannot stop the operation: a title and nothing else
    // (without the customize hint window managers add close, minimise and maximise). A
    // utility window of fixed size also loses them on managers that ignore that hint.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void DispStatusScreen::on_load() {
    setFixedSize(size());
}

void DispStatusScreen::set_progress_label(int label, const QString& text) {
    if (label < 1 || label > 3) return;
    label_[label - 1]->setText(display_text(text));
    if (label != 1) update_bar();
}

void DispStatusScreen::clear_progress_labels() {
    for (QLabel* l : label_)
        l->clear();
    update_bar();
}

void DispStatusScreen::update_bar() {
    // Label3 reads " / N" when the operation knows its total.
    QString total = label_[2]->text().trimmed();
    if (total.startsWith(u'/')) total = total.mid(1).trimmed();
    bool okTotal = false, okCount = false;
    const int max = total.toInt(&okTotal);
    const int value = label_[1]->text().trimmed().toInt(&okCount);
    if (!okTotal || max < 1) {
        bar_->hide();
        return;
    }
    bar_->setRange(0, max);
    bar_->setValue(okCount ? qBound(0, value, max) : 0);
    bar_->show();
}
