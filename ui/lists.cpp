// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/lists.h"
#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionViewItem>
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
        if (auto* list = qobject_cast<QAbstractItemView*>(o)) {
            if (!list->currentIndex().isValid()) return false;
            line = list->currentIndex().data(Qt::DisplayRole).toString();
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

void whole_lines(QListView* list) {
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideNone);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->installEventFilter(new LineCopy(list));
}
} // namespace

void make_whole_line_list(QListWidget* list) {
    // Uniform sizes would size every line like the first and cut the longer ones.
    list->setUniformItemSizes(false);
    whole_lines(list);
}

void make_uniform_line_list(QAbstractItemView* list) {
    auto* view = qobject_cast<QListView*>(list);
    Q_ASSERT(view);
    // The rows report one size (Qt::SizeHintRole), which the view takes once for all.
    view->setUniformItemSizes(true);
    whole_lines(view);
}

QSize line_item_size(const QAbstractItemView* list, const QString& text) {
    // What QStyledItemDelegate::sizeHint asks the style for a plain text row.
    QStyleOptionViewItem opt;
    opt.initFrom(list);
    opt.widget = list;
    opt.font = list->font();
    opt.fontMetrics = QFontMetrics(opt.font);
    opt.features = QStyleOptionViewItem::HasDisplay;
    opt.text = text;
    opt.textElideMode = Qt::ElideNone;
    opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    opt.decorationPosition = QStyleOptionViewItem::Left;
    opt.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    opt.showDecorationSelected =
        list->style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, list);
    return list->style()->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), list);
}

void copy_line_without_selection(QPlainTextEdit* text) {
    // Read-only text has no keyboard cursor of its own: without one the arrow keys only
    // scroll and Ctrl+C would copy the last clicked line.
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->installEventFilter(new LineCopy(text));
}
