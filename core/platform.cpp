// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform.h"
#include "core/codepage.h"
#include "core/config.h"
#include "core/state.h"
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
QString clean_dir(const QString& dir) {
    QString d = QDir::cleanPath(dir);
    return d.isEmpty() ? QStringLiteral("/") : d;
}

bool under_media(const QString& root) {
    for (const char* base : {"/media/", "/run/media/", "/mnt/"})
        if (root.startsWith(QLatin1String(base))) return true;
    return root == QLatin1String("/mnt");
}
} // namespace

void platform_map_drives(const QString& cfgFilePath) {
    QMap<QChar, QString>& driveMap = G.Drives.roots;
    QMap<QChar, bool>& imageDrives = G.Drives.images;
    driveMap.clear();
    imageDrives.clear();
    driveMap.insert(u'c', QStringLiteral("/"));
    // The pins come from the configuration reader, so they stop where its reading stops.
    QMap<QChar, QString> pins = read_drive_pins(cfgFilePath);
    for (QString& dir : pins)
        dir = clean_dir(QDir(dir).absolutePath());
    QStringList mounts;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        if (s.isValid() && under_media(s.rootPath())) mounts.append(clean_dir(s.rootPath()));
    std::sort(mounts.begin(), mounts.end());
    mounts.removeDuplicates();
    char16_t next = u'd';
    for (const QString& m : mounts) {
        while (next <= u'z' && pins.contains(QChar(next)))
            ++next;
        if (next > u'z') break;
        driveMap.insert(QChar(next++), m);
    }
    for (auto it = pins.begin(); it != pins.end(); ++it) {
        driveMap.insert(it.key(), it.value());
        // A pin naming a file stands for the image or archive it is.
        if (QFileInfo(it.value()).isFile()) imageDrives.insert(it.key(), true);
    }
}

const QMap<QChar, QString>& drive_map() {
    return G.Drives.roots;
}

QString drive_root(QChar letter) {
    return G.Drives.roots.value(letter.toLower());
}

bool drive_answers(QChar letter) {
    const QString root = drive_root(letter);
    if (root.isEmpty()) return false;
    if (drive_is_image(letter)) return image_opens(root);
    const QFileInfo fi(root);
    return fi.isDir() && fi.isReadable() && fi.isExecutable();
}

QChar drive_of_path(const QString& localPath) {
    const QString p = clean_dir(QDir(localPath).absolutePath());
    QChar best = u'c';
    qsizetype bestLen = -1;
    for (auto it = G.Drives.roots.begin(); it != G.Drives.roots.end(); ++it) {
        const QString& root = it.value();
        const bool fits =
            root == QLatin1String("/") || p == root || p.startsWith(root + QLatin1Char('/'));
        if (fits && root.size() > bestLen) {
            best = it.key();
            bestLen = root.size();
        }
    }
    return best;
}

QString local_path(const QString& drivePath) {
    QChar letter;
    QString rest = drivePath;
    if (drivePath.size() >= 2 && drivePath.at(1) == u':') {
        letter = drivePath.at(0);
        rest = drivePath.mid(2);
    } else {
        letter = drive_of_path(QDir::currentPath());
    }
    QString root = drive_root(letter);
    if (root.isEmpty()) return QString();
    rest.replace(u'\\', u'/');
    if (root.endsWith(u'/')) root.chop(1);
    if (!rest.startsWith(u'/')) rest.prepend(u'/');
    return root + rest;
}

QString volume_label(QChar letter) {
    const QString root = drive_root(letter);
    if (root.isEmpty()) return QString();
    if (drive_is_image(letter)) return image_volume_label(root);
    const QStorageInfo s(root);
    if (!s.isValid() || clean_dir(s.rootPath()) != root) return QString();
    return s.name();
}

bool drive_is_image(QChar letter) {
    return G.Drives.images.contains(letter.toLower());
}

void pin_image_drive(QChar letter, const QString& file) {
    const QChar l = letter.toLower();
    G.Drives.roots.insert(l, clean_dir(QDir(file).absolutePath()));
    G.Drives.images.insert(l, true);
}

QChar first_free_letter() {
    for (char16_t c = u'd'; c <= u'z'; ++c)
        if (!G.Drives.roots.contains(QChar(c))) return QChar(c);
    return QChar();
}

