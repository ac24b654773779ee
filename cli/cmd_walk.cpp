// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli walk --drive q [--image PATH] [--prune] [--config PATH]: acquires a drive as the
// acquisition screen does (walk, sort, optional pruning) and prints the list: one display line per
// entry (CR, LF and TAB inside names as "&#13;", "&#10;", "&#9;", so one line stays one
// entry), then "DirCount<TAB>n" and "EntryCount<TAB>n". Exit 1 when the walk failed.
#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "catalogue/escape.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/platform.h"
#include "core/state.h"
#include <cstdio>

namespace {
const char* const Usage = "--drive LETTER [--image PATH] [--prune] [--config PATH]";

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (!cli_startup(args, false)) return 2;
    QString drive = G.CurrentDrive;
    QString image;
    bool driveGiven = false;
    bool prune = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--drive") && i + 1 < args.size()) {
            drive = args[++i];
            driveGiven = true;
        } else if (args[i] == QLatin1String("--image") && i + 1 < args.size())
            image = args[++i];
        else if (args[i] == QLatin1String("--prune"))
            prune = true;
        else {
            std::fprintf(stderr, "usage: tobrin-cli walk %s\n", Usage);
            return 2;
        }
    }
    if (drive.size() != 1 || !drive[0].isLetter() || drive[0].unicode() > 127) {
        std::fprintf(stderr, "tobrin-cli walk: --drive takes one letter a..z\n");
        return 2;
    }
    if (!image.isEmpty()) {
        if (!driveGiven) {
            std::fprintf(stderr, "tobrin-cli walk: --image needs --drive\n");
            return 2;
        }
        pin_image_drive(drive[0], image);
    }
    int16_t k = 0;
    acquire_drive(drive[0], k);
    if (k == 1 && prune) prune_entries();

    QByteArray out;
    for (int i = 1; i <= G.EntryCount; ++i) {
        out += one_line_text(entry_display_line(i)).toUtf8();
        out += '\n';
    }
    out += "DirCount\t" + QByteArray::number(G.DirCount) + '\n';
    out += "EntryCount\t" + QByteArray::number(G.EntryCount) + '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return k == 1 ? 0 : 1;
}

CliCommand
    reg("walk", Usage,
        {"Acquire a drive as the acquisition screen does and print its directory list.",
         "",
         "",
         {{"drive", "LETTER", "The drive to acquire (default: the current drive)."},
          {"image", "PATH", "With --drive: the drive stands for this image or archive file."},
          {"prune", "", "Remove the directories that hold no file."}}},
        run);
} // namespace
