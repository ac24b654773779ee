#pragma once
// tobrin-cli's commands register themselves here, one source file each.
#include <QStringList>
#include <functional>

struct CliCommand {
    // args: the words after the command name. Returns the process exit code.
    using Run = std::function<int(const QStringList& args)>;
    CliCommand(const char* name, const char* usage, Run run);
};

struct CliCommandEntry {
    QString name;
    QString usage;
    CliCommand::Run run;
};
const QList<CliCommandEntry>& cli_commands();
