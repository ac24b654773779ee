// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue scan: one sequential read of the whole file that loads every block's
// header into G.HeaderTable, tests each block's header text and each subdirectory path
// with the current search (check_match_status first), and collects the result lines.
#include "search/search_options.h"

// Runs one scan with `options` (matching, header-only, sort), the same options that were
// given to check_match_status. Stops with messages 301-307 and 311 keeping what was collected
// (unsorted), fails with 310 keeping nothing, ends with 309 when nothing matched.
void read_data(const SearchOptions& options);

// Catalogues of at least ScanParallelFrom bytes are scanned in parts of about ScanPartSize
// bytes on every core; smaller ones by one thread. The outcome is the same either way.
#include <QtGlobal>
extern qint64 ScanParallelFrom;
extern qsizetype ScanPartSize;
