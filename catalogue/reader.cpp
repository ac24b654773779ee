// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/reader.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include "core/number.h"
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
} // namespace

bool parse_parent_number(QByteArrayView text, int& value) {
    // A number beyond a double is no parent, even one too small to tell from 0.
    bool read = false;
    const double d = leading_number(text, &read);
    int32_t p = 0;
    if (!read || !round_into(d, -32768, 32767, p)) return false;
    value = p;
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
