// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up: file paths, settings, drives, presets, configuration, file probes, backup.
#include <QString>

// `argument`: the command-line argument (the configuration file's path), "" when none.
// sideEffects false (the tobrin-cli commands that only read): everything is read, nothing is
// written, no journal is settled and no backup is made.
void startup(const QString& argument, bool sideEffects = true);
