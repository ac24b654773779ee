// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/line_reader.h"
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Small enough to stay in the cache while its lines are scanned. (Mapping the file is no
// faster and would crash the program if another process truncated the file meanwhile.)
constexpr qsizetype Chunk = qsizetype(1) << 18;
// Whether p[i] is a CR and p[i + 1] no LF for some i < n - 1: sixteen bytes at a time.
bool has_lone_cr(const uint8_t* p, qsizetype n) {
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; i + 17 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
        if (_mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(b, lf), _mm_cmpeq_epi8(a, cr))))
            return true;
    }
#endif
    for (; i + 1 < n; ++i)
        if (p[i] == '\r' && p[i + 1] != '\n') return true;
    return false;
}
} // namespace

bool ByteLineReader::open(const QString& path) {
    file_.close();
    file_.setFileName(path);
    error_.clear();
    pos_ = end_ = 0;
    cr_ = lf_ = -1;
    searched_ = 0;
    eof_ = failed_ = inMemory_ = false;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error_ = QStringLiteral("Not a regular file");
        failed_ = true;
        return false;
    }
    if (!file_.open(QIODevice::ReadOnly)) {
        failed_ = true;
        return false;
    }
    data_ = buf_.constData();
    return true;
}

void ByteLineReader::open_bytes(const QByteArray& bytes) {
    file_.close();
    error_.clear();
    buf_ = bytes;
    data_ = buf_.constData();
    pos_ = 0;
    end_ = buf_.size();
    cr_ = lf_ = -1;
    searched_ = 0;
    failed_ = false;
    eof_ = inMemory_ = true;
    check_lone_cr(0);
}

bool ByteLineReader::refill() {
    if (eof_) return false;
    // Keep the unfinished line, move it to the front, read behind it. next_slow refills only
    // when the unfinished line holds no line end, except perhaps a CR as its last byte: the
    // searches for CR and LF go on where they stopped, so a long line is searched once.
    const qsizetype rest = end_ - pos_;
    // A small file gets a small buffer: what is left of it, and a byte more to see its end.
    const qint64 want = std::clamp<qint64>(file_.size() - file_.pos() + 1, 4096, Chunk);
    // Grown by doubling, so that a long line is copied a few times, not once per read.
    if (buf_.size() < rest + want) buf_.resize(std::max(rest + want, 2 * buf_.size()));
    if (rest > 0 && pos_ > 0) std::memmove(buf_.data(), buf_.constData() + pos_, size_t(rest));
    cr_ -= pos_;
    lf_ -= pos_;
    data_ = buf_.constData();
    pos_ = 0;
    end_ = rest;
    const qint64 got = file_.read(buf_.data() + end_, want);
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
    check_lone_cr(std::max<qsizetype>(rest - 1, 0));
    return true;
}

void ByteLineReader::check_lone_cr(qsizetype from) {
    // Only [from, end_) is new to the check: the bytes before it hold no CR that could be a
    // lone one. A CR last in the buffer may still meet its LF in the next read, so it counts
    // only at the end of the file.
    const auto* p = reinterpret_cast<const uint8_t*>(data_) + from;
    const qsizetype n = end_ - from;
    searched_ += n;
    loneCr_ = has_lone_cr(p, n) || (eof_ && n > 0 && p[n - 1] == '\r');
}

qsizetype ByteLineReader::find(char c, qsizetype from, qsizetype& cache) {
    if (cache < from || cache > end_) cache = from; // nothing known from `from` on
    if (cache < end_ && data_[cache] != c) {
        const void* at = std::memchr(data_ + cache, c, size_t(end_ - cache));
        const qsizetype next = at ? static_cast<const char*>(at) - data_ : end_;
        searched_ += next - cache;
        cache = next;
    }
    return cache;
}

bool ByteLineReader::too_long() {
    error_ = QStringLiteral("Line too long");
    failed_ = eof_ = true;
    pos_ = end_;
    return false;
}

// Any of the three line ends, and the refills.
bool ByteLineReader::next_slow(QByteArrayView& line) {
    for (;;) {
        const qsizetype lf = find('\n', pos_, lf_);
        const qsizetype cr = find('\r', pos_, cr_);
        const qsizetype at = std::min(cr, lf);
        // A CR at the end of the buffer may be the first half of a CR LF.
        if (at < end_ && (at != cr || at + 1 < end_ || eof_)) {
            if (at - pos_ > limit_) return too_long();
            line = QByteArrayView(data_ + pos_, at - pos_);
            pos_ = at + 1;
            if (at == cr && pos_ < end_ && data_[pos_] == '\n') ++pos_;
            return true;
        }
        // The unfinished line (without a CR that may end it) is already too long.
        if (end_ - pos_ - (at < end_ ? 1 : 0) > limit_) return too_long();
        if (!refill()) {
            if (failed_ || pos_ >= end_) return false;
            // The last line has no line end (or only a CR, handled above once eof_ is set).
            if (end_ > pos_ && data_[end_ - 1] == '\r') continue;
            line = QByteArrayView(data_ + pos_, end_ - pos_);
            pos_ = end_;
            return true;
        }
    }
}
