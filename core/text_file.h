// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The line reader of the configuration and settings files: the lines of ByteLineReader
// (only a regular file or a link to one; CR LF, LF and a lone CR each end a line),
// decoded from code page 932.
#include "core/line_reader.h"
#include <QString>
#include <QStringList>

// Longer than any value of these files can usefully be: a longer line is a fault of that
// line, read no further than this.
inline constexpr qsizetype MaxTextLineBytes = 64 * 1024;

class TextLineReader {
  public:
    // False when the path is not a regular file or cannot be opened.
    bool open(const QString& localPath) {
        lines_.set_line_limit(MaxTextLineBytes);
        return lines_.open(localPath);
    }
    // False at the end of the file, on a read error or on a line longer than
    // MaxTextLineBytes (has_error()).
    bool read_line(QString& line);
    bool has_error() const { return lines_.failed(); }

  private:
    ByteLineReader lines_;
};

// Every line of the file; false when it cannot be opened or read.
bool read_text_lines(const QString& localPath, QStringList& lines);
