// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the tests: a fresh state, files in code page 932, trees on disk.
#include <QByteArray>
#include <QString>
#include <QStringList>

// Resets the program-wide state to its initial values.
void fresh_state();
// Writes `lines` in code page 932, each ending in CR LF.
void write_cp932_file(const QString& path, const QStringList& lines);
QByteArray read_bytes(const QString& path);
void write_bytes(const QString& path, const QByteArray& bytes);
// Creates every directory of `relativeDirs` below `root` ("A/A1" makes A and A/A1).
void make_dirs(const QString& root, const QStringList& relativeDirs);
// Creates an empty file (and its directory).
void touch(const QString& path, const QByteArray& content = QByteArray());
// The search's result lines held in G, as "kind text".
QStringList result_lines();
