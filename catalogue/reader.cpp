// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/reader.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// The first LF in [p, e): names are short, so the first sixteen bytes are tested inline.
const char* find_lf(const char* p, const char* e) {
#if defined(__SSE2__)
    if (e - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (const int m = _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))))
            return p + __builtin_ctz(unsigned(m));
        p += 16;
    }
#endif
    return static_cast<const char*>(std::memchr(p, '\n', size_t(e - p)));
}

bool digit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool parse_parent_number(QByteArrayView text, int& value) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    qsizetype digits = 0;
    while (i < n && digit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && digit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0) {
        value = 0;
        return true;
    }
    qsizetype end = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && digit(text[j])) {
            while (j < n && digit(text[j]))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double d = text.sliced(start, end - start).toByteArray().toDouble(&ok);
    const double r = std::nearbyint(d); // the default rounding mode: halves to even
    if (!ok || !std::isfinite(r) || r < -32768 || r > 32767) return false;
    value = int(r);
    return true;
}

void CatalogueReader::skim_entries(const char* until) {
    const char* const end = lines_.end();
    if (!end || !parser_.in_entries() || until > end) return;
    const char* p = lines_.cursor();
    const int parents = parser_.parents();
    while (p < until) {
        int n = 0;
        const char* q = p;
        while (q < until && q - p < 5 && *q >= '0' && *q <= '9')
            n = n * 10 + (*q++ - '0');
        if (q == p || q == until || *q != ',' || n < 1 || n > parents) break;
        const char* lf = find_lf(q, until);
        if (!lf) break;
        // A CR before the LF belongs to the line end; none can stand elsewhere (end()).
        p = lf + 1;
        ++lineNo_;
    }
    lines_.skip_to(p);
}

void decode_catalogue_text(QByteArrayView bytes, QString& out) {
    out.resize(0);
    decode_cp932_append(bytes, out);
    if (bytes.contains('&') && !catalogue_text_plain(out)) out = unescape_catalogue(out);
}

void decode_header_field(int field, QByteArrayView bytes, QString& out) {
    decode_catalogue_text(bytes, out);
    if (field == 3) {
        data_change(out, 1);
        data_change(out, 2);
    }
}

void data_change(QString& A, int i) {
    // One left-to-right pass replaces every occurrence, as repeating "replace the first
    // one" would: a CR or LF put in can never be part of a later token.
    if (i == 1)
        A.replace(QLatin1String("$RET$"), QStringLiteral("\r"));
    else if (i == 2)
        A.replace(QLatin1String("$LF$"), QStringLiteral("\n"));
}
