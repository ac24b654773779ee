// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli config [--config PATH]: start-up as the program runs it, without writing
// anything, then the effective state, one "Name<TAB>value" line each.
// tobrin-cli config --template: the commented configuration file, byte for byte as the
// first start writes it.
#include "catalogue/writer.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "core/config_template.h"
#include "core/platform.h"
#include "core/state.h"
#include <QTextStream>
#include <cstdio>

namespace {
int usage() {
    std::fprintf(stderr, "usage: tobrin-cli config [--config PATH] [--template]\n");
    return 2;
}

int run(const QStringList& argsIn) {
    if (argsIn.contains(QLatin1String("--template"))) {
        // No start-up: the template is the same wherever it is asked for.
        if (argsIn.size() != 1) return usage();
        const QByteArray bytes = config_template();
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        return 0;
    }
    QStringList args = argsIn;
    if (!cli_startup(args, false)) return 2;
    if (!args.isEmpty()) return usage();
    QString out;
    const auto put = [&out](const QString& name, const QString& value) {
        out += name + QLatin1Char('\t') + value + QLatin1Char('\n');
    };
    const auto num = [](qint64 n) { return QString::number(n); };
    const auto idx = [](const char* name, int i) {
        return QLatin1String(name) + QLatin1Char('[') + QString::number(i) + QLatin1Char(']');
    };
    put(QStringLiteral("DataFilePath"), G.DataFilePath);
    put(QStringLiteral("BackupFilePath"), G.BackupFilePath);
    put(QStringLiteral("CfgFilePath"), G.CfgFilePath);
    put(QStringLiteral("IniFilePath"), G.IniFilePath);
    put(QStringLiteral("DataFileState"), num(G.DataFileState));
    put(QStringLiteral("DataFileReadOnly"), num(G.DataFileReadOnly));
    put(QStringLiteral("CurrentDrive"), G.CurrentDrive);
    put(QStringLiteral("DriveLetters"), G.DriveLetters);
    for (QChar letter : G.DriveLetters)
        put(QStringLiteral("Drive[") + letter + QLatin1Char(']'), drive_root(letter));
    put(QStringLiteral("FontName"), G.FontName);
    put(QStringLiteral("FontSize"), num(G.FontSize));
    put(QStringLiteral("SmallFontSize"), num(G.SmallFontSize));
    put(QStringLiteral("BeepEnabled"), num(G.BeepEnabled));
    put(QStringLiteral("BackupMode"), num(G.BackupMode));
    put(QStringLiteral("MaxDirCount"), num(G.MaxDirCount));
    put(QStringLiteral("MaxEntryCount"), num(G.MaxEntryCount));
    put(QStringLiteral("MaxHeaderBlocks"), num(G.MaxHeaderBlocks));
    put(QStringLiteral("MaxResultLines"), num(G.MaxResultLines));
    QString fields;
    for (int k = 1; k <= 10; ++k)
        fields += num(G.HeaderFieldSearched(k));
    put(QStringLiteral("HeaderFieldSearched"), fields);
    for (int i = 1; i <= G.HeaderLabelCount; ++i)
        put(idx("HeaderLabelCaptions", i), G.HeaderLabelCaptions(i));
    for (int i = 1; i <= G.MagazineCount; ++i) {
        put(idx("MagazineTitles", i), G.MagazineTitles(i));
        put(idx("MagazinePublishers", i), G.MagazinePublishers(i));
    }
    for (int i = 1; i <= G.PublisherCount; ++i)
        put(idx("PublisherNames", i), G.PublisherNames(i));
    for (int i = 1; i <= G.YearCount; ++i)
        put(idx("YearNames", i), G.YearNames(i));
    for (int i = 1; i <= G.MonthCount; ++i)
        put(idx("MonthNames", i), G.MonthNames(i));
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    // What the next start or registration will do with a journal; config only looks.
    const QString journal = journal_outlook();
    if (!journal.isEmpty()) std::fprintf(stderr, "%s\n", journal.toUtf8().constData());
    return 0;
}

CliCommand reg("config", "[--config PATH] [--template]",
               {"Print the state after start-up as Name<TAB>value lines; nothing is written.",
                "",
                "",
                {{"template", "",
                  "Print instead a configuration file that names every key, commented out, "
                  "with its default (code page 932, CR LF)."}}},
               run);
} // namespace
