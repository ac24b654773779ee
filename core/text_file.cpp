// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text_file.h"
#include "core/codepage.h"

bool TextLineReader::read_line(QString& line) {
    line.clear();
    QByteArrayView bytes;
    if (!lines_.next(bytes)) return false;
    decode_cp932_append(bytes, line);
    return true;
}

bool read_text_lines(const QString& localPath, QStringList& lines) {
    lines.clear();
    TextLineReader reader;
    if (!reader.open(localPath)) return false;
    QString line;
    while (reader.read_line(line))
        lines.append(line);
    return !reader.has_error();
}
