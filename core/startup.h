// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up: file paths, settings, drives, presets, configuration, file probes.
#include <QString>

// `argument`: the command-line argument (the configuration file's path), "" when none.
// Everything is read and nothing is written: a run that may write settles the catalogue's
// journal and makes the start-up backup next (settle_at_startup).
void startup(const QString& argument);
