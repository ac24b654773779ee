// tobrin-cli: the companion for terminals and scripts. Each command lives in its own file
// and registers itself in the command table.
#include "cli/cli_seam.h"
#include "cli/commands.h"
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
} // namespace

CliCommand::CliCommand(const char* name, const char* usage, Run run) {
    table().append({QString::fromUtf8(name), QString::fromUtf8(usage), std::move(run)});
}

const QList<CliCommandEntry>& cli_commands() { return table(); }

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        usage();
        return 2;
    }
    const QString name = args.takeFirst();
    for (const CliCommandEntry& c : cli_commands())
        if (c.name == name) return c.run(args);
    usage();
    return 2;
}
