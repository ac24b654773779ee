// SPDX-License-Identifier: GPL-3.0-or-later
// Image and archive drives: the directory tree inside an image or archive file, read with
// libarchive from its headers alone (a zip from its central directory), and checked against
// what the format itself proves: a damaged image is reported, never listed as less.
#include "core/codepage.h"
#include "core/platform.h"
#include "core/state.h"
#include "core/zip_directory.h"
#include <QFile>
#include <QHash>
#include <QtEndian>
#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <locale.h>
#include <memory>
#include <sys/stat.h>

// One read of an image: every directory by its path inside ("/A/B/").
struct ImageTree {
    struct stat id {}; // the file as it was read: re-read when it changes
    bool opened = false;
    QString fault;
    QHash<QByteArray, ImageDirListing> dirs;
};

namespace {

// Names are converted into the thread's locale: a UTF-8 one gives Joliet, 7z and
// UTF-8-flagged zip names as UTF-8, whatever the user's locale, and leaves the bytes of
// names that carry no charset (plain ISO 9660, Rock Ridge, zip without the flag, tar) as
// the archive holds them, for the name rules to read.
class Utf8Names {
  public:
    Utf8Names() {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if ((loc_ = ::newlocale(LC_CTYPE_MASK, name, locale_t(nullptr)))) break;
        if (loc_) old_ = ::uselocale(loc_);
    }
    ~Utf8Names() {
        if (!loc_) return;
        ::uselocale(old_);
        ::freelocale(loc_);
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

  private:
    locale_t loc_ = locale_t(nullptr);
    locale_t old_ = locale_t(nullptr);
};

// The formats of media and their archives. Not mtree: its entries name files on this
// machine, which it would open.
archive* new_reader() {
    archive* a = archive_read_new();
    archive_read_support_format_7zip(a);
    archive_read_support_format_cab(a);
    archive_read_support_format_cpio(a);
    archive_read_support_format_iso9660(a);
    archive_read_support_format_lha(a);
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    archive_read_support_format_tar(a);
    archive_read_support_format_xar(a);
    archive_read_support_format_zip(a);
    archive_read_support_filter_all(a);
    return a;
}

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<archive, ArchiveCloser>;

const QString NoEntry = QStringLiteral("読み取れる項目がひとつもありません");

// libarchive's own words for what stopped it, as a platform's error text.
QString archive_reason(const Reader& a) {
    const char* text = archive_error_string(a.get());
    return text && *text ? QString::fromLocal8Bit(text)
                         : QStringLiteral("アーカイブが壊れています");
}

bool open_reader(const Reader& a, const QString& file) {
    return archive_read_open_filename(a.get(), QFile::encodeName(file).constData(), 64 * 1024) ==
           ARCHIVE_OK;
}

// The directory `path` ("/A/B/"), and every directory above it, made known to its parent.
ImageDirListing& ensure_dir(ImageTree& tree, const QList<QByteArray>& parts, qsizetype count) {
    QByteArray path("/");
    ImageDirListing* dir = &tree.dirs[path];
    for (qsizetype i = 0; i < count; ++i) {
        dir->subdirs.insert(parts[i]);
        path += parts[i] + '/';
        dir = &tree.dirs[path];
    }
    return *dir;
}

// Places one entry; false when its path leaves the tree, which makes the whole archive
// suspect: the walk stops, as for damage, and says which entry it was.
bool add_entry(ImageTree& tree, const QString& file, const QByteArray& path, mode_t type) {
    QList<QByteArray> parts;
    bool climbs = path.startsWith('/');
    for (const QByteArray& p : path.split('/')) {
        if (p.isEmpty() || p == ".") continue;
        if (p == "..") climbs = true;
        parts << p;
    }
    if (climbs) {
        tree.fault = file + u':' + disk_name_text(path);
        return false;
    }
    if (parts.isEmpty()) return true;
    if (type == AE_IFDIR) {
        ensure_dir(tree, parts, parts.size());
        return true;
    }
    ImageDirListing& dir = ensure_dir(tree, parts, parts.size() - 1);
    // A hard link is a file of its own; anything else but a file is a "system" entry.
    if (type == AE_IFREG || type == 0)
        dir.files.insert(parts.last());
    else
        dir.others.insert(parts.last());
    return true;
}

bool read_at(QFile& f, qint64 pos, qint64 length, QByteArray& out) {
    if (!f.seek(pos)) return false;
    out = f.read(length);
    return out.size() == length;
}

constexpr qint64 IsoSector = 2048;

// An ISO 9660 image names itself in its first volume descriptor, after 16 system sectors.
bool has_iso_signature(QFile& f) {
    QByteArray d;
    return read_at(f, 16 * IsoSector, 6, d) && d.mid(1, 5) == "CD001";
}

// What the volume descriptors of an ISO 9660 image prove wrong with the file: a set that
// breaks off before its terminator or has no primary descriptor, or a file shorter than the
// volume the primary one records. Empty when the file is whole as far as they tell.
QString iso_fault(QFile& f) {
    qint64 volume = -1;
    for (qint64 sector = 16;; ++sector) {
        QByteArray d;
        // A real set holds a handful of descriptors; a run of hundreds is no set.
        if (sector >= 16 + 256 || !read_at(f, sector * IsoSector, IsoSector, d) ||
            d.mid(1, 5) != "CD001")
            return QStringLiteral("ISO 9660のボリューム記述子が欠けています");
        const int type = static_cast<unsigned char>(d[0]);
        // The volume space size and the logical block size, both recorded both-endian.
        if (type == 1 && volume < 0)
            volume = qint64(qFromLittleEndian<quint32>(d.constData() + 80)) *
                     qFromLittleEndian<quint16>(d.constData() + 128);
        if (type == 255) break;
    }
    if (volume < 0) return QStringLiteral("ISO 9660のボリューム記述子が欠けています");
    if (f.size() < volume)
        return QStringLiteral(
                   "イメージが途中で切れています（ボリューム%1バイト、ファイル%2バイト）")
            .arg(volume)
            .arg(f.size());
    return QString();
}

// A zip that starts at the file's start is listed from its central directory alone.
// False when the file is none, for libarchive to read.
bool read_zip_tree(ImageTree& tree, const QString& file, QFile& f) {
    QByteArray magic;
    if (!read_at(f, 0, 4, magic) || (magic != "PK\x03\x04" && magic != "PK\x05\x06")) return false;
    std::vector<ZipName> names;
    QString reason;
    const ZipDirectory result = read_zip_directory(f, f.size(), names, reason);
    if (result == ZipDirectory::Absent) return false;
    tree.opened = true;
    for (const ZipName& n : names)
        if (!add_entry(tree, file, n.path, n.type)) return true;
    if (result == ZipDirectory::Damaged)
        tree.fault = file + u':' + reason;
    else if (names.empty())
        tree.fault = file + u':' + NoEntry;
    return true;
}

void read_tree(ImageTree& tree, const QString& file) {
    Utf8Names utf8;
    tree.dirs.insert(QByteArray("/"), ImageDirListing());
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return;
    const bool iso = has_iso_signature(f);
    if (!iso && read_zip_tree(tree, file, f)) return;

    Reader a(new_reader());
    qint64 entries = 0;
    if (open_reader(a, file)) {
        tree.opened = true;
        // The format's own position where the last entry's data ended.
        qint64 entryEnd = 0;
        for (;;) {
            archive_entry* e = nullptr;
            const int r = archive_read_next_header(a.get(), &e);
            if (r == ARCHIVE_EOF) {
                // A tar ends with a block of zeros (two, as a rule); libarchive also takes
                // the file's end at a block boundary for the end, which a cut leaves.
                if ((archive_format(a.get()) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_TAR &&
                    archive_filter_bytes(a.get(), 0) < entryEnd + 512)
                    tree.fault =
                        file + u':' +
                        QStringLiteral(
                            "アーカイブが途中で切れています（tarの終わりの印がありません）");
                break;
            }
            // A damaged or truncated archive ends here, and so does a warning: a listing
            // with a doubt in it is not a medium's. What was read stays.
            if (r != ARCHIVE_OK) {
                tree.fault = file + u':' + archive_reason(a);
                break;
            }
            ++entries;
            const char* name = archive_entry_pathname(e);
            if (!name) name = archive_entry_pathname_utf8(e);
            if (!name) {
                tree.fault = file + u':' + archive_reason(a);
                break;
            }
            if (!add_entry(tree, file, QByteArray(name), archive_entry_filetype(e))) break;
            if (archive_read_data_skip(a.get()) != ARCHIVE_OK) {
                tree.fault = file + u':' + archive_reason(a);
                break;
            }
            entryEnd = archive_filter_bytes(a.get(), 0);
        }
        // Zero blocks, or any file that holds nothing libarchive can name, are no medium.
        if (tree.fault.isEmpty() && entries == 0) tree.fault = file + u':' + NoEntry;
    }
    // An ISO 9660 image is checked against its own descriptors: libarchive lists a cut one
    // (or reads its zero system area as an empty tar) without a word.
    const bool readAsIso =
        (archive_format(a.get()) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ISO9660;
    if (iso && (readAsIso || entries == 0)) {
        const QString reason = iso_fault(f);
        if (!reason.isEmpty()) {
            tree.opened = true;
            tree.fault = file + u':' + reason;
        }
    }
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// The image's tree, read again only when the file changed since the last one read.
std::shared_ptr<const ImageTree> tree_of(const QString& file) {
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    DriveMap& d = G.Drives;
    if (d.cachedTree && d.cachedImage == file && same_file(d.cachedTree->id, st))
        return d.cachedTree;
    auto tree = std::make_shared<ImageTree>();
    tree->id = st;
    read_tree(*tree, file);
    d.cachedImage = file;
    d.cachedTree = tree;
    return tree;
}

QString trimmed_label(const QString& text) {
    QString t = text;
    while (t.endsWith(u' ') || t.endsWith(QChar(0)))
        t.chop(1);
    return t.trimmed();
}

} // namespace

bool image_list_dir(const QString& image, const QByteArray& inner, ImageDirListing& out) {
    const auto tree = tree_of(image);
    if (!tree || !tree->opened) return false;
    const auto it = tree->dirs.constFind(inner);
    if (it == tree->dirs.constEnd()) return false;
    out = *it;
    return true;
}

QString image_read_fault(const QString& image) {
    const auto tree = tree_of(image);
    if (!tree) return image;
    return tree->opened ? tree->fault : image;
}

bool image_opens(const QString& file) {
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    Utf8Names utf8;
    Reader a(new_reader());
    if (!open_reader(a, file)) return false;
    archive_entry* e = nullptr;
    return archive_read_next_header(a.get(), &e) >= ARCHIVE_WARN;
}

QString image_volume_label(const QString& file) {
    // The volume descriptors follow 16 system sectors of 2048 bytes; each starts with its
    // type and "CD001". The primary one (type 1) holds the identifier in 32 bytes at
    // offset 40; a Joliet one (type 2 with a UCS-2 escape sequence at 88) holds it there
    // in UTF-16BE.
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    QString primary, joliet;
    for (qint64 sector = 16; sector < 16 + 32; ++sector) {
        if (!f.seek(sector * 2048)) break;
        const QByteArray d = f.read(2048);
        if (d.size() < 2048 || d.mid(1, 5) != "CD001") break;
        const int type = static_cast<unsigned char>(d[0]);
        if (type == 255) break;
        if (type == 1 && primary.isNull()) primary = trimmed_label(disk_name_text(d.mid(40, 32)));
        const QByteArray esc = d.mid(88, 3);
        if (type == 2 && (esc == "%/@" || esc == "%/C" || esc == "%/E")) {
            QString text;
            for (int i = 40; i + 1 < 72; i += 2)
                text += QChar(char16_t((static_cast<unsigned char>(d[i]) << 8) |
                                       static_cast<unsigned char>(d[i + 1])));
            joliet = trimmed_label(text);
        }
    }
    return !joliet.isEmpty() ? joliet : primary.isNull() ? QString() : primary;
}
