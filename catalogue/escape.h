// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue is code page 932 text, but Linux names and typed text may hold characters
// that code page has no form for (é, emoji, name bytes that decode to nothing). Rather than
// lose them to "?", the writer stores each as "&#" + decimal code point + ";". A line break
// outside the memo field is stored the same way (it would otherwise split the line), a
// backslash inside a directory name (held as NameBackslash) as "&#92;" so that it never
// reads as a path level, and the "&" of any "&#" already in the text as "&#38;". The bytes
// of a name that decode to nothing are held as U+DC00 + byte and so written as
// "&#56448;" to "&#56575;". Text that code page 932 can hold is left as it is, so catalogues
// stay readable by the Windows version.
//
// Only these escapes are read back: any other "&#N;" (a Windows catalogue's "Tom&#39;s")
// is literal text the user typed, and stays as it is.
#include <QString>
#include <QStringView>

// Text as it is written into a catalogue line (before the code-page-932 encoding).
QString escape_for_catalogue(QStringView text);
// Undoes exactly what escape_for_catalogue writes: "&#N;" (N decimal without leading
// zeros) for a character no code-page-932 bytes read back as, CR (13), LF (10), the
// backslash of a name (92, given back as "\") and "&" (38) when "#" follows. Everything
// else stays as it is.
QString unescape_catalogue(QStringView text);
// True when `text` holds nothing that unescape_catalogue would change (the readers' fast path).
inline bool catalogue_text_plain(QStringView text) {
    return !text.contains(QLatin1String("&#"));
}

// One result per output line: CR, LF and TAB become "&#13;", "&#10;" and "&#9;", and a
// lone surrogate (a name byte that decodes to nothing) its "&#N;", as in the catalogue;
// a backslash inside a name is shown as "\".
QString one_line_text(QStringView text);
