// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/reader.h"
#include "catalogue/escape.h"
#include "core/codepage.h"
#include "core/number.h"

bool parse_parent_number(QByteArrayView text, int& value) {
    // A number beyond a double is no parent, even one too small to tell from 0.
    bool read = false;
    const double d = leading_number(text, &read);
    int32_t p = 0;
    if (!read || !round_into(d, -32768, 32767, p)) return false;
    value = p;
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
