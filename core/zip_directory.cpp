// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/zip_directory.h"
#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <archive_entry.h>

namespace {

constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 Zip64EndSignature = 0x06064b50;
constexpr quint32 Zip64LocatorSignature = 0x07064b50;
constexpr quint32 CentralSignature = 0x02014b50;
constexpr qint64 EndLength = 22;
constexpr qint64 LocatorLength = 20;
constexpr qint64 Zip64EndLength = 56;
constexpr qint64 CentralLength = 46;
constexpr quint16 InfoZipUnicodePath = 0x7075;

quint16 le16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 le32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}
quint64 le64(const char* p) {
    return qFromLittleEndian<quint64>(p);
}

bool read_at(QIODevice& file, qint64 pos, qint64 length, QByteArray& out) {
    if (!file.seek(pos)) return false;
    out = file.read(length);
    return out.size() == length;
}

// The CRC-32 an Info-ZIP Unicode path field carries of the name it stands for.
quint32 crc32_of(const QByteArray& bytes) {
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        c ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

struct Directory {
    qint64 offset = 0;
    qint64 size = 0;
    quint64 entries = 0;
    bool zip64 = false;
};

// The end record whose comment reaches exactly to the file's end, and the central directory
// it names, which must end where the end records begin: anything else (data before the
// archive, an end record inside a stored member of a cut archive) is not read here.
bool find_directory(QIODevice& file, qint64 size, Directory& dir) {
    if (size < EndLength) return false;
    const qint64 tailLength = std::min<qint64>(size, EndLength + 0xFFFF);
    QByteArray tail;
    if (!read_at(file, size - tailLength, tailLength, tail)) return false;
    for (qint64 i = tailLength - EndLength; i >= 0; --i) {
        const char* p = tail.constData() + i;
        if (le32(p) != EndSignature || i + EndLength + le16(p + 20) != tailLength) continue;
        const qint64 endPos = size - tailLength + i;
        QByteArray locator;
        if (endPos >= LocatorLength + Zip64EndLength &&
            read_at(file, endPos - LocatorLength, LocatorLength, locator) &&
            le32(locator.constData()) == Zip64LocatorSignature) {
            const char* l = locator.constData();
            const quint64 record = le64(l + 8);
            if (le32(l + 4) != 0 || le32(l + 16) > 1 ||
                record > quint64(endPos - LocatorLength - Zip64EndLength))
                return false;
            QByteArray r;
            if (!read_at(file, qint64(record), Zip64EndLength, r)) return false;
            const char* z = r.constData();
            const quint64 cdSize = le64(z + 40), cdOffset = le64(z + 48);
            if (le32(z) != Zip64EndSignature || le32(z + 16) != 0 || le32(z + 20) != 0 ||
                cdOffset > record || cdSize != record - cdOffset)
                return false;
            dir = {qint64(cdOffset), qint64(cdSize), le64(z + 32), true};
            return true;
        }
        const quint32 cdSize = le32(p + 12), cdOffset = le32(p + 16);
        if (le16(p + 4) != 0 || le16(p + 6) != 0 || cdOffset > endPos ||
            cdSize != quint64(endPos - cdOffset))
            return false;
        dir = {qint64(cdOffset), qint64(cdSize), le16(p + 10), false};
        return true;
    }
    return false;
}

// The entry's type as libarchive tells it: Unix mode bits from a Unix writer, the directory
// attribute from an MS-DOS one, a final "/" a directory whatever the bits, else a file.
mode_t entry_type(quint16 madeBy, quint32 external, const QByteArray& path) {
    const int system = madeBy >> 8;
    mode_t mode = 0;
    if (system == 3)
        mode = (external >> 16) & AE_IFMT;
    else if (system == 0)
        mode = (external & 0x10) ? AE_IFDIR : AE_IFREG;
    if (mode != AE_IFDIR) {
        if (path.endsWith('/'))
            mode = AE_IFDIR;
        else if (mode == 0)
            mode = AE_IFREG;
    }
    return mode;
}

// An Info-ZIP Unicode path field replaces the name when it was made for these very bytes.
QByteArray unicode_path(const QByteArray& name, const char* extra, qint64 length) {
    for (qint64 at = 0; at + 4 <= length;) {
        const quint16 id = le16(extra + at), size = le16(extra + at + 2);
        if (at + 4 + size > length) break;
        const char* body = extra + at + 4;
        if (id == InfoZipUnicodePath && size >= 5 && body[0] == 1 &&
            le32(body + 1) == crc32_of(name))
            return QByteArray(body + 5, size - 5);
        at += 4 + size;
    }
    return name;
}

} // namespace

ZipDirectory read_zip_directory(QIODevice& file, qint64 size, std::vector<ZipName>& names,
                                QString& reason) {
    Directory dir;
    if (!find_directory(file, size, dir)) return ZipDirectory::Absent;
    QByteArray bytes;
    if (!read_at(file, dir.offset, dir.size, bytes)) {
        reason = file.errorString();
        return ZipDirectory::Damaged;
    }
    const char* const data = bytes.constData();
    quint64 count = 0;
    for (qint64 pos = 0; pos < bytes.size(); ++count) {
        const char* p = data + pos;
        const qint64 left = bytes.size() - pos;
        if (left < CentralLength || le32(p) != CentralSignature ||
            CentralLength + le16(p + 28) + le16(p + 30) + le16(p + 32) > left) {
            reason = QStringLiteral("zipのセントラルディレクトリが%1番目の項目で壊れています")
                         .arg(count + 1);
            return ZipDirectory::Damaged;
        }
        const quint16 nameLength = le16(p + 28), extraLength = le16(p + 30);
        QByteArray name(p + CentralLength, nameLength);
        name = unicode_path(name, p + CentralLength + nameLength, extraLength);
        // A name is a C string to libarchive: it ends at a NUL.
        const qsizetype nul = name.indexOf('\0');
        if (nul >= 0) name.truncate(nul);
        names.push_back({name, entry_type(le16(p + 4), le32(p + 38), name)});
        pos += CentralLength + nameLength + extraLength + le16(p + 32);
    }
    // Writers without zip64 keep only the low 16 bits of a larger count.
    if (count != dir.entries && (dir.zip64 || (count & 0xFFFF) != dir.entries)) {
        reason = QStringLiteral("zipのセントラルディレクトリの項目数が合いません（%1と%2）")
                     .arg(dir.entries)
                     .arg(count);
        return ZipDirectory::Damaged;
    }
    return ZipDirectory::Read;
}
