// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration file (`CfgFilePath`, default "tobrin.cfg"): read once at start-up.
// Lines "#NN:value" (whole rest), "%NN:v" (one character) and "$NN:value" (12 characters,
// blank-padded); any other line is a comment.
#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QMap>
#include <QString>
#include <cstdint>

// Fills the built-in preset lists (titles, publishers, years, months, label captions).
// The years count down from the current year (the next one in November and December).
void set_preset_lists();
void set_preset_lists(const QDate& today);

// Splits one line; key < 1 means the line is not a setting.
void parse_config_line(const QString& line, QString& value, int16_t& key);

// Reads and applies `CfgFilePath`, then sizes the tables. A file that cannot be opened or
// a line that cannot be applied stops the reading with message 071; what was applied
// before stays.
void read_config();

// The drive pins of the file (key 40, "#40:q=/some/dir": letter -> folder or image file as
// written), read as read_config reads the file and up to the line where it stops. Nothing is
// applied and nothing is shown; a missing file pins nothing.
QMap<QChar, QString> read_drive_pins(const QString& localPath);

// The reading of both on the bytes of a file, in memory: with `apply` that of read_config
// (without its message and table sizing), else that of read_drive_pins. False at the line
// where the reading stops; `pins` the drive pins read up to there.
bool read_config_bytes(const QByteArray& bytes, bool apply, QMap<QChar, QString>& pins);

// The number conversion of the numeric keys: leading blanks skipped, the longest leading
// decimal number taken (none gives 0), rounded half to even. False when the result lies
// outside [lo, hi].
bool config_number(const QString& value, double lo, double hi, int32_t& out);
