// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_support.h"
#include "core/state.h"
#include "search/search_run.h"
#include <cstdio>
#include <limits>

void fuzz_fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "broken: %s\n%s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

SearchOutcome search_outcome(const QString (&words)[3], int preset, const SearchOptions& options,
                             bool split, qsizetype partSize) {
    // Two threads, so that the split is taken on a machine of one core too.
    const ScanPlan plan{2, partSize, split ? 0 : std::numeric_limits<qint64>::max()};
    QuietSeam s;
    set_seam(&s);
    SearchDisplay d;
    run_string_search(words, preset, options, d, plan);
    set_seam(nullptr);
    SearchOutcome out{s.messages, {}, {}, {}, G.HeaderBlockCount};
    for (int i = 1; i <= G.ResultLineCount; ++i)
        out.results << QString::number(G.ResultLineKinds(i)) + u' ' + G.ResultLines(i);
    for (int b = 1; b <= G.HeaderBlockCount; ++b)
        for (int f = 1; f <= 10; ++f)
            out.headers << G.HeaderTable(b, f);
    for (int p = 1; p <= G.DirCount; ++p)
        out.parents << G.DirPaths(p);
    return out;
}
