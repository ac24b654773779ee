// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text file (the catalogue, the configuration, the settings) read as raw lines of bytes,
// one sequential pass in large chunks. Readers decode only what they test or keep; markers,
// numbers and commas are ASCII, and in code page 932 no trail byte is below 0x40, so "," "&"
// " " CR and LF found in the bytes are always those characters.
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <cstring>
#include <limits>

class ByteLineReader {
  public:
    // Only a regular file (or a link to one) is read: a device or a fifo could be read
    // for ever. False with error_string() set otherwise.
    bool open(const QString& path);
    // Lines of bytes already in memory (a part of a catalogue), split by the same rules.
    void open_bytes(const QByteArray& bytes);
    // A line longer than `bytes` fails the read ("Line too long") without being held whole:
    // for files whose values are short, so that one huge line costs neither time nor memory.
    void set_line_limit(qsizetype bytes) { limit_ = bytes; }
    // The next line without its line end: CR LF, LF or a lone CR, as the Windows line
    // reader takes them. False at the end or on a read error. The view stays valid until
    // the next call.
    bool next(QByteArrayView& line) {
        // The rule (CR LF, or LF alone) inline; a lone CR and the refills out of line.
        if (loneCr_ || pos_ >= end_) return next_slow(line);
        const void* nl = std::memchr(data_ + pos_, '\n', size_t(end_ - pos_));
        if (!nl) return next_slow(line);
        const qsizetype at = static_cast<const char*>(nl) - data_;
        const qsizetype e = at > pos_ && data_[at - 1] == '\r' ? at - 1 : at;
        if (e - pos_ > limit_) return too_long();
        line = QByteArrayView(data_ + pos_, e - pos_);
        pos_ = at + 1;
        return true;
    }
    bool failed() const { return failed_; }
    // For a reader that takes plain lines of bytes opened with open_bytes itself: where
    // the next line begins and the end of the bytes; -1 when its lines may end in a lone
    // CR (then only next() splits them right). skip_to() moves past lines so taken.
    const char* cursor() const { return data_ + pos_; }
    const char* end() const { return loneCr_ || !inMemory_ ? nullptr : data_ + end_; }
    void skip_to(const char* p) { pos_ = p - data_; }
    QString error_string() const { return error_.isEmpty() ? file_.errorString() : error_; }
    // The bytes searched for line ends so far: each byte of the file about once, however
    // long its lines (the reading stays linear in the file's size).
    qint64 bytes_searched() const { return searched_; }

  private:
    bool refill();
    void check_lone_cr(qsizetype from);
    bool next_slow(QByteArrayView& line);
    bool too_long();
    qsizetype find(char c, qsizetype from, qsizetype& cache);
    QFile file_;
    QString error_;
    QByteArray buf_;
    const char* data_ = nullptr; // buf_'s bytes
    qsizetype pos_ = 0, end_ = 0;
    // How far the search for the next CR and LF has come: no CR (LF) lies in [pos_, cr_)
    // ([pos_, lf_)), and one lies at cr_ (lf_) when it is below end_. Kept between lines, so
    // that a file without CRs is not searched for one on every line, and across refills, so
    // that a long line is not searched again from its start after every read.
    qsizetype cr_ = -1, lf_ = -1;
    qsizetype limit_ = std::numeric_limits<qsizetype>::max();
    qint64 searched_ = 0;
    // Whether the buffered bytes hold a CR that is not part of a CR LF. Without one (the
    // rule: files are written with CR LF) lines are split at LF alone, the fast way.
    bool loneCr_ = false;
    bool eof_ = false, failed_ = false, inMemory_ = false;
};
