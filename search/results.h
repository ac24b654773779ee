// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result lines of a search: the header line of a block, appending it, the optional
// sort, and what the result list and its caption show.
#include "core/state.h"
#include "search/search_options.h"
#include <QList>
#include <QString>
#include <cstdint>

// The text that names a block in the results and in the directory viewer, from header
// fields 1 (title), 4 (year), 5 (month) and 8 (volume label).
QString header_line_text(const QString& title, const QString& year, const QString& month,
                         const QString& volume);
// The same for block `block` of the header table.
QString header_line_of_block(const SearchTables& t, int block);

// Appends the header line of block HeaderBlockCount; on a full result table shows
// message 311 and sets `Iread_cont` (the scan's stop flag).
void get_header_data(SearchTables& t, bool& Iread_cont);

// Sorts the result lines when `sort` is set and there are at least two: header lines
// first, each kind by its narrow lower-case text, equal texts in file order.
void sort_data(SearchTables& t, bool sort);

struct ResultEntry {
    QString text;
    int16_t kind; // -block for a header line, +block for a path line
};

// What the result list shows after a search.
struct SearchDisplay {
    QList<ResultEntry> entries; // List1, in order, each with its attached number
    QString caption;            // Label1(1), two lines joined by CR LF
    int32_t total = 0, headers = 0, paths = 0;
};

// The result list and caption for the lines held now, filtered by the display options.
SearchDisplay result_display(const SearchOptions& options);

// get_data: clears ProgressFlags, scans the program's catalogue into its tables (read_data,
// which also sorts) and returns the display.
SearchDisplay get_data(const SearchOptions& options, const ScanPlan& plan = {});
