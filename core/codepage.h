#pragma once
// Code page 932 (Shift_JIS as Windows writes it): the encoding of the catalogue,
// configuration and settings files. Table-driven both ways, because the search decodes
// every line of the catalogue; the tables come from the platform's converter once.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

// Bytes that do not decode become U+FFFD; decoding never fails.
QString decode_cp932(QByteArrayView bytes);
void decode_cp932_append(QByteArrayView bytes, QString& out);

// Characters with no code-page-932 form become "?". Callers that must not lose text
// check `cp932_encodable` first (the catalogue writer escapes such characters).
QByteArray encode_cp932(QStringView text);
void encode_cp932_append(QStringView text, QByteArray& out);
bool cp932_encodable(char16_t c);

// Length of `text` in code-page-932 bytes (a character without a form counts 1, as the
// "?" it would become).
int cp932_byte_length(QStringView text);
// Byte length of one character: 1 or 2.
int cp932_char_bytes(char16_t c);

// Reads a text file line by line: lines end in CR LF or LF alone; the line break is not
// part of the line; a last line without a break still counts.
class Cp932LineReader {
public:
    bool open(const QString& path);
    // False at the end of the file or on a read error (see error()).
    bool read_line(QString& line);
    bool at_end() const;
    void close();
    // Number of lines read so far (the line just read is number line_number()).
    qint64 line_number() const { return lineNo_; }
    bool has_error() const { return failed_; }
    QString error_string() const { return file_.errorString(); }
    QFile::FileError error() const { return file_.error(); }

private:
    bool fill();
    QFile file_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    qint64 lineNo_ = 0;
};

// Whole text of a file split into lines (CR LF or LF); false when it cannot be read.
bool read_cp932_lines(const QString& path, QStringList& lines, QString* error = nullptr);
