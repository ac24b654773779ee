// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of a zip archive, read from its central directory alone: a walk needs no local
// header and no data, which libarchive's seekable reader fetches for every entry.
#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <vector>

class QIODevice;

struct ZipName {
    QByteArray path; // as libarchive gives it: the bytes, or the checked Info-ZIP UTF-8 path
    mode_t type = 0; // AE_IFDIR, AE_IFREG, AE_IFLNK, ...
};

enum class ZipDirectory {
    Absent,  // no end record that fits the file's end exactly: not read here
    Read,    // every central directory entry read
    Damaged, // the end record is whole, the directory it names is not; `reason` says how
};

// Reads the central directory of the zip `file` (`size` bytes long, positioned anywhere).
// Only an archive that starts at the file's first byte is read here (a self-extracting one
// is left to libarchive). On Damaged, `names` holds the entries before the damage.
ZipDirectory read_zip_directory(QIODevice& file, qint64 size, std::vector<ZipName>& names,
                                QString& reason);
