#pragma once
// The catalogue is code page 932 text, but Linux names and typed text may hold characters
// that code page has no form for (é, emoji, names that are not even valid UTF-8). Rather
// than lose them to "?", the writer stores each as "&#" + decimal code point + ";". A line
// break outside the memo field is stored the same way (it would otherwise split the line),
// and the "&" of any "&#" already in the text becomes "&#38;", so decoding restores the
// original exactly. Text that code page 932 can hold is left as it is, so catalogues stay
// readable by the Windows version.
#include <QString>
#include <QStringView>

// Text as it is written into a catalogue line (before the code-page-932 encoding).
QString escape_for_catalogue(QStringView text);
// The exact inverse: every well-formed "&#N;" (N decimal, a valid code point) becomes its
// character; anything else stays as it is.
QString unescape_catalogue(QStringView text);
// True when `text` holds nothing that unescape_catalogue would change (the readers' fast path).
inline bool catalogue_text_plain(QStringView text) {
    return !text.contains(QLatin1String("&#"));
}
