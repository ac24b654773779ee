// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-make-image FORMAT OUT DIR: writes the tree DIR as an image or archive with
// libarchive (FORMAT: iso, zip or tar), for the image walk benchmark; no other tool needed.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tobrin-make-image iso|zip|tar OUT DIR\n");
        return 2;
    }
    const QByteArray format(argv[1]);
    const QDir root(QFile::decodeName(argv[3]));
    archive* a = archive_write_new();
    if (format == "iso")
        archive_write_set_format_iso9660(a);
    else if (format == "zip")
        archive_write_set_format_zip(a);
    else
        archive_write_set_format_pax_restricted(a);
    if (archive_write_open_filename(a, argv[2]) != ARCHIVE_OK) {
        std::fprintf(stderr, "%s\n", archive_error_string(a));
        return 1;
    }
    QDirIterator it(root.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, QFile::encodeName(root.relativeFilePath(fi.filePath())));
        archive_entry_set_mtime(e, fi.lastModified().toSecsSinceEpoch(), 0);
        archive_entry_set_perm(e, fi.isDir() ? 0755 : 0644);
        archive_entry_set_filetype(e, fi.isDir() ? AE_IFDIR : AE_IFREG);
        QByteArray data;
        if (!fi.isDir()) {
            QFile f(fi.filePath());
            if (f.open(QIODevice::ReadOnly)) data = f.readAll();
            archive_entry_set_size(e, data.size());
        }
        archive_write_header(a, e);
        if (!data.isEmpty()) archive_write_data(a, data.constData(), size_t(data.size()));
        archive_entry_free(e);
    }
    const int r = archive_write_close(a);
    archive_write_free(a);
    return r == ARCHIVE_OK ? 0 : 1;
}
