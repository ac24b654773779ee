// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli check: every fault of the catalogue at which a reader would stop, as
// "line <number>: <message number> <reason>", all of them in one pass. Exit 0 when clean.
#include "catalogue/writer.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/paths.h"
#include "core/state.h"
#include "search/catalogue_check.h"
#include <cstdio>

namespace {
const char* const Usage = "[--config PATH]";

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (!cli_startup(args, false)) return 2;
    if (!args.isEmpty()) {
        std::fprintf(stderr, "usage: tobrin-cli check %s\n", Usage);
        return 2;
    }
    if (!cli_catalogue_there()) return 2;
    QList<CatalogueFault> faults;
    QString error;
    const QString path = catalogue_local_path();
    // The next registration's part: check itself changes nothing.
    const QString journal = journal_outlook();
    if (!journal.isEmpty()) std::fprintf(stderr, "%s\n", journal.toUtf8().constData());
    if (!check_catalogue(path, faults, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return 2;
    }
    QByteArray out;
    for (const CatalogueFault& f : faults)
        out += "line " + QByteArray::number(f.line) + ": " + QByteArray::number(f.message) + ' ' +
               f.reason.toUtf8() + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return faults.isEmpty() ? 0 : 1;
}

CliCommand reg("check", Usage,
               {"List every fault of the catalogue at which a reader would stop.", "", "", {}},
               run);
} // namespace
