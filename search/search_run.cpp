// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/search_run.h"
#include "catalogue/escape.h"
#include "core/messages.h"
#include "core/seam.h"
#include "core/state.h"
#include "search/match.h"
#include "search/search_rules.h"

bool run_string_search(const QString (&words)[3], int preset, const SearchOptions& options,
                       SearchDisplay& out, const ScanPlan& plan) {
    // A name byte that decodes to nothing is typed (or pasted from a result or the viewer) as
    // the catalogue stores it, "&#56448;"; the search compares the decoded names.
    for (int k = 1; k <= 3; ++k)
        G.SearchWords(k) = unescape_catalogue(words[k - 1]);
    G.BlockSearchMode = 0;
    mirror_search_options(options);
    check_match_status(preset, options);
    if (G.MatchMode == 0) {
        show_message(message_208());
        return false;
    }
    out = get_data(options, plan);
    return true;
}

SearchDisplay run_block_search(SearchOptions& options, const ScanPlan& plan) {
    const QString saved[3] = {G.SearchWords(1), G.SearchWords(2), G.SearchWords(3)};
    options = block_search_options(options);
    G.SearchWords(1) = QStringLiteral("*");
    G.SearchWords(2).clear();
    G.SearchWords(3).clear();
    mirror_search_options(options);
    G.BlockSearchMode = 1;
    seam().yield();
    check_match_status(1, options);
    SearchDisplay d = get_data(options, plan);
    seam().yield();
    for (int k = 1; k <= 3; ++k)
        G.SearchWords(k) = saved[k - 1];
    return d;
}
