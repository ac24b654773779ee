#include "search/byte_lines.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include <cstring>

namespace {
// Small enough to stay in the cache while its lines are scanned. (Mapping the file is no
// faster and would crash the program if another process truncated the file meanwhile.)
constexpr qsizetype Chunk = qsizetype(1) << 18;
} // namespace

bool ByteLineReader::open(const QString& path) {
    file_.setFileName(path);
    pos_ = end_ = 0;
    eof_ = failed_ = false;
    if (!file_.open(QIODevice::ReadOnly)) {
        failed_ = true;
        return false;
    }
    data_ = buf_.constData();
    return true;
}

bool ByteLineReader::refill() {
    if (eof_) return false;
    // Keep the unfinished line, move it to the front, read behind it.
    const qsizetype rest = end_ - pos_;
    if (buf_.size() < rest + Chunk) buf_.resize(rest + Chunk);
    if (rest > 0 && pos_ > 0) std::memmove(buf_.data(), buf_.constData() + pos_, size_t(rest));
    data_ = buf_.constData();
    pos_ = 0;
    end_ = rest;
    const qint64 got = file_.read(buf_.data() + end_, Chunk);
    if (got < 0) {
        failed_ = eof_ = true;
        return false;
    }
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += got;
    data_ = buf_.constData();
    return true;
}

bool ByteLineReader::next(QByteArrayView& line) {
    qsizetype from = pos_;
    for (;;) {
        const char* base = data_;
        const void* nl =
            from < end_ ? std::memchr(base + from, '\n', size_t(end_ - from)) : nullptr;
        if (nl) {
            const qsizetype at = static_cast<const char*>(nl) - base;
            qsizetype e = at;
            if (e > pos_ && base[e - 1] == '\r') --e;
            line = QByteArrayView(base + pos_, e - pos_);
            pos_ = at + 1;
            return true;
        }
        const qsizetype scanned = end_ - pos_;
        if (!refill()) {
            if (failed_ || pos_ >= end_) return false;
            // The last line has no line break.
            qsizetype e = end_;
            if (data_[e - 1] == '\r') --e;
            line = QByteArrayView(data_ + pos_, e - pos_);
            pos_ = end_;
            return true;
        }
        from = pos_ + scanned;
    }
}

void decode_catalogue_text(QByteArrayView bytes, QString& out) {
    out.resize(0);
    decode_cp932_append(bytes, out);
    if (bytes.contains('&') && !catalogue_text_plain(out)) out = unescape_catalogue(out);
}
