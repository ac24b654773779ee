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

// Whether "--name" is an option of the command: 0 no, 1 a flag, 2 one that takes a value.
int option_kind(const CliCommandEntry& c, QStringView name) {
    if (name == QLatin1String("config")) return 2;
    if (name == QLatin1String("help")) return 1;
    for (const CliOptionHelp& o : c.help.options)
        if (name == QLatin1String(o.name)) return *o.valueName ? 2 : 1;
    return 0;
}

int bad_option(const CliCommandEntry& c, const char* what, const QString& option) {
    std::fprintf(stderr, "tobrin-cli: %s '%s'\nusage: tobrin-cli %s %s\n", what, qPrintable(option),
                 qPrintable(c.name), qPrintable(c.usage));
    return 2;
}

// The words as the commands read them, GNU style: "--name=value" becomes "--name" "value"
// wherever "--name value" is accepted, and an option the command does not know is named in
// the error (exit 2) before anything is started. An option's value and the words after
// "--" are taken as they stand. Returns 0, or the exit code after the error.
int normalise_options(const CliCommandEntry& c, QStringList& args) {
    QStringList out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) {
            out += args.mid(i);
            break;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            out += a;
            continue;
        }
        const qsizetype eq = a.indexOf(u'=');
        const QString option = eq < 0 ? a : a.left(eq);
        switch (option_kind(c, QStringView(option).mid(2))) {
        case 0:
            return bad_option(c, "unknown option", option);
        case 1:
            if (eq >= 0) return bad_option(c, "this option takes no value:", option);
            out += a;
            break;
        default:
            if (eq >= 0) {
                out << option << a.mid(eq + 1);
            } else if (i + 1 < args.size()) {
                out << a << args[++i];
            } else {
                return bad_option(c, "this option needs a value:", option);
            }
        }
    }
    args = out;
    return 0;
}

// True when the words (normalised) hold --help (or -h) as an option: not as an option's
// value and not after "--", where it is a search word.
bool asks_help(const CliCommandEntry& c, const QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) return true;
        if (a.startsWith(QLatin1String("--")) && option_kind(c, QStringView(a).mid(2)) == 2) ++i;
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
    text += QStringLiteral(
        "\nEvery option that takes a value also takes it as --option=value.\n"
        "\nExit status:\n"
        "  0  success: something was found, the block was written, the catalogue is clean\n"
        "  1  nothing was found, the walk failed, nothing was registered, there is no such\n"
        "     block, or check listed faults\n"
        "  2  a bad command line, or the catalogue is missing or cannot be read\n"
        "  3  the search stopped at a capacity (message 301, 303, 307 or 311): the results\n"
        "     printed are only those found before it; raise keys 60 to 63\n"
        "  4  the search stopped at a fault of the catalogue (message 302, 305 or 306):\n"
        "     \"tobrin-cli check\" lists the faults\n"
        "\n\"tobrin-cli COMMAND --help\" shows a command's options; "
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
        if (const int code = normalise_options(c, args)) return code;
        if (asks_help(c, args)) {
            print(command_help(c));
            return 0;
        }
        return c.run(args);
    }
    std::fprintf(stderr, "tobrin-cli: %s '%s'\n",
                 name.startsWith(u'-') ? "unknown option" : "unknown command", qPrintable(name));
    usage();
    return 2;
}
