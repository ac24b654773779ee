// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquire/walk.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <QFile>
#include <QHash>
#include <algorithm>
#include <vector>

namespace {

QString with_backslash(const QString& path) {
    return path.endsWith(u'\\') ? path : path + u'\\';
}

// One walk: the progress throttle, the device of the walked tree (to stay on the medium's
// own file system) and whether a full table has ended it.
struct WalkRun {
    ProgressThrottle throttle{G.ListProgressIntervalMs};
    quint64 rootDevice = 0;
    bool tableFull = false;
    QString image; // the image or archive file the drive stands for, else empty
};

struct SubDir {
    QByteArray raw; // the name as the file system has it (it may not be valid UTF-8)
    QString name;
    bool descend = true; // false for a mount point
};

// The text the user sees: a backslash inside a name is shown as one.
QString shown(QString text) {
    text.replace(QChar(NameBackslash), u'\\');
    return text;
}

// The disk tables follow the text tables' capacities (the configuration sizes those).
void ensure_disk_tables() {
    if (G.DirDiskPaths.size() < G.DirPaths.size()) G.DirDiskPaths.redim_preserve(G.DirPaths.size());
    if (G.EntryDiskNames.size() < G.EntryNames.size())
        G.EntryDiskNames.redim_preserve(G.EntryNames.size());
}

// Whether the disk path `raw` ("/A/B/") spells the text path `text` ("\A\B\").
bool disk_path_matches(const QByteArray& raw, const QString& text) {
    const QList<QByteArray> parts = raw.split('/');
    const QStringList texts = text.split(u'\\');
    if (parts.size() != texts.size()) return false;
    for (qsizetype i = 0; i < parts.size(); ++i)
        if (!disk_name_matches(parts[i], texts[i])) return false;
    return true;
}

// A name as it will be held when its catalogue line cannot tell it from a sibling's: its
// bytes that the line would not give back are kept as escapes (U+DC00 + byte). For a name
// that is not UTF-8 (a code-page-932 twin of a UTF-8 name) those are all its bytes; for a
// UTF-8 one, the bytes of each character that Windows converts on the way into code page 932
// ("〜" is stored as "～" is).
QString name_kept_apart(const SubDir& s) {
    if (!utf8_valid(s.raw)) return disk_name_text(s.raw, false);
    QString out;
    for (qsizetype i = 0; i < s.name.size(); ++i) {
        const char16_t c = s.name.at(i).unicode();
        if (cp932_encodable(c) && !cp932_decodes_to(c)) {
            for (const char b : QString(QChar(c)).toUtf8())
                out += QChar(char16_t(0xDC00 + uint8_t(b)));
        } else {
            out += QChar(c);
        }
    }
    return out;
}

// Sibling names are compared as their catalogue lines will hold them: two that would be
// stored alike are kept apart.
void keep_names_apart(std::vector<SubDir>& subs) {
    if (subs.size() < 2) return;
    std::vector<QByteArray> stored;
    stored.reserve(subs.size());
    QHash<QByteArray, int> seen;
    for (const SubDir& s : subs) {
        stored.push_back(encode_cp932(escape_for_catalogue(s.name)));
        ++seen[stored.back()];
    }
    for (size_t i = 0; i < subs.size(); ++i)
        if (seen.value(stored[i]) > 1) subs[i].name = name_kept_apart(subs[i]);
}

void fail_listing(const QString& sub_path, int16_t& k) {
    k = 0;
    // The search tables were not read for this list: mark them empty.
    G.HeaderBlockCount = -1;
    G.ResultLineCount = -1;
    show_message(message_203(shown(sub_path)));
    seam().yield();
}

int dir_capacity() {
    return std::min<int>(G.MaxDirCount, G.DirPaths.size());
}
int entry_capacity() {
    return std::min({int(G.MaxEntryCount), G.EntryNames.size(), G.EntryParentIndex.size()});
}

// `local`: the directory's full path on disk; `rel`: its path below the drive's
// directory ("/" first and last); both as bytes, as the disk spells them.
void list_directory(WalkRun& run, const QString& sub_path, const QByteArray& local,
                    const QByteArray& rel, int16_t& k) {
    bool labelShown = false;
    auto show_progress = [&](int counter) {
        if (!labelShown) {
            seam().progress_label(1, QStringLiteral("ディレクトリを取得中です。") + G.CrLf +
                                         G.CrLf + walk_progress_path(sub_path));
            labelShown = true;
        }
        if (counter > 0) seam().progress_label(2, QString::number(counter));
        seam().yield();
    };
    int m = 1;
    PendingProgress pending([&] {
        labelShown = false;
        show_progress(m);
    });
    if (run.throttle.due()) show_progress(0);

    k = 1;
    bool readFailed = false;
    std::vector<SubDir> subs;
    if (!run.image.isEmpty()) {
        // The image's directory, already read whole: its subdirectories come in name order.
        ImageDirListing listing;
        if (!image_list_dir(run.image, rel, listing)) {
            fail_listing(sub_path, k);
            return;
        }
        for (const QByteArray& raw : listing.subdirs)
            subs.push_back({raw, disk_name_text(raw), true});
        m += int(listing.subdirs.size() + listing.files.size());
        if (run.throttle.due()) show_progress(m);
    } else {
        DiskDirectory dir(local);
        if (!dir.is_open()) {
            fail_listing(sub_path, k);
            return;
        }
        while (dir.next()) {
            const DiskKind kind = dir.kind();
            // Devices, fifos, sockets and links are the "system" entries the listing leaves
            // out.
            if (kind != DiskKind::Directory && kind != DiskKind::File) continue;
            if (kind == DiskKind::Directory) {
                quint64 device = 0;
                if (dir.stat_kind(device) != DiskKind::Directory) continue;
                const char* n = dir.name();
                subs.push_back({QByteArray(n), disk_name_text(n), device == run.rootDevice});
            }
            ++m;
            if (run.throttle.due()) show_progress(m);
        }
        readFailed = dir.failed();
    }

    // Name order, so that the same tree always gives the same list.
    std::sort(subs.begin(), subs.end(),
              [](const SubDir& a, const SubDir& b) { return a.raw < b.raw; });
    keep_names_apart(subs);
    int n = 0;
    for (const SubDir& s : subs) {
        if ((n == 0 && G.DirCount >= dir_capacity()) || G.EntryCount >= entry_capacity()) {
            // Every later directory would fail the same way: stop here, once.
            run.tableFull = true;
            fail_listing(sub_path, k);
            return;
        }
        if (n == 0) {
            ++G.DirCount;
            G.DirPaths(G.DirCount) = sub_path.mid(2);
            G.DirDiskPaths(G.DirCount) = rel;
        }
        ++n;
        ++G.EntryCount;
        G.EntryParentIndex(G.EntryCount) = G.DirCount;
        G.EntryNames(G.EntryCount) = s.name;
        G.EntryDiskNames(G.EntryCount) = s.raw;
    }
    if (readFailed) {
        fail_listing(sub_path, k);
        return;
    }

    for (const SubDir& s : subs) {
        if (run.tableFull) return;
        if (!s.descend) continue;
        list_directory(run, sub_path + s.name + u'\\', local + s.raw + '/', rel + s.raw + '/', k);
    }
    if (run.throttle.due()) seam().yield();
}

} // namespace

