#pragma once
// The line reader of the configuration and settings files. Only a regular file (or a link to
// one) is read, so a device or fifo named by mistake never hangs or floods the program. CR LF,
// LF and a lone CR each end a line, as the Windows line reader takes them; the break is not
// part of the line, and a last line without one still counts.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

class TextLineReader {
  public:
    // False when the path is not a regular file or cannot be opened.
    bool open(const QString& localPath);
    // False at the end of the file or on a read error (has_error()).
    bool read_line(QString& line);
    bool has_error() const { return failed_; }

  private:
    bool fill();
    QFile file_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
};

// Every line of the file; false when it cannot be opened or read.
bool read_text_lines(const QString& localPath, QStringList& lines);
