// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Path and drive helpers shared by start-up, the file probes and the catalogue writer.
//
// Two kinds of path live side by side:
// - local paths: the directories of the four files (`DataDir` and the like) are ordinary
//   Linux paths and end in "/";
// - drive-form paths: catalogue paths ("\DOS\", "q:\DOS\TOOLS\") keep the Windows form and
//   end in "\".
// The rule that tells them apart: a path that contains a backslash, is empty, or is a bare
// drive ("q:") is drive-form; every other path ("/srv/data", "data", "./x") is local.
#include "core/state.h"
#include <QChar>
#include <QString>
#include <cstdint>

// True when `path` is drive-form by the rule above.
bool is_drive_form(const QString& path);

// Appends the separator ("\" for drive-form paths, "/" for local ones) to the caller's
// variable when it lacks one and returns the result. "" becomes "\"; "C:\" stays.
QString add_backslash(QString& path);

// 1 when the drive answers (its directory exists and can be listed), -1 otherwise.
int16_t check_drive(QChar letter);

// Rebuilds G.DriveLetters: every answering letter a..z, in order, lower case.
void enum_drives();

// Probes dir + name. state: 0 absent, 1 an ordinary file, 5 a directory or an unusable
// name; readonly: 1 read-only, 0 writable, -1 not determined. A non-empty name passes
// `dir` through add_backslash (the caller's variable changes). A symbolic link is probed as
// the file it names (a dangling one is absent). Directories, hidden (".name") and system
// files (devices, fifos, sockets) are not ordinary files and give state 0. Errors count as
// "absent".
void check_file(QString& dir, const QString& name, int16_t& state, int16_t& readonly);

// The local path of a file path as the program holds it: local paths are returned as
// they are; drive-form ones go through the drive map ("\x" is on the current drive,
// "q:\x" on drive q), and a relative one ("data\x") just swaps its separators.
QString to_local_file(const QString& path);

// The local path of the catalogue (`DataFilePath`, which start-up builds from `DataDir` and
// `DataFileName`, through the drive map): the one name that every reader, the writer, the
// backup and the journal open.
QString catalogue_local_path();
QString catalogue_local_path(const CatalogueFiles& files);
