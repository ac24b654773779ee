// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli blocks: the block search of the search screen (every block's header line),
// in the same output form as "search".
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/result_output.h"
#include "search/search_run.h"
#include <cstdio>

namespace {
const char* const Usage = "[--no-sort] [--config PATH]";

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (!cli_startup(args, false)) return 2;
    SearchOptions o;
    for (const QString& a : args) {
        if (a == QLatin1String("--no-sort")) {
            o.sort = false;
        } else {
            std::fprintf(stderr, "usage: tobrin-cli blocks %s\n", Usage);
            return 2;
        }
    }
    if (!cli_catalogue_there()) return 2;
    HeldMessages held;
    const SearchDisplay display = run_block_search(o);
    return print_results(display, held);
}

CliCommand reg("blocks", Usage,
               {"List one header line per block of the catalogue.",
                "",
                "",
                {{"no-sort", "", "Keep the catalogue's order."}}},
               run);
} // namespace
