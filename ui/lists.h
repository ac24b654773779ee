// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every list of the program does beyond Qt's defaults: lines are never cut short
// (the list scrolls sideways instead), and Ctrl+C copies the current line.
class QListWidget;
class QPlainTextEdit;

// Whole lines with a horizontal scroll bar when wider than the list; Ctrl+C copies the
// current line's text.
void make_whole_line_list(QListWidget* list);
// A read-only text box used as a list (one directory per line): Ctrl+C copies the
// selection, or the line the cursor is in when nothing is selected.
void copy_line_without_selection(QPlainTextEdit* text);
