// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up for tobrin-cli commands.
#include <QStringList>

// Installs the CLI seam (messages to stderr), removes "--config PATH" from `args` and runs
// start-up with that configuration path ("tobrin.cfg" in the current directory when not
// given). False (after a message on stderr) when "--config" lacks its path.
bool cli_startup(QStringList& args, bool sideEffects = true);

// For the commands that read the catalogue: true when it is there as a file; otherwise,
// after a line on stderr, false (the command then exits 2, as check does).
bool cli_catalogue_there();
