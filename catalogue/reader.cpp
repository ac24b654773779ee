// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/reader.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include <cmath>

namespace {
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
