// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every list of the program does beyond Qt's defaults: lines are never cut short
// (the list scrolls sideways instead), and Ctrl+C copies the current line.
#include <QSize>

class QAbstractItemView;
class QListWidget;
class QPlainTextEdit;
class QString;

// Whole lines with a horizontal scroll bar when wider than the list; Ctrl+C copies the
// current line's text.
void make_whole_line_list(QListWidget* list);
// The same for a list view over a model of many lines: every row as high as one line
// and as wide as `uniform_line_size` gave, so that nothing is laid out per line.
void make_uniform_line_list(QAbstractItemView* list);
// The size of a row of `list` that shows `text`, as the list's own item delegate sizes it.
QSize line_item_size(const QAbstractItemView* list, const QString& text);
// A read-only text box used as a list (one directory per line): Ctrl+C copies the
// selection, or the line the keyboard cursor is in when nothing is selected; the arrow
// keys move that cursor.
void copy_line_without_selection(QPlainTextEdit* text);
