// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small images and archives made with libarchive's own writer, for the walk of image
// drives: ISO 9660 (with or without Joliet and Rock Ridge), zip and tar.
#include <QByteArray>
#include <QList>
#include <QString>

struct ArchiveItem {
    QByteArray path;       // as the archive holds it; "dir/" makes a directory
    QByteArray content;    // a regular file's data
    QByteArray linkTo{};   // non-empty: a symbolic link to this target
    bool hardLink = false; // linkTo names the file this entry is a hard link to
};

// `format`: "iso" (Rock Ridge and Joliet), "iso-joliet" (Joliet only), "iso-plain" (ISO 9660
// names only), "zip-utf8" (UTF-8 flag set), "zip-raw" (names as given, no flag), "tar",
// "tar.gz". `options`: further writer options ("volume-id=DISC"). False when libarchive
// refused something.
bool make_archive(const QString& file, const QString& format, const QList<ArchiveItem>& items,
                  const QByteArray& options = {});

// Extracts the archive `file` into the directory `dir` (made when missing), names by their
// bytes. False when libarchive refused something.
bool extract_archive(const QString& file, const QString& dir);

// Writes `label` into the Joliet descriptor of the ISO image `file`, which libarchive fills
// with the primary one's label. False when the image has none.
bool set_joliet_label(const QString& file, const QString& label);
