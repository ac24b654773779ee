#include "catalogue/escape.h"
#include "core/codepage.h"

namespace {
void append_reference(QString& out, char32_t codePoint) {
    out += QLatin1String("&#");
    out += QString::number(static_cast<uint>(codePoint));
    out += u';';
}
} // namespace

QString escape_for_catalogue(QStringView text) {
    // Most text needs nothing: avoid building a copy for it.
    bool plain = true;
    for (qsizetype i = 0; i < text.size() && plain; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n' || !cp932_encodable(c) ||
            (c == u'&' && i + 1 < text.size() && text[i + 1] == u'#'))
            plain = false;
    }
    if (plain) return text.toString();

    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'&' && i + 1 < text.size() && text[i + 1] == u'#') {
            append_reference(out, c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   QChar::isLowSurrogate(text[i + 1].unicode())) {
            append_reference(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (c == u'\r' || c == u'\n' || !cp932_encodable(c)) {
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
        if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'#') {
            // Up to seven digits: U+10FFFF is 1114111.
            qsizetype j = i + 2;
            char32_t value = 0;
            while (j < text.size() && j - (i + 2) < 7 && text[j] >= u'0' && text[j] <= u'9') {
                value = value * 10 + static_cast<char32_t>(text[j].unicode() - u'0');
                ++j;
            }
            if (j > i + 2 && j < text.size() && text[j] == u';' && value <= 0x10FFFF) {
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
