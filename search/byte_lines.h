#pragma once
// The catalogue read as raw lines of bytes, one sequential pass in large chunks. The scan
// decodes only what it tests or keeps; markers, numbers and commas are ASCII, and in code
// page 932 no trail byte is below 0x40, so "," "&" and " " found in the bytes are always
// those characters.
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

class ByteLineReader {
  public:
    bool open(const QString& path);
    // The next line without its CR LF or LF; false at the end or on a read error.
    // The view stays valid until the next call.
    bool next(QByteArrayView& line);
    bool failed() const { return failed_; }
    QString error_string() const { return file_.errorString(); }
    void close() { file_.close(); }

  private:
    bool refill();
    QFile file_;
    QByteArray buf_;
    const char* data_ = nullptr; // buf_'s bytes
    qsizetype pos_ = 0, end_ = 0;
    bool eof_ = false, failed_ = false;
};

// The text of a catalogue line or part of one: code page 932 decoded and the "&#N;"
// escapes of the writer undone. `out` is replaced; its buffer is reused.
void decode_catalogue_text(QByteArrayView bytes, QString& out);
