// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue scan: one sequential read of the whole file that loads every block's
// header into the header table, tests each block's header text and each subdirectory path
// with the search of `query` (check_match_status first), and collects the result lines.
#include "core/state.h"
#include "search/search_options.h"

// Runs one scan of the catalogue of `files` into `tables` with `options` (matching,
// header-only, sort), the same options that were given to check_match_status, using the
// machine as `plan` says. Stops with messages 301-307 and 311 keeping what was collected
// (unsorted), fails with 310 keeping nothing, ends with 309 when nothing matched.
void read_data(const CatalogueFiles& files, SearchTables& tables, const SearchQuery& query,
               const SearchOptions& options, const ScanPlan& plan = {});
