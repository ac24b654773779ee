// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_maker.h"
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
    auto add_option = [&](const char* o) { opts += (opts.isEmpty() ? "" : ",") + QByteArray(o); };
    int r = ARCHIVE_OK;
    if (format.startsWith(QLatin1String("iso"))) {
        r = archive_write_set_format_iso9660(a);
        if (format == QLatin1String("iso-joliet")) add_option("!rockridge");
        if (format == QLatin1String("iso-plain")) add_option("!rockridge,!joliet");
    } else if (format.startsWith(QLatin1String("zip"))) {
        r = archive_write_set_format_zip(a);
        if (format == QLatin1String("zip-utf8")) add_option("hdrcharset=UTF-8");
    } else {
        r = archive_write_set_format_pax_restricted(a);
        if (format == QLatin1String("tar.gz")) archive_write_add_filter_gzip(a);
    }
    if (r == ARCHIVE_OK && !opts.isEmpty()) r = archive_write_set_options(a, opts.constData());
    if (r == ARCHIVE_OK) r = archive_write_open_filename(a, QFile::encodeName(file).constData());
    for (const ArchiveItem& item : items) {
        if (r != ARCHIVE_OK) break;
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.path.constData());
        archive_entry_set_mtime(e, 946684800, 0);
        if (item.path.endsWith('/')) {
            archive_entry_set_filetype(e, AE_IFDIR);
            archive_entry_set_perm(e, 0755);
        } else if (item.hardLink) {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_hardlink(e, item.linkTo.constData());
        } else if (!item.linkTo.isEmpty()) {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_perm(e, 0777);
            archive_entry_set_symlink(e, item.linkTo.constData());
        } else {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_size(e, item.content.size());
        }
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
