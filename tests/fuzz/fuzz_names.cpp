// SPDX-License-Identifier: GPL-3.0-or-later
// Names and text as the catalogue stores them. The input is taken as a disk name (arbitrary
// bytes) as the walk holds it, either way it reads them, and as UTF-16 text (two bytes a
// unit, lone surrogates included) as typed. Each is stored as the one folder and entry of a
// block. What must hold: the block reads as exactly its lines (the text holds no line break
// and starts no marker); the entry reads back as the text Windows would hand over, its blanks
// at the ends trimmed, by both ways of reading a line; and a name that neither converts nor
// trims gives back the disk's bytes.
#include "catalogue/escape.h"
#include "catalogue/reader.h"
#include "core/codepage.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(size));
    QString typed;
    for (size_t i = 0; i + 1 < size; i += 2)
        typed.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    const QString names[3] = {disk_name_text(raw, false), disk_name_text(raw, true), typed};
    for (int n = 0; n < 3; ++n) {
        const QString& name = names[n];
        const QByteArray line = encode_cp932(escape_for_catalogue(name));
        CatalogueReader in;
        in.open_bytes("*01\r\n*02\r\n\\" + line + "\\\r\n*03\r\n1," + line + "\r\n");
        // Every line after "*01" is an item: a sixth would be a line the text began.
        int items = 0;
        QByteArray stored;
        for (CatalogueItem it; in.next(it); ++items)
            stored = it.text.toByteArray(); // the last: the entry's name
        FUZZ_CHECK(items == 5, raw.toHex());
        // Blanks at the ends are trimmed; the reader gives a name's backslash as "\", as it gives a
        // typed one.
        QString expected = windows_converted(name).replace(u'\\', QChar(NameBackslash));
        while (expected.startsWith(u' '))
            expected.remove(0, 1);
        while (expected.endsWith(u' '))
            expected.chop(1);
        QString back;
        decode_catalogue_text(stored, back);
        back.replace(u'\\', QChar(NameBackslash));
        FUZZ_CHECK(back == expected, raw.toHex() + QStringLiteral("\nread back as\n") + back);
        FUZZ_CHECK(unescape_catalogue(decode_cp932(stored)).replace(u'\\', QChar(NameBackslash)) ==
                       expected,
                   raw.toHex());
        // The name read as UTF-8 (lone bytes kept apart) is the one whose bytes the walk writes.
        if (n == 0 && back == name) FUZZ_CHECK(disk_name_bytes(back) == raw, raw.toHex());
    }
    return 0;
}
