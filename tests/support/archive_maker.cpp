// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_maker.h"
#include <QDir>
#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

namespace {
// The writers convert names from the thread's locale: UTF-8 text needs a UTF-8 locale,
// raw bytes the C locale (which copies them unchanged).
struct ThreadLocale {
    locale_t loc, old;
    explicit ThreadLocale(const char* name)
        : loc(::newlocale(LC_ALL_MASK, name, locale_t(nullptr))), old(::uselocale(loc)) {}
    ~ThreadLocale() {
        ::uselocale(old);
        if (loc) ::freelocale(loc);
    }
};
} // namespace

bool make_archive(const QString& file, const QString& format, const QList<ArchiveItem>& items,
                  const QByteArray& options) {
    ThreadLocale locale(format == QLatin1String("zip-raw") ? "C" : "C.UTF-8");
    archive* a = archive_write_new();
    QByteArray opts = options;
    if (format == QLatin1String("iso-joliet")) opts += ",!rockridge";
    if (format == QLatin1String("iso-plain")) opts += ",!rockridge,!joliet";
    if (format == QLatin1String("zip-utf8")) opts += ",hdrcharset=UTF-8";
    int r = format.startsWith(QLatin1String("iso"))   ? archive_write_set_format_iso9660(a)
            : format.startsWith(QLatin1String("zip")) ? archive_write_set_format_zip(a)
                                                      : archive_write_set_format_pax_restricted(a);
    if (format == QLatin1String("tar.gz")) archive_write_add_filter_gzip(a);
    if (opts.startsWith(',')) opts.remove(0, 1);
    if (r == ARCHIVE_OK && !opts.isEmpty()) r = archive_write_set_options(a, opts.constData());
    if (r == ARCHIVE_OK) r = archive_write_open_filename(a, QFile::encodeName(file).constData());
    for (const ArchiveItem& item : items) {
        if (r != ARCHIVE_OK) break;
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.path.constData());
        archive_entry_set_mtime(e, 946684800, 0);
        const bool symlink = !item.linkTo.isEmpty() && !item.hardLink;
        archive_entry_set_mode(e, item.path.endsWith('/') ? AE_IFDIR | 0755
                                  : symlink               ? AE_IFLNK | 0777
                                                          : AE_IFREG | 0644);
        if (item.hardLink) archive_entry_set_hardlink(e, item.linkTo.constData());
        if (symlink) archive_entry_set_symlink(e, item.linkTo.constData());
        if (!item.content.isEmpty()) archive_entry_set_size(e, item.content.size());
        r = archive_write_header(a, e);
        if (r == ARCHIVE_WARN) r = ARCHIVE_OK;
        if (r == ARCHIVE_OK && !item.content.isEmpty() &&
            archive_write_data(a, item.content.constData(), size_t(item.content.size())) < 0)
            r = ARCHIVE_FATAL;
        archive_entry_free(e);
    }
    if (archive_write_close(a) != ARCHIVE_OK) r = ARCHIVE_FATAL;
    archive_write_free(a);
    return r == ARCHIVE_OK;
}

bool extract_archive(const QString& file, const QString& dir) {
    ThreadLocale locale("C.UTF-8");
    const QString was = QDir::currentPath();
    if (!QDir().mkpath(dir) || !QDir::setCurrent(dir)) return false;
    archive* a = archive_read_new();
    archive_read_support_format_all(a);
    archive_read_support_filter_all(a);
    int r = archive_read_open_filename(a, QFile::encodeName(file).constData(), 10240);
    archive_entry* e = nullptr;
    while (r == ARCHIVE_OK && (r = archive_read_next_header(a, &e)) == ARCHIVE_OK) {
        // Writable, so that the directory can be removed again without root.
        archive_entry_set_perm(e, archive_entry_filetype(e) == AE_IFDIR ? 0755 : 0644);
        r = archive_read_extract(a, e, ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    }
    archive_read_free(a);
    QDir::setCurrent(was);
    return r == ARCHIVE_EOF;
}

bool set_joliet_label(const QString& file, const QString& label) {
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite)) return false;
    for (qint64 sector = 16; f.seek(sector * 2048); ++sector) {
        const QByteArray d = f.read(2048);
        if (d.size() < 2048 || d.mid(1, 5) != "CD001" || uint8_t(d[0]) == 255) return false;
        if (d[0] != 2) continue;
        QByteArray ucs2; // 32 bytes of UCS-2 big-endian, padded with blanks
        for (const QChar c : (label + QString(16, u' ')).left(16))
            ucs2 += char(c.unicode() >> 8), ucs2 += char(c.unicode() & 0xFF);
        return f.seek(sector * 2048 + 40) && f.write(ucs2) == 32;
    }
    return false;
}
