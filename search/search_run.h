// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the search screen calls: a string search or a block search with the screen's
// words, preset and options. Each runs the whole search (match mode, scan, sort, the
// messages through the seam) and returns what the result list and its caption show.
// Afterwards G.ResultLines / G.ResultLineKinds / G.HeaderTable hold the results for the
// header and directory views.
#include "search/results.h"
#include "search/search_options.h"
#include "search/search_rules.h"
#include <QString>

// The string search ("文字列検索"): words are fields [1] [2] [3] (G.SearchWords takes
// them). `preset` is the selected combination (1-based, see preset_count). With no word
// filled it shows message 208, searches nothing and returns false (`out` untouched).
// `plan`: how the scan uses the machine (the programs keep the default).
bool run_string_search(const QString (&words)[3], int preset, const SearchOptions& options,
                       SearchDisplay& out, const ScanPlan& plan = {});

// The block search ("ﾌﾞﾛｯｸ検索"): every block's header line. Sets `options` to those of a
// block search (block_search_options), which the screen keeps afterwards; G.SearchWords
// are left as they were.
SearchDisplay run_block_search(SearchOptions& options, const ScanPlan& plan = {});
