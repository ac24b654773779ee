// SPDX-License-Identifier: GPL-3.0-or-later
// The text round trip of the catalogue. The input is taken twice: as UTF-16 text (two
// bytes a unit, lone surrogates included), which the writer's escape and the code page
// must bring back as stored; and as catalogue bytes, which the fused decode-and-fold
// must turn into exactly what decoding then folding gives.
#include "catalogue/escape.h"
#include "catalogue/reader.h"
#include "core/codepage.h"
#include "core/fold.h"
#include "fuzz_support.h"
#include "search/folded_decoder.h"
#include <vector>

namespace {
QString units(QStringView s) {
    QStringList l;
    for (QChar c : s)
        l << QString::number(c.unicode(), 16);
    return l.join(u' ');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Text -> catalogue line -> text.
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    const QString escaped = escape_for_catalogue(text);
    for (QChar c : escaped)
        FUZZ_CHECK(cp932_encodable(c.unicode()) && c != u'\r' && c != u'\n', units(text));
    const QByteArray line = encode_cp932(escaped);
    // What the reader gives back: the text as Windows hands it over, a name's backslash
    // as the backslash it shows.
    QString expected = windows_converted(text);
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected[i].isHighSurrogate() && i + 1 < expected.size() &&
            expected[i + 1].isLowSurrogate())
            ++i; // a pair, even one whose low half reads as a name's backslash
        else if (expected[i] == QChar(NameBackslash))
            expected[i] = u'\\';
    }
    QString back;
    decode_catalogue_text(line, back);
    FUZZ_CHECK(back == expected, units(text) + QStringLiteral("\nread back as\n") + units(back));
    FUZZ_CHECK(unescape_catalogue(decode_cp932(line)) == expected, units(text));

    // Bytes -> folded text, fused or in two steps.
    const QString decoded = decode_cp932(bytes);
    std::vector<char16_t> out(2 * size_t(size) + 1);
    for (const bool narrow : {false, true})
        for (const bool lower : {false, true}) {
            const FoldedDecoder d(narrow, lower);
            bool amp = false;
            char16_t* e = d.decode(bytes, out.data(), amp);
            const QStringView fused(out.data(), e - out.data());
            QString folded;
            fold_text(decoded, folded, narrow, lower);
            FUZZ_CHECK(fused == folded,
                       QStringLiteral("narrow %1 lower %2\n").arg(narrow).arg(lower) +
                           units(fused) + u'\n' + units(folded));
            FUZZ_CHECK(amp == bytes.contains('&'), QStringLiteral("ampersand"));
            FUZZ_CHECK(d.decode(bytes, out.data()) == e, QStringLiteral("two decodes differ"));
            // The scan skips a name that holds none of the bytes marked for a unit: every
            // unit of the folded text must come with one of them.
            if (!folded.isEmpty()) {
                bool marked[256] = {};
                const char16_t u = folded.back().unicode();
                d.mark_bytes_of(u, marked);
                bool any = false;
                for (char b : bytes)
                    any |= marked[uint8_t(b)];
                FUZZ_CHECK(any, units(folded));
            }
        }
    return 0;
}
