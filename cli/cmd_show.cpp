// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli show N: header fields 1 to 10 of block N as "<field><TAB><text>", then the
// block's directory paths as the viewer lists them. Each on one line, as walk and search
// print text: CR, LF and TAB (the memo's line breaks too) as "&#13;", "&#10;", "&#9;", and a
// byte that decodes to nothing as its catalogue escape.
#include "catalogue/escape.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "view/block_view.h"
#include <cstdio>

namespace {
const char* const Usage = "N [--sort] [--config PATH]";

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (!cli_startup(args, false)) return 2;
    bool sort = false;
    int block = 0;
    bool haveBlock = false;
    for (const QString& a : args) {
        bool ok = false;
        const int n = a.toInt(&ok);
        if (a == QLatin1String("--sort")) {
            sort = true;
        } else if (ok && !haveBlock) {
            block = n;
            haveBlock = true;
        } else {
            std::fprintf(stderr, "usage: tobrin-cli show %s\n", Usage);
            return 2;
        }
    }
    if (!haveBlock) {
        std::fprintf(stderr, "usage: tobrin-cli show %s\n", Usage);
        return 2;
    }
    if (!cli_catalogue_there()) return 2;
    CatalogueBlock b;
    const int got = read_catalogue_block(block, sort, b);
    if (got == 0) return 1;
    QByteArray out;
    for (int k = 0; k < 10; ++k)
        out += QByteArray::number(k + 1) + '\t' + one_line_text(b.fields[k]).toUtf8() + '\n';
    for (const QString& p : b.paths)
        out += one_line_text(p).toUtf8() + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return got == 1 ? 0 : 1;
}

CliCommand reg("show", Usage,
               {"Print the header fields and directories of one block.",
                "N",
                "The block's number, as search numbers it.",
                {{"sort", "", "Sort the directories as the viewer does."}}},
               run);
} // namespace
