#pragma once
// The Linux side of what the program calls drives, drive-letter paths and attributes.
// Letters a..z name local directories: "c" is "/", mounted file systems under /media,
// /run/media and /mnt take the free letters from "d" on, and configuration lines
// "#40:q=/some/dir" pin a letter to a directory. Inside the program a catalogue path
// keeps its drive-letter form ("q:\DOS\TOOLS\"); only this layer turns it into a local one.
#include <QChar>
#include <QMap>
#include <QString>

// Windows attribute bits, as the procedures test them.
enum FileAttr : int {
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrVolume = 8,
    AttrDirectory = 16,
    AttrArchive = 32,
};

// Rebuilds the drive map; reads the key-40 lines of `cfgFilePath` (silently: a missing
// or unreadable file just pins nothing).
void platform_map_drives(const QString& cfgFilePath);
// The map as it stands: letter -> local directory (no trailing "/" except for "/").
const QMap<QChar, QString>& drive_map();
// The local directory of a drive letter (either case), empty when the letter is unmapped.
QString drive_root(QChar letter);
// True when the letter's directory exists and can be listed.
bool drive_answers(QChar letter);
// The letter whose directory is the longest prefix of `localPath` ("c" when none fits).
QChar drive_of_path(const QString& localPath);

// "q:\DOS\TOOLS\" -> "<root of q>/DOS/TOOLS/"; a path without a drive is taken on the
// current drive. Empty when the letter is unmapped.
QString local_path(const QString& drivePath);

// Volume label of the file system mounted exactly at the drive's directory, else "".
QString volume_label(QChar letter);

// Attribute bits of a local path, not following a final symbolic link; -1 when it does
// not exist. Read-only: no write permission bit at all. Hidden: the name starts with ".".
// System: neither a regular file nor a directory (device, fifo, socket). A symbolic link
// reports AttrSystem and never AttrDirectory, so nothing follows it.
int path_attributes(const QString& localPath);
bool is_symlink(const QString& localPath);

// The same bits for a file probe, which follows symbolic links: a link counts as the file it
// names (its own name decides "hidden"), a dangling link does not exist (-1).
int file_attributes(const QString& localPath);
