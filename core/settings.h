// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file (`IniFilePath`, default "tobrin.ini"): the window geometry of the
// eight screens and the twenty saved setting strings. Read at start-up, written at exit.
#include "core/arrays.h"
#include <QByteArray>
#include <QString>
#include <cstdint>

// Reader. Any failure (missing file, other version's title, a cut file, a bad number)
// gives the full defaults and sets `code` to 1; otherwise `code` is left as it is.
void load_settings(int16_t& code);

// The reader on the bytes of a settings file, in memory.
void load_settings_bytes(const QByteArray& bytes, int16_t& code);
// What the writer writes.
QByteArray settings_bytes();

// Writer. Replaces the file atomically (in place where its folder cannot be written); silent
// on failure (also when the file is read-only or no regular file), leaving the previous file
// intact.
void save_settings();

// All defaults of FormPos and SavedSettings; CurrentDrive and SavedSettings(20) from the
// current directory unless CurrentDrive is an answering drive. result = 1.
void set_default_settings(int16_t& result);

// Default geometry and strings (also the initial values of the state).
Fixed2<int16_t, 8, 4> default_form_pos();
Fixed1<QString, 20> default_saved_settings();