void ListSubDirs(const QString& sub_path, int16_t& k) {
    WalkRun run;
    // The root is always shown: a walk may be over before the first interval ends.
    seam().progress_label(1, QStringLiteral("ディレクトリを取得中です。") + G.CrLf + G.CrLf +
                                 walk_progress_path(sub_path));
    seam().yield();
    ensure_disk_tables();
    const QString localText = local_path(sub_path);
    QByteArray local = disk_name_bytes(localText);
    // The part below the drive's directory, as the slots record it.
    QByteArray rel = disk_name_bytes(sub_path.mid(2));
    rel.replace('\\', '/');
    if (!rel.startsWith('/')) rel.prepend('/');
    if (sub_path.size() >= 2 && sub_path.at(1) == u':' && drive_is_image(sub_path.at(0))) {
        run.image = drive_root(sub_path.at(0));
        list_directory(run, sub_path, local, rel, k);
        // A damaged archive, or one with an entry outside its tree, ends the walk like an
        // unreadable directory: what was read stays, the message names the archive.
        const QString fault = image_read_fault(run.image);
        if (!fault.isEmpty() && !run.tableFull && k == 1) fail_listing(fault, k);
        seam().yield();
        return;
    }
    if (localText.isEmpty() || !disk_device(local, run.rootDevice)) {
        fail_listing(sub_path, k);
        return;
    }
    if (!local.endsWith('/')) local += '/';
    list_directory(run, sub_path, local, rel, k);
    seam().yield();
}

