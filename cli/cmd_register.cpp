// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli register --drive q [--image PATH] [--title T] [--publisher P] [--memo M] [--year Y]
// [--month M] [--header6 H] [--prune] [--config PATH]: acquires the drive, stores the header
// as the header entry screen does and appends the block to the catalogue. Exit 0 only when
// the block was written.
#include "acquire/entry_list.h"
#include "catalogue/writer.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/platform.h"
#include "core/state.h"
#include "register/header_fields.h"
#include <QDate>
#include <cstdio>

namespace {
const char* const Usage =
    "--drive LETTER [--image PATH] [--title T] [--publisher P] [--memo M] [--year Y] "
    "[--month M] [--header6 H] [--prune] [--config PATH]";

// The memo box of the Windows version gives CR LF line breaks; a bare LF from the shell
// is stored the same way, so the catalogue reads the same whichever tool wrote it.
QString memo_line_breaks(const QString& typed) {
    QString memo;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (typed[i] == u'\n' && (i == 0 || typed[i - 1] != u'\r')) memo += u'\r';
        memo += typed[i];
    }
    return memo;
}

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (!cli_startup(args, true)) return 2;
    QString drive = G.CurrentDrive;
    QString image;
    bool prune = false;
    HeaderEntry entry;
    header_date_defaults(QDate::currentDate(), entry.year, entry.month);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--prune")) {
            prune = true;
            continue;
        }
        QString* target = nullptr;
        if (a == QLatin1String("--drive")) target = &drive;
        if (a == QLatin1String("--image")) target = &image;
        if (a == QLatin1String("--title")) target = &entry.title;
        if (a == QLatin1String("--publisher")) target = &entry.publisher;
        if (a == QLatin1String("--memo")) target = &entry.memo;
        if (a == QLatin1String("--year")) target = &entry.year;
        if (a == QLatin1String("--month")) target = &entry.month;
        if (a == QLatin1String("--header6")) target = &entry.header6;
        if (!target || !hasValue) {
            std::fprintf(stderr, "usage: tobrin-cli register %s\n", Usage);
            return 2;
        }
        *target = args[++i];
    }
    if (drive.size() != 1 || !drive[0].isLetter() || drive[0].unicode() > 127) {
        std::fprintf(stderr, "tobrin-cli register: --drive takes one letter a..z\n");
        return 2;
    }
    if (!image.isEmpty()) {
        if (!args.contains(QLatin1String("--drive"))) {
            std::fprintf(stderr, "tobrin-cli register: --image needs --drive\n");
            return 2;
        }
        pin_image_drive(drive[0], image);
    }
    entry.memo = memo_line_breaks(entry.memo);

    int16_t k = 0;
    acquire_drive(drive[0], k);
    if (k != 1) return 1;
    if (prune) prune_entries();
    if (!store_registration_header(entry)) {
        std::fprintf(stderr, "tobrin-cli register: title, publisher, memo and header 6 are all "
                             "empty; nothing is registered\n");
        return 1;
    }
    int16_t result = 0;
    write_data(result);
    return result == 1 ? 0 : 1;
}

CliCommand
    reg("register", Usage,
        {"Acquire a drive and append it with its header to the catalogue.",
         "",
         "",
         {{"drive", "LETTER", "The drive to acquire (default: the current drive)."},
          {"image", "PATH", "With --drive: the drive stands for this image or archive file."},
          {"title", "T", "Header 1, the title."},
          {"publisher", "P", "Header 2, the publisher."},
          {"memo", "M", "The memo; a newline is a line break."},
          {"year", "Y", "The year (default: this year)."},
          {"month", "M", "The month (default: this month)."},
          {"header6", "H", "Header 6."},
          {"prune", "", "Remove the directories that hold no file first."}}},
        run);
} // namespace
