// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/escape.h"
#include "core/codepage.h"

namespace {
void append_reference(QString& out, char32_t codePoint) {
    out += QLatin1String("&#");
    out += QString::number(static_cast<uint>(codePoint));
    out += u';';
}

bool needs_reference(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    return c == u'\r' || c == u'\n' || !cp932_encodable(c) ||
           (c == u'&' && i + 1 < text.size() && text[i + 1] == u'#');
}

// Whether the writer produces "&#value;" where `next` follows it.
bool written_reference(char32_t value, QStringView next) {
    if (value == u'\r' || value == u'\n' || value == u'\\') return true;
    if (value == u'&') return next.startsWith(u'#');
    if (value > 0xFFFF) return value <= 0x10FFFF;
    return !cp932_decodes_to(char16_t(value));
}
} // namespace

QString escape_for_catalogue(QStringView text) {
    // Most text needs nothing: avoid building a copy for it.
    bool plain = true;
    for (qsizetype i = 0; i < text.size() && plain; ++i)
        plain = !needs_reference(text, i);
    if (plain) return text.toString();

    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == NameBackslash) {
            append_reference(out, u'\\');
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            append_reference(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (needs_reference(text, i)) {
            // A lone surrogate is written as its own number and comes back as itself.
            append_reference(out, c);
        } else {
            out += QChar(c);
        }
    }
    return out;
}

QString unescape_catalogue(QStringView text) {
    if (catalogue_text_plain(text)) return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'&' && i + 3 < text.size() && text[i + 1] == u'#' && text[i + 2] >= u'1' &&
            text[i + 2] <= u'9') {
            // Up to seven digits: U+10FFFF is 1114111.
            qsizetype j = i + 2;
            char32_t value = 0;
            while (j < text.size() && j - (i + 2) < 7 && text[j] >= u'0' && text[j] <= u'9') {
                value = value * 10 + static_cast<char32_t>(text[j].unicode() - u'0');
                ++j;
            }
            if (j < text.size() && text[j] == u';' && written_reference(value, text.mid(j + 1))) {
                if (value > 0xFFFF) {
                    out += QChar(QChar::highSurrogate(value));
                    out += QChar(QChar::lowSurrogate(value));
                } else {
                    out += QChar(static_cast<char16_t>(value));
                }
                i = j + 1;
                continue;
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}

QString one_line_text(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text.mid(i, 2);
            ++i;
        } else if (c == NameBackslash) {
            out += u'\\';
        } else if (c == u'\r' || c == u'\n' || c == u'\t' || QChar::isSurrogate(c)) {
            append_reference(out, c);
        } else {
            out += QChar(c);
        }
    }
    return out;
}
