// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tobrin-cli's commands register themselves here, one source file each.
#include <QStringList>
#include <functional>
#include <vector>

// One option of a command, as --help shows it. valueName is empty for a flag.
struct CliOptionHelp {
    const char* name; // without the dashes
    const char* valueName;
    const char* description;
};

// What "tobrin-cli COMMAND --help" says. --config is added for every command.
struct CliHelp {
    const char* summary;
    const char* arguments;     // synopsis of the words after the options, "" when none
    const char* argumentsHelp; // what they are
    std::vector<CliOptionHelp> options;
};

struct CliCommand {
    // args: the words after the command name. Returns the process exit code.
    using Run = std::function<int(const QStringList& args)>;
    CliCommand(const char* name, const char* usage, CliHelp help, Run run);
};

struct CliCommandEntry {
    QString name;
    QString usage;
    CliHelp help;
    CliCommand::Run run;
};
const QList<CliCommandEntry>& cli_commands();
