// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/lists.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {
bool is_copy(QEvent* e) {
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) return false;
    return static_cast<QKeyEvent*>(e)->matches(QKeySequence::Copy);
}

class LineCopy : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (!is_copy(e)) return false;
        QString line;
        if (auto* list = qobject_cast<QListWidget*>(o)) {
            if (!list->currentItem()) return false;
            line = list->currentItem()->text();
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(o)) {
            if (text->textCursor().hasSelection()) return false; // the edit copies it
            line = text->textCursor().block().text();
        } else {
            return false;
        }
        e->accept();
        // The override only claims the key; the press that follows does the copy.
        if (e->type() == QEvent::KeyPress) QGuiApplication::clipboard()->setText(line);
        return true;
    }
};
} // namespace

void make_whole_line_list(QListWidget* list) {
    // Uniform sizes would size every line like the first and cut the longer ones.
    list->setUniformItemSizes(false);
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideNone);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->installEventFilter(new LineCopy(list));
}

void copy_line_without_selection(QPlainTextEdit* text) {
    text->installEventFilter(new LineCopy(text));
}
