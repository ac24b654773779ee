// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/block_parts.h"
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {
bool line_end(char c) {
    return c == '\n' || c == '\r';
}

// Where the last "*01" line of `b` whose line end is read begins, among those that begin
// at `from` or later; 0 when none does.
qsizetype last_block_start(QByteArrayView b, qsizetype from) {
    from = std::max<qsizetype>(from, 1);
    for (QByteArrayView rest = b.sliced(std::min(from, b.size()));;) {
        const qsizetype i = rest.lastIndexOf("*01");
        if (i < 0) return 0;
        const qsizetype at = from + i;
        rest = rest.first(i); // "*01" cannot overlap itself
        if (at + 3 >= b.size()) continue;
        if (line_end(b[at - 1]) && line_end(b[at + 3])) return at;
    }
}
} // namespace

const char* next_block_start(const char* begin, const char* from, const char* end) {
    for (const char* p = from; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '*', size_t(end - p)));
        if (!p) break;
        if (p > begin && line_end(p[-1]) && end - p >= 3 && p[1] == '0' && p[2] == '1' &&
            (end - p == 3 || line_end(p[3])))
            return p;
    }
    return end;
}

bool BlockParts::open(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("Not a regular file");
        return false;
    }
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
}

bool BlockParts::next(QByteArray& part, qsizetype size) {
    part.resize(0);
    part.append(carry);
    carry.resize(0);
    qsizetype looked = 0; // block starts before this were looked at (a long line: once)
    for (;;) {
        if (!eof) {
            const qsizetype had = part.size();
            // No larger than what is left (and a byte to see the end): small files, small buffers.
            const qsizetype want =
                qsizetype(std::clamp<qint64>(file.size() - file.pos() + 1, 1, size));
            part.resize(had + want);
            const qint64 got = file.read(part.data() + had, want);
            part.resize(had + std::max<qint64>(got, 0));
            if (got < 0) failed = true;
            if (got <= 0) eof = true;
        }
        if (eof) return !part.isEmpty();
        // Only the few bytes after the cut are copied.
        if (const qsizetype cut = last_block_start(part, looked); cut > 0) {
            carry.append(QByteArrayView(part).sliced(cut));
            part.truncate(cut);
            return true;
        }
        looked = part.size() - 3; // a start in the last three bytes lacks its line end
    }
}
