// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli: the companion for terminals and scripts. Each command lives in its own file
// and registers itself in the command table.
#include "cli/cli_seam.h"
#include "cli/commands.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {
QList<CliCommandEntry>& table() {
    static QList<CliCommandEntry> t;
    return t;
}

void usage() {
    std::fprintf(stderr, "usage: tobrin-cli COMMAND [options]\ncommands:\n");
    for (const CliCommandEntry& c : cli_commands())
        std::fprintf(stderr, "  tobrin-cli %s %s\n", qPrintable(c.name), qPrintable(c.usage));
}

void print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QCommandLineOption help_option() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Show this help."));
}

QCommandLineOption version_option() {
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Show the version."));
}

QCommandLineOption config_option() {
    return QCommandLineOption(QStringLiteral("config"),
                              QStringLiteral("Read the configuration file PATH instead of "
                                             "tobrin.cfg in the current directory."),
                              QStringLiteral("PATH"));
}

// Qt names the program as it was called, and alone; the usage line names it plainly,
// with the command.
QString with_command(QString text, const QString& command) {
    const qsizetype end = text.indexOf(QLatin1String(" [options]"));
    if (!text.startsWith(QLatin1String("Usage: ")) || end < 0) return text;
    const QString program =
        command.isEmpty() ? QStringLiteral("tobrin-cli") : QStringLiteral("tobrin-cli ") + command;
    return text.replace(7, end - 7, program);
}

QString command_help(const CliCommandEntry& c) {
    QCommandLineParser p;
    p.setApplicationDescription(QString::fromUtf8(c.help.summary));
    p.addOption(help_option());
    for (const CliOptionHelp& o : c.help.options)
        p.addOption(QCommandLineOption(QString::fromUtf8(o.name), QString::fromUtf8(o.description),
                                       QString::fromUtf8(o.valueName)));
    p.addOption(config_option());
    if (*c.help.arguments)
        p.addPositionalArgument(QString::fromUtf8(c.help.arguments),
                                QString::fromUtf8(c.help.argumentsHelp),
                                QString::fromUtf8(c.help.arguments));
    return with_command(p.helpText(), c.name);
}

// True when the words hold --help (or -h) as an option: not as an option's value and not
// after "--", where it is a search word.
bool asks_help(const CliCommandEntry& c, const QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) return true;
        if (a == QLatin1String("--config")) ++i;
        for (const CliOptionHelp& o : c.help.options)
            if (*o.valueName && a == QLatin1String("--") + QLatin1String(o.name)) ++i;
    }
    return false;
}

QString program_help() {
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Registers and searches the catalogue of Tobrin (tobrin.dat) from a "
                       "terminal."));
    p.addOption(help_option());
    p.addOption(version_option());
    p.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("one of the commands below"),
                            QStringLiteral("COMMAND [options]"));
    QString text = with_command(p.helpText(), QString()) + QStringLiteral("\nCommands:\n");
    qsizetype width = 0;
    for (const CliCommandEntry& c : cli_commands())
        width = std::max(width, c.name.size());
    for (const CliCommandEntry& c : cli_commands())
        text += QStringLiteral("  ") + c.name.leftJustified(width + 2) +
                QString::fromUtf8(c.help.summary) + u'\n';
    text += QStringLiteral("\n\"tobrin-cli COMMAND --help\" shows a command's options; "
                           "\"man tobrin-cli\" tells more.\n");
    return text;
}
} // namespace

CliCommand::CliCommand(const char* name, const char* usage, CliHelp help, Run run) {
    table().append(
        {QString::fromUtf8(name), QString::fromUtf8(usage), std::move(help), std::move(run)});
}

const QList<CliCommandEntry>& cli_commands() {
    return table();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tobrin-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOBRIN_VERSION));
    QStringList args = app.arguments().mid(1);
    // Only options before the command are the program's; a failed parse is left to the
    // command lookup below, which answers with the usage as it always has.
    QCommandLineParser top;
    top.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption helpOpt = help_option();
    const QCommandLineOption versionOpt = version_option();
    top.addOption(helpOpt);
    top.addOption(versionOpt);
    if (top.parse(app.arguments())) {
        if (top.isSet(helpOpt)) {
            print(program_help());
            return 0;
        }
        if (top.isSet(versionOpt)) {
            print(QStringLiteral("tobrin-cli " TOBRIN_VERSION "\n"));
            return 0;
        }
    }
    if (args.isEmpty()) {
        usage();
        return 2;
    }
    const QString name = args.takeFirst();
    for (const CliCommandEntry& c : cli_commands()) {
        if (c.name != name) continue;
        if (asks_help(c, args)) {
            print(command_help(c));
            return 0;
        }
        return c.run(args);
    }
    usage();
    return 2;
}
