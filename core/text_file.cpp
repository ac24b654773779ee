#include "core/text_file.h"
#include "core/codepage.h"
#include <sys/stat.h>

bool TextLineReader::open(const QString& localPath) {
    struct stat st {};
    // Asked before opening: opening a fifo would wait for a writer.
    if (::stat(QFile::encodeName(localPath).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        failed_ = true;
        return false;
    }
    file_.setFileName(localPath);
    if (!file_.open(QIODevice::ReadOnly)) {
        failed_ = true;
        return false;
    }
    return true;
}

bool TextLineReader::fill() {
    if (eof_) return false;
    constexpr qint64 Chunk = 64 * 1024;
    buf_.remove(0, pos_);
    pos_ = 0;
    const qsizetype old = buf_.size();
    buf_.resize(old + Chunk);
    const qint64 got = file_.read(buf_.data() + old, Chunk);
    buf_.resize(old + (got > 0 ? got : 0));
    if (got < 0) failed_ = true;
    if (got <= 0) eof_ = true;
    return got > 0;
}

bool TextLineReader::read_line(QString& line) {
    line.clear();
    if (failed_) return false;
    qsizetype from = pos_;
    for (;;) {
        qsizetype end = from;
        while (end < buf_.size() && buf_[end] != '\r' && buf_[end] != '\n')
            ++end;
        // A CR as the last byte read may still be the first half of CR LF.
        const bool undecided = end == buf_.size() || (end + 1 == buf_.size() && buf_[end] == '\r');
        if (undecided && !eof_) {
            const qsizetype scanned = end - pos_;
            if (fill() || !failed_) {
                from = pos_ + scanned;
                continue;
            }
            return false;
        }
        if (end == buf_.size() && end == pos_) return false; // nothing left
        decode_cp932_append(QByteArrayView(buf_.constData() + pos_, end - pos_), line);
        if (end < buf_.size()) {
            const bool crlf = buf_[end] == '\r' && end + 1 < buf_.size() && buf_[end + 1] == '\n';
            end += crlf ? 2 : 1;
        }
        pos_ = end;
        return true;
    }
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