void ListSubFile(QString& sub_file, int16_t& j, int16_t& k) {
    if (!sub_file.endsWith(u'\\')) sub_file += u'\\';
    const QString local = local_path(sub_file);
    list_sub_file_at(local.isEmpty() ? QByteArray() : disk_name_bytes(local), j, k);
}

size_t qHash(const EntryProbes::Key& key, size_t seed) {
    return qHashMulti(seed, key.slot, key.name, key.raw);
}

void probe_entry_files(int i, int16_t& j, int16_t& k, EntryProbes* known) {
    if (!known) {
        list_sub_file_at(entry_local_path(i), j, k);
        return;
    }
    ensure_disk_tables();
    EntryProbes::Key key{G.EntryParentIndex(i), G.EntryNames(i), G.EntryDiskNames(i)};
    const auto it = known->hasFiles.constFind(key);
    if (it != known->hasFiles.constEnd()) {
        j = *it;
        return;
    }
    const int16_t before = k;
    list_sub_file_at(entry_local_path(i), j, k);
    if (k == before) known->hasFiles.insert(std::move(key), j);
}

QByteArray entry_local_path(int i) {
    if (G.CurrentDrive.isEmpty() || i < 1 || i > G.EntryNames.size()) return {};
    const QString root = drive_root(G.CurrentDrive.at(0));
    if (root.isEmpty()) return {};
    QByteArray path = disk_name_bytes(root);
    while (path.endsWith('/'))
        path.chop(1);
    ensure_disk_tables();
    const int slot = G.EntryParentIndex(i);
    if (slot >= 1 && slot <= G.DirPaths.size()) {
        const QString parent = with_backslash(G.DirPaths(slot));
        const QByteArray& raw = G.DirDiskPaths(slot);
        // A search reuses DirPaths: recorded bytes count only while they spell the slot.
        if (!raw.isEmpty() && disk_path_matches(raw, parent)) {
            path += raw;
        } else {
            QByteArray p = disk_name_bytes(parent);
            p.replace('\\', '/');
            if (!p.startsWith('/')) p.prepend('/');
            path += p;
        }
    } else {
        path += '/';
    }
    const QString& name = G.EntryNames(i);
    const QByteArray& rawName = G.EntryDiskNames(i);
    path += disk_name_matches(rawName, name) ? rawName : disk_name_bytes(name);
    if (!name.isEmpty()) path += '/';
    return path;
}

void list_sub_file_at(const QByteArray& local, int16_t& j, int16_t& k) {
    j = 1;
    QString image;
    QByteArray inner;
    if (image_path_split(local, image, inner)) {
        ImageDirListing listing;
        if (!image_list_dir(image, inner, listing)) {
            k = static_cast<int16_t>(G.EntryCount + 1);
            show_message(message_202());
            return;
        }
        // As on disk: a link or device whose name starts with "." is hidden and system.
        bool found = !listing.files.empty();
        for (const QByteArray& n : listing.others)
            found = found || !n.startsWith('.');
        j = found ? 1 : 0;
        return;
    }
    DiskDirectory dir(local);
    if (!dir.is_open()) {
        j = 1;
        k = static_cast<int16_t>(G.EntryCount + 1);
        show_message(message_202());
        return;
    }
    bool found = false;
    while (!found && dir.next()) {
        const DiskKind kind = dir.kind();
        if (kind == DiskKind::Gone || kind == DiskKind::Directory) continue;
        // Normal, hidden and system files count; one that is hidden and system is not seen.
        const bool hidden = dir.name()[0] == '.';
        const bool system = kind != DiskKind::File;
        found = !(hidden && system);
    }
    j = found ? 1 : 0;
}

