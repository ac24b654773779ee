// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_common.h"
#include "cli/cli_seam.h"
#include "core/startup.h"
#include "core/state.h"
#include <QDir>
#include <cstdio>

bool cli_startup(QStringList& args, bool sideEffects) {
    static CliSeam cliSeam;
    set_seam(&cliSeam);
    QString cfg;
    for (qsizetype i = 0; i < args.size();) {
        if (args.at(i) == QLatin1String("--")) break; // search words from here on
        if (args.at(i) == QLatin1String("--config")) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "--config needs a path\n");
                return false;
            }
            cfg = args.at(i + 1);
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    startup(cfg, sideEffects);
    return true;
}

bool cli_catalogue_there() {
    if (G.DataFileState == 1) return true;
    std::fprintf(stderr, "tobrin-cli: no catalogue %s\n", qPrintable(G.DataFilePath));
    return false;
}
