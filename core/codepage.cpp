// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/codepage.h"
#include "core/codepage_tables.h"
#include <array>
#include <memory>

namespace {

constexpr char16_t Invalid = 0xFFFD;
constexpr uint16_t NoForm = 0xFFFF; // not a valid code-page-932 sequence

bool is_lead(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

struct Tables {
    std::array<char16_t, 256> single{};                // single bytes; Invalid for lead bytes too
    std::array<std::array<char16_t, 256>, 256> pair{}; // [lead][trail]
    std::array<uint16_t, 65536> encode{};
    std::array<bool, 65536> decodable{};
};

// Characters Windows writes as these code-page-932 bytes although the bytes read back as
// other characters (Japanese input on Linux gives U+301C for 〜, Windows gives U+FF5E).
struct Conversion {
    char16_t from;
    uint16_t bytes;
};
constexpr Conversion WindowsConversions[] = {
    {0x301C, 0x8160}, {0x2212, 0x817C}, {0x2016, 0x8161}, {0x00A2, 0x8191},
    {0x00A3, 0x8192}, {0x00AC, 0x81CA}, {0x2014, 0x815C},
};

const Tables& tables() {
    static const std::unique_ptr<Tables> t = [] {
        auto t = std::make_unique<Tables>();
        t->encode.fill(NoForm);
        t->single.fill(Invalid);
        for (auto& row : t->pair)
            row.fill(Invalid);
        // Each character is written as the first sequence that decodes to it, unless the
        // platform's encoder chooses another.
        std::array<bool, 65536>& seen = t->decodable;
        for (int b = 0; b < 256; ++b) {
            const char16_t u = Cp932Single[b];
            if (u == Invalid) continue;
            t->single[b] = u;
            if (!seen[u]) t->encode[u] = uint16_t(b);
            seen[u] = true;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!is_lead(uint8_t(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t u = Cp932Pairs[cp932_lead_index(lead)][trail - 0x40];
                if (u == Invalid) continue;
                t->pair[lead][trail] = u;
                if (!seen[u]) t->encode[u] = uint16_t((lead << 8) | trail);
                seen[u] = true;
            }
        }
        for (int i = 0; i < Cp932ChosenCount; ++i)
            t->encode[Cp932Chosen[i].character] = Cp932Chosen[i].bytes;
        for (const Conversion& c : WindowsConversions)
            t->encode[c.from] = c.bytes;
        return t;
    }();
    return *t;
}

} // namespace

void decode_cp932_append(QByteArrayView bytes, QString& out) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const qsizetype n = bytes.size();
    const qsizetype start = out.size();
    out.resize(start + n); // never more characters than bytes
    char16_t* o = reinterpret_cast<char16_t*>(out.data()) + start;
    char16_t* const o0 = o;
    for (qsizetype i = 0; i < n;) {
        const uint8_t b = p[i];
        if (b < 0x80) {
            *o++ = b;
            ++i;
        } else if (is_lead(b)) {
            if (i + 1 < n && p[i + 1] >= 0x40 && p[i + 1] <= 0xFC && p[i + 1] != 0x7F) {
                *o++ = t.pair[b][p[i + 1]];
                i += 2;
            } else {
                *o++ = Invalid; // a lead byte without its trail byte
                ++i;
            }
        } else {
            *o++ = t.single[b];
            ++i;
        }
    }
    out.resize(start + (o - o0));
}

QString decode_cp932(QByteArrayView bytes) {
    QString s;
    decode_cp932_append(bytes, s);
    return s;
}

bool cp932_encodable(char16_t c) {
    return tables().encode[c] != NoForm;
}

bool cp932_decodes_to(char16_t c) {
    return tables().decodable[c];
}

QString windows_converted(QStringView text) {
    QString out = text.toString();
    for (const Conversion& c : WindowsConversions) {
        if (!out.contains(QChar(c.from))) continue;
        const uint8_t b[2] = {uint8_t(c.bytes >> 8), uint8_t(c.bytes & 0xFF)};
        out.replace(QChar(c.from), QChar(tables().pair[b[0]][b[1]]));
    }
    return out;
}

int cp932_char_bytes(char16_t c) {
    const uint16_t e = tables().encode[c];
    return (e != NoForm && e > 0xFF) ? 2 : 1;
}

void encode_cp932_append(QStringView text, QByteArray& out) {
    const Tables& t = tables();
    out.reserve(out.size() + text.size() * 2);
    for (QChar qc : text) {
        const uint16_t e = t.encode[qc.unicode()];
        if (e == NoForm)
            out.append('?');
        else if (e > 0xFF) {
            out.append(char(e >> 8));
            out.append(char(e & 0xFF));
        } else
            out.append(char(e));
    }
}

QByteArray encode_cp932(QStringView text) {
    QByteArray b;
    encode_cp932_append(text, b);
    return b;
}

int cp932_byte_length(QStringView text) {
    int n = 0;
    for (QChar c : text)
        n += cp932_char_bytes(c.unicode());
    return n;
}

namespace {
// Length of the well-formed UTF-8 sequence at p (0 when there is none) and its code point.
int utf8_sequence(const uint8_t* p, qsizetype n, char32_t& cp) {
    const uint8_t b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    int len;
    char32_t least;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        cp = b & 0x1F;
        least = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        cp = b & 0x0F;
        least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        cp = b & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (n < len) return 0;
    for (int k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void append_code_point(QString& out, char32_t cp) {
    if (cp > 0xFFFF) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(char16_t(cp == u'\\' ? NameBackslash : cp));
    }
}

// The code-page-932 text of `raw` when every byte belongs to a character and the text
// encodes back to exactly these bytes; otherwise false.
bool cp932_name(QByteArrayView raw, QString& out) {
    out = decode_cp932(raw);
    if (out.contains(QChar(Invalid)) || encode_cp932(out) != raw) return false;
    out.replace(u'\\', QChar(NameBackslash));
    return true;
}
} // namespace

bool utf8_valid(QByteArrayView raw) {
    const auto* p = reinterpret_cast<const uint8_t*>(raw.data());
    char32_t cp;
    for (qsizetype i = 0; i < raw.size();) {
        const int len = utf8_sequence(p + i, raw.size() - i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

QString disk_name_text(QByteArrayView raw, bool allowCp932) {
    QString out;
    if (allowCp932 && !utf8_valid(raw) && cp932_name(raw, out)) return out;
    out.clear();
    out.reserve(raw.size());
    const auto* p = reinterpret_cast<const uint8_t*>(raw.data());
    for (qsizetype i = 0; i < raw.size();) {
        char32_t cp;
        const int len = utf8_sequence(p + i, raw.size() - i, cp);
        if (len == 0) {
            out += QChar(char16_t(0xDC00 + p[i]));
            ++i;
        } else {
            append_code_point(out, cp);
            i += len;
        }
    }
    return out;
}

bool disk_name_matches(QByteArrayView raw, QStringView text) {
    return disk_name_text(raw, true) == text || disk_name_text(raw, false) == text;
}

QByteArray disk_name_bytes(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text.mid(i, 2).toUtf8();
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDCFF) {
            out += char(c - 0xDC00);
        } else {
            out += QString(QChar(c)).toUtf8();
        }
    }
    return out;
}
