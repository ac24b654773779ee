// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commented configuration file written at the first start in ~/Tobrin and printed by
// "tobrin-cli config --template": every key on a comment line with its default, so that
// reading it back changes nothing and removing the ";" of a default line keeps the default.
#include <QByteArray>
#include <QString>

// The file's bytes: code page 932, CR LF. Fills the preset lists of the state (it lists
// the built-in titles and publishers), so call it before start-up, not after.
QByteArray config_template();

// The folder the desktop entry starts the program in: ~/Tobrin.
QString home_work_dir(const QString& home);

// First start from the menu: when `cwd` is `home_work_dir(home)`, no configuration is
// named and no tobrin.cfg lies there, writes the template as tobrin.cfg. True when it
// wrote one; a start anywhere else touches nothing.
bool write_first_config(const QString& cwd, const QString& home, const QString& argument);