// Case-insensitive by character code, whatever the locale; names that differ in case alone
// by character code too, so the order is always the same.
static void sort_file_names(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

QStringList directory_file_names(const QByteArray& local, bool& readable) {
    QStringList names;
    QString image;
    QByteArray inner;
    if (image_path_split(local, image, inner)) {
        // A directory inside an image or archive: its file entries.
        ImageDirListing listing;
        readable = image_list_dir(image, inner, listing);
        for (const QByteArray& n : listing.files)
            if (!n.startsWith('.')) names << shown(disk_name_text(n));
        sort_file_names(names);
        return names;
    }
    QByteArray dirPath = local;
    while (dirPath.size() > 1 && dirPath.endsWith('/'))
        dirPath.chop(1);
    readable = disk_is_directory(dirPath);
    if (!readable) return names;
    DiskDirectory dir(dirPath);
    readable = dir.is_open();
    // Ordinary files only: hidden (".name") and system entries (links, devices) are not shown.
    while (dir.next())
        if (dir.name()[0] != '.' && dir.kind() == DiskKind::File)
            names << shown(disk_name_text(dir.name()));
    sort_file_names(names);
    return names;
}

QStringList directory_file_names(const QString& drivePath, bool& readable) {
    const QString local = local_path(with_backslash(drivePath));
    readable = false;
    if (local.isEmpty()) return {};
    return directory_file_names(disk_name_bytes(local), readable);
}

void remove_entry(int p) {
    if (p < 1 || p > G.EntryCount) return;
    ensure_disk_tables();
    for (int i = p; i < G.EntryCount; ++i) {
        G.EntryNames(i) = std::move(G.EntryNames(i + 1));
        G.EntryParentIndex(i) = G.EntryParentIndex(i + 1);
        G.EntryDiskNames(i) = std::move(G.EntryDiskNames(i + 1));
    }
    --G.EntryCount;
    if (G.EntryCount == 0) install_root_placeholder();
}

void install_root_placeholder() {
    if (G.DirPaths.size() < 1) G.DirPaths.redim(1);
    if (G.EntryNames.size() < 1) G.EntryNames.redim(1);
    if (G.EntryParentIndex.size() < 1) G.EntryParentIndex.redim(1);
    ensure_disk_tables();
    G.DirCount = 1;
    G.DirPaths(1) = QStringLiteral("\\");
    G.DirDiskPaths(1) = "/";
    G.EntryCount = 1;
    G.EntryNames(1) = QString();
    G.EntryParentIndex(1) = 1;
    G.EntryDiskNames(1) = QByteArray();
}

QString entry_display_line(int i) {
    return shown(with_backslash(G.DirPaths(G.EntryParentIndex(i))) + G.EntryNames(i));
}

QString walk_progress_path(const QString& sub_path) {
    if (sub_path.isEmpty()) return QString();
    const QString text =
        sub_path.mid(2) == QLatin1String("\\") ? QStringLiteral("\\") : sub_path.chopped(1);
    return cp932_tail(shown(text), 31);
}

QString cp932_tail(QStringView text, int bytes) {
    if (cp932_byte_length(text) <= bytes) return text.toString();
    qsizetype start = text.size();
    int collected = 0;
    while (collected < bytes && start > 0) {
        --start;
        // Keep a surrogate pair whole: it stands for one character.
        if (start > 0 && text[start].isLowSurrogate() && text[start - 1].isHighSurrogate()) {
            --start;
            collected += 1;
        } else {
            collected += cp932_char_bytes(text[start].unicode());
        }
    }
    return text.mid(start).toString();
}