bool image_path_split(const QByteArray& local, QString& image, QByteArray& inner) {
    for (auto it = G.Drives.images.begin(); it != G.Drives.images.end(); ++it) {
        const QString file = G.Drives.roots.value(it.key());
        const QByteArray f = disk_name_bytes(file);
        if (file.isEmpty() || !local.startsWith(f)) continue;
        if (local.size() != f.size() && local.at(f.size()) != '/') continue;
        image = file;
        inner = local.mid(f.size());
        if (!inner.startsWith('/')) inner.prepend('/');
        if (!inner.endsWith('/')) inner += '/';
        return true;
    }
    return false;
}

namespace {
// A trailing "/" would make lstat follow a final symbolic link; the link itself is asked.
QByteArray native_no_slash(const QString& localPath) {
    QString p = localPath;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return QFile::encodeName(p);
}

int attributes_of(const QString& localPath, const struct stat& st) {
    int attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= AttrDirectory;
    else if (!S_ISREG(st.st_mode))
        attr |= AttrSystem;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attr |= AttrReadOnly;
    QString name = localPath;
    while (name.endsWith(u'/') && name.size() > 1)
        name.chop(1);
    name = name.mid(name.lastIndexOf(u'/') + 1);
    if (name.startsWith(u'.') && name != QLatin1String(".") && name != QLatin1String(".."))
        attr |= AttrHidden;
    return attr;
}
} // namespace

int path_attributes(const QString& localPath) {
    struct stat st {};
    if (::lstat(native_no_slash(localPath).constData(), &st) != 0) return -1;
    return attributes_of(localPath, st);
}

int file_attributes(const QString& localPath) {
    struct stat st {};
    if (::stat(native_no_slash(localPath).constData(), &st) != 0) return -1;
    return attributes_of(localPath, st);
}

bool is_symlink(const QString& localPath) {
    struct stat st {};
    const QByteArray native = native_no_slash(localPath);
    return ::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

struct DiskDirectory::Impl {
    DIR* dir = nullptr;
    const dirent* entry = nullptr;
    struct stat st {};
    bool statted = false;
};

DiskDirectory::DiskDirectory(const QByteArray& path) : d_(new Impl) {
    d_->dir = path.isEmpty() ? nullptr : ::opendir(path.constData());
}

DiskDirectory::~DiskDirectory() {
    if (d_->dir) ::closedir(d_->dir);
    delete d_;
}

bool DiskDirectory::is_open() const {
    return d_->dir != nullptr;
}

bool DiskDirectory::next() {
    if (!d_->dir) return false;
    for (;;) {
        errno = 0;
        d_->entry = ::readdir(d_->dir);
        d_->statted = false;
        if (!d_->entry) {
            failed_ = errno != 0;
            return false;
        }
        const char* n = d_->entry->d_name;
        if (!(n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))) return true;
    }
}

const char* DiskDirectory::name() const {
    return d_->entry ? d_->entry->d_name : "";
}

namespace {
DiskKind kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return DiskKind::Directory;
    if (S_ISREG(mode)) return DiskKind::File;
    return DiskKind::Other;
}
} // namespace

DiskKind DiskDirectory::kind() {
    if (!d_->entry) return DiskKind::Gone;
    switch (d_->entry->d_type) {
    case DT_DIR:
        return DiskKind::Directory;
    case DT_REG:
        return DiskKind::File;
    case DT_UNKNOWN: {
        quint64 device = 0;
        return stat_kind(device);
    }
    default:
        return DiskKind::Other;
    }
}

DiskKind DiskDirectory::stat_kind(quint64& device) {
    if (!d_->entry) return DiskKind::Gone;
    if (!d_->statted) {
        if (::fstatat(::dirfd(d_->dir), d_->entry->d_name, &d_->st, AT_SYMLINK_NOFOLLOW) != 0)
            return DiskKind::Gone;
        d_->statted = true;
    }
    device = quint64(d_->st.st_dev);
    return kind_of(d_->st.st_mode);
}

bool disk_device(const QByteArray& path, quint64& device) {
    struct stat st {};
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0) return false;
    device = quint64(st.st_dev);
    return true;
}

bool disk_is_directory(const QByteArray& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}
