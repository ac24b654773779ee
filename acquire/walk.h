// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The directory walk: fills the acquired directory list (G.DirPaths, G.EntryNames,
// G.EntryParentIndex and their counts) from one drive, tests a directory for files, and
// removes single entries. Paths are drive-form ("q:\DOS\TOOLS\"); the platform layer
// turns them into local ones.
//
// On Linux: hidden directories (".name") are recorded like any other; symbolic links are
// not part of the medium and are neither followed nor recorded; a file system mounted
// inside the walked tree is recorded as an entry but not descended into. Each directory's
// subdirectories are recorded in name order (the file system's own order is arbitrary),
// so walking the same tree twice gives the same list.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

// Walks `sub_path` (drive, colon and trailing "\", e.g. "q:\") recursively, appending to
// the list; the caller sets DirCount and EntryCount to 0 first. k: 1 when the last
// directory started was listed, 0 otherwise. A directory that cannot be listed shows
// message 203 and the walk goes on with the rest; a full table shows message 203 once,
// naming the directory being listed, and ends the whole walk with k = 0.
void ListSubDirs(const QString& sub_path, int16_t& k);

// Whether the directory `sub_file` (drive form, "\" appended when missing) holds at least
// one file: j = 1 or 0. Subdirectories never count; a file that is both hidden and system
// is not seen. On failure: message 202, j = 1 and k = EntryCount + 1.
void ListSubFile(QString& sub_file, int16_t& j, int16_t& k);
// What one pruning has learnt: whether a directory holds files cannot change while one
// pruning reads a medium, so each directory is listed once however many passes ask. An
// entry is known by its parent slot and its name, which a pruning does not change.
class EntryProbes {
  public:
    struct Key {
        int slot;
        QString name;
        QByteArray raw;
        bool operator==(const Key&) const = default;
    };
    QHash<Key, int16_t> hasFiles;
};
size_t qHash(const EntryProbes::Key& key, size_t seed = 0);
// The same probe of entry i's own directory, found by the bytes the walk recorded (a
// name need not be UTF-8, or may hold a backslash). With `known`, a directory probed before
// in the same pruning is answered from it; a failed probe is not remembered.
void probe_entry_files(int i, int16_t& j, int16_t& k, EntryProbes* known = nullptr);
// The probe of a directory given by its full path on disk (bytes).
void list_sub_file_at(const QByteArray& local, int16_t& j, int16_t& k);
// The file names the deletion screen lists for a directory given by its full path on disk
// (bytes): ordinary files without the hidden ones, ordered case-insensitively by character
// code. `readable` false (and no names) when the directory cannot be read.
QStringList directory_file_names(const QByteArray& local, bool& readable);
// The same for a drive-form directory ("q:\DOS", "\" appended when missing).
QStringList directory_file_names(const QString& drivePath, bool& readable);
// Entry i's directory on disk: the drive's directory, the recorded bytes of its parent
// and name (the text encoded where nothing was recorded for it), "/" at the end.
QByteArray entry_local_path(int i);

// Removes entry p (1 <= p <= EntryCount; other positions change nothing); an emptied list
// becomes the root placeholder.
void remove_entry(int p);
// The list of a drive without subdirectories: parent "\" and one entry with an empty name.
void install_root_placeholder();
// Entry i as the user sees it: its parent slot (with "\" ensured) followed by its name,
// a backslash inside a name shown as "\".
QString entry_display_line(int i);

// The progress text of a directory: "\" for the root, else the path without its trailing
// "\", cut to its tail when longer than 31 code-page-932 bytes.
QString walk_progress_path(const QString& sub_path);
// The last characters of `text` that first reach `bytes` code-page-932 bytes (so 31 or 32
// bytes for 31); `text` itself when it is not longer than that.
QString cp932_tail(QStringView text, int bytes);

