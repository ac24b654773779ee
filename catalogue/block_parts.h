// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue cut at block starts ("*01" lines), for a scan that reads it in parts: a
// part holds whole blocks, so that its items read alone as they read in the whole file.
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// Where the first "*01" line in [from, end) begins, or `end`. The marker must follow a line
// end at or after `begin` (the part's first byte) and end the line or the bytes.
const char* next_block_start(const char* begin, const char* from, const char* end);

// The file split at block starts into parts of about `size` bytes, read in turn into
// buffers that the caller hands back for reuse.
class BlockParts {
  public:
    // Only a regular file (or a link to one) is read: a device or a fifo could be read
    // for ever.
    bool open(const QString& path);
    QString error_string() const { return error.isEmpty() ? file.errorString() : error; }
    // The next part into `part` (whole blocks; the first may begin with lines before any
    // block). False at the end; `failed` on a read error.
    bool next(QByteArray& part, qsizetype size);
    bool failed = false;

  private:
    QFile file;
    QString error;
    QByteArray carry;
    bool eof = false;
};
