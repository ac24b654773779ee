// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Linux side of what the program calls drives, drive-letter paths and attributes.
// Letters a..z name local directories: "c" is "/", mounted file systems under /media,
// /run/media and /mnt take the free letters from "d" on, and configuration lines
// "#40:q=/some/dir" pin a letter to a directory, "#40:i=/srv/isos/disc1.iso" to an image
// or archive file (see Image drives below). Inside the program a catalogue path
// keeps its drive-letter form ("q:\DOS\TOOLS\"); only this layer turns it into a local one.
#include <QByteArray>
#include <QChar>
#include <QMap>
#include <QString>
#include <memory>
#include <set>

// Windows attribute bits, as the procedures test them.
enum FileAttr : int {
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrVolume = 8,
    AttrDirectory = 16,
    AttrArchive = 32,
};

struct ImageTree;

// The drives of this run, held in G.Drives (reset_state() forgets them): letter -> local
// directory (no trailing "/" except for "/") or the image file the letter stands for.
struct DriveMap {
    QMap<QChar, QString> roots;
    QMap<QChar, bool> images; // letters pinned to a file rather than a directory
    // The last image read, kept while its file stays the same: pruning and the deletion
    // screen ask for one directory at a time.
    QString cachedImage;
    std::shared_ptr<const ImageTree> cachedTree;
};

// Rebuilds the drive map with the key-40 pins of the configuration file `cfgFilePath`, up to
// the line where reading that file stops (silently: a missing or unreadable file just pins
// nothing; read_config gives the message).
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

// Image drives. A letter pinned to a file stands for the directory tree inside that image
// or archive (ISO 9660 with Joliet and Rock Ridge, zip, 7z, tar, cpio, lha, rar, cab, xar,
// compressed or not), read with libarchive: only its headers (a zip's central directory),
// nothing is extracted. Its local paths are the file's path followed by the path inside
// ("/srv/disc1.iso/DOS/"), which no real directory can have, because the file is none.
// Names are the bytes the archive holds (Joliet, 7z and UTF-8-flagged zip names as UTF-8);
// entries whose path climbs out ("..") or is absolute are never placed, and links are never
// followed.
bool drive_is_image(QChar letter);
// Pins `letter` to the image `file` for this run (tobrin-cli --image, a dropped file).
void pin_image_drive(QChar letter, const QString& file);
// The first letter from "d" on that the map does not hold; a null QChar when none is free.
QChar first_free_letter();

// What one directory inside an image holds, each set in name (byte) order.
struct ImageDirListing {
    std::set<QByteArray> subdirs;
    std::set<QByteArray> files;  // regular files
    std::set<QByteArray> others; // links, devices, fifos: the "system" entries
};
// When `local` lies inside a pinned image: the image file and the path inside it ("/" first
// and last).
bool image_path_split(const QByteArray& local, QString& image, QByteArray& inner);
// The directory `inner` ("/A/B/") of `image`; false when the image does not open as an
// archive or holds no such directory. An unchanged file is read only once.
bool image_list_dir(const QString& image, const QByteArray& inner, ImageDirListing& out);
// Empty when the last read of `image` reached its end and found the image whole; otherwise
// what stopped it, for message 203: the image's path, followed by ":" and the entry when an
// entry's path left the tree ("/x.tar:../evil"), or by ":" and what is wrong with the image
// when its format proves it damaged ("/x.iso:イメージが途中で切れています（…）"): a cut or
// damaged archive, an ISO 9660 image shorter than its volume or without its volume
// descriptors, a tar without its end, a file that holds no entry at all.
QString image_read_fault(const QString& image);
// Whether `file` opens as an image or archive (its first header can be read).
bool image_opens(const QString& file);
// The ISO 9660 volume identifier (Joliet's where there is one), trimmed; "" for anything
// that is no ISO 9660 image.
QString image_volume_label(const QString& file);
// What a listed name is, not following a symbolic link. Other: a link, device, fifo or
// socket; Gone: it vanished while the directory was listed.
enum class DiskKind : unsigned char { Gone, Directory, File, Other };

// The names of one directory on disk as bytes, as the disk spells them, "." and ".." left
// out, in the file system's own order.
class DiskDirectory {
  public:
    explicit DiskDirectory(const QByteArray& path);
    ~DiskDirectory();
    DiskDirectory(const DiskDirectory&) = delete;
    DiskDirectory& operator=(const DiskDirectory&) = delete;
    bool is_open() const;
    // Steps to the next name; false at the end, when failed() tells a read error.
    bool next();
    bool failed() const { return failed_; }
    const char* name() const;
    // The kind the listing tells, asking the file system only when the listing does not.
    DiskKind kind();
    // The kind and the file system's device of the name, asked of the file system (once
    // per name).
    DiskKind stat_kind(quint64& device);

  private:
    struct Impl;
    Impl* d_;
    bool failed_ = false;
};

// The device of the file system that holds `path`, following links; false when it does
// not exist.
bool disk_device(const QByteArray& path, quint64& device);
// Whether `path` is a directory itself (a link to one is not).
bool disk_is_directory(const QByteArray& path);
