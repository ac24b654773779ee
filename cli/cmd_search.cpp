// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli search: the string search of the search screen, results on stdout as
// "<attached number><TAB><text>", the caption's first line and the messages on stderr.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/result_output.h"
#include "search/search_run.h"
#include <cstdio>

namespace {
const char* const Usage =
    "[--preset N] [--case] [--width] [--wildcard] [--header-only] [--no-sort] "
    "[--show headers|dirs|all] WORD1 [WORD2 [WORD3]] [--config PATH]";

int usage() {
    std::fprintf(stderr, "usage: tobrin-cli search %s\n", Usage);
    return 2;
}

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (!cli_startup(args, false)) return 2;
    SearchOptions o;
    o.showHeaders = o.showDirs = true;
    int preset = 1;
    bool showGiven = false;
    QStringList words;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnd || !a.startsWith(QLatin1String("--"))) {
            words.append(a);
        } else if (a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (a == QLatin1String("--preset") && i + 1 < args.size()) {
            bool ok = false;
            preset = args[++i].toInt(&ok);
            if (!ok) return usage();
        } else if (a == QLatin1String("--case")) {
            o.foldCase = false;
        } else if (a == QLatin1String("--width")) {
            o.foldWidth = false;
        } else if (a == QLatin1String("--wildcard")) {
            o.wildcard = true;
        } else if (a == QLatin1String("--header-only")) {
            o.headerOnly = true;
        } else if (a == QLatin1String("--no-sort")) {
            o.sort = false;
        } else if (a == QLatin1String("--show") && i + 1 < args.size()) {
            const QString v = args[++i];
            showGiven = true;
            if (v == QLatin1String("headers"))
                o.showDirs = false;
            else if (v == QLatin1String("dirs"))
                o.showHeaders = false;
            else if (v != QLatin1String("all"))
                return usage();
        } else {
            return usage();
        }
    }
    if (words.isEmpty() || words.size() > 3) return usage();
    const QString w[3] = {words.value(0), words.value(1), words.value(2)};
    const int filled = filled_count(w);
    const int presets = preset_count(filled);
    if (preset < 1 || preset > (presets == 0 ? 1 : presets)) {
        std::fprintf(stderr, "tobrin-cli search: --preset takes 1 to %d with %d filled words\n",
                     presets == 0 ? 1 : presets, filled);
        return 2;
    }
    // Header-only search has only header lines to show: asking for paths alone is an error.
    if (o.headerOnly && showGiven && !o.showHeaders) return usage();
    o = consistent_display(o);
    if (!cli_catalogue_there()) return 2;
    HeldMessages held;
    SearchDisplay display;
    if (!run_string_search(w, preset, o, display)) {
        // Nothing filled: message 208, nothing searched.
        display.caption.clear();
        print_results(display, held);
        return 2;
    }
    return print_results(display, held);
}

CliCommand reg("search", Usage,
               {"Search the catalogue as the search screen does.",
                "WORD1 [WORD2 [WORD3]]",
                "The strings of fields [1], [2] and [3]; \"\" leaves one empty.",
                {{"preset", "N", "How the filled words combine (default 1)."},
                 {"case", "", "Case matters."},
                 {"width", "", "Full and half width matter."},
                 {"wildcard", "", "The words are patterns: ? * # [a-z] [!a-z]."},
                 {"header-only", "", "Search only the headers."},
                 {"no-sort", "", "Keep the catalogue's order."},
                 {"show", "headers|dirs|all", "Which result lines to print (default all)."}}},
               run);
} // namespace
