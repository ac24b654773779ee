// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fold.h"
#include <QChar>
#include <array>
#include <memory>

namespace {

// A narrow mapping is one or two UTF-16 units packed as (second << 16) | first;
// second 0 means one unit.
constexpr char16_t LowStart = 0x2000, LowEnd = 0x3100; // punctuation, kana
constexpr char16_t HighStart = 0xFF00;                 // full-width forms

struct Tables {
    std::array<uint32_t, LowEnd - LowStart> narrowLow{};
    std::array<uint32_t, 0x10000 - HighStart> narrowHigh{};
    std::array<char16_t, 0x10000> lower{};
    std::array<bool, 256> lowerBlock{}; // any case mapping in this block of 256 units
};

void set_narrow(Tables& t, char16_t from, char16_t to1, char16_t to2 = 0) {
    const uint32_t v = uint32_t(to1) | (uint32_t(to2) << 16);
    if (from >= HighStart)
        t.narrowHigh[from - HighStart] = v;
    else
        t.narrowLow[from - LowStart] = v;
}

// Half-width katakana in the order of the full-width letters ァ (U+30A1) .. ロ (U+30ED);
// 0 marks a voiced letter (previous base + ﾞ), 1 a semi-voiced one (base two back + ﾟ).
constexpr char16_t KatakanaHalf[] = {
    u'ｧ', u'ｱ', u'ｨ', u'ｲ', u'ｩ', u'ｳ', u'ｪ', u'ｴ', u'ｫ', u'ｵ',                   // ァ..オ
    u'ｶ', 0,    u'ｷ', 0,    u'ｸ', 0,    u'ｹ', 0,    u'ｺ', 0,                      // カ..ゴ
    u'ｻ', 0,    u'ｼ', 0,    u'ｽ', 0,    u'ｾ', 0,    u'ｿ', 0,                      // サ..ゾ
    u'ﾀ', 0,    u'ﾁ', 0,    u'ｯ', u'ﾂ', 0,    u'ﾃ', 0,    u'ﾄ', 0,                // タ..ド
    u'ﾅ', u'ﾆ', u'ﾇ', u'ﾈ', u'ﾉ',                                                 // ナ..ノ
    u'ﾊ', 0,    1,    u'ﾋ', 0,    1,    u'ﾌ', 0,    1,    u'ﾍ', 0, 1, u'ﾎ', 0, 1, // ハ..ポ
    u'ﾏ', u'ﾐ', u'ﾑ', u'ﾒ', u'ﾓ',                                                 // マ..モ
    u'ｬ', u'ﾔ', u'ｭ', u'ﾕ', u'ｮ', u'ﾖ',                                           // ャ..ヨ
    u'ﾗ', u'ﾘ', u'ﾙ', u'ﾚ', u'ﾛ',                                                 // ラ..ロ
};
static_assert(sizeof(KatakanaHalf) / sizeof(char16_t) == 0x30ED - 0x30A1 + 1);

const Tables& tables() {
    static const std::unique_ptr<Tables> t = [] {
        auto t = std::make_unique<Tables>();
        for (int c = LowStart; c < LowEnd; ++c)
            t->narrowLow[c - LowStart] = uint32_t(c);
        for (int c = HighStart; c < 0x10000; ++c)
            t->narrowHigh[c - HighStart] = uint32_t(c);
        // Full-width ASCII, except the full-width backslash, which Windows leaves alone.
        for (int c = 0xFF01; c <= 0xFF5E; ++c)
            if (c != 0xFF3C) set_narrow(*t, char16_t(c), char16_t(c - 0xFF01 + 0x21));
        set_narrow(*t, 0x3000, u' ');
        set_narrow(*t, 0x2019, u'\'');
        set_narrow(*t, 0x201D, u'"');
        set_narrow(*t, 0xFFE5, u'\\');
        set_narrow(*t, u'、', u'､');
        set_narrow(*t, u'。', u'｡');
        set_narrow(*t, u'「', u'｢');
        set_narrow(*t, u'」', u'｣');
        set_narrow(*t, u'・', u'･');
        set_narrow(*t, u'ー', u'ｰ');
        set_narrow(*t, u'゛', u'ﾞ');
        set_narrow(*t, u'゜', u'ﾟ');
        char16_t base = 0;
        for (int i = 0; i <= 0x30ED - 0x30A1; ++i) {
            const char16_t h = KatakanaHalf[i];
            const char16_t from = char16_t(0x30A1 + i);
            if (h == 0)
                set_narrow(*t, from, base, u'ﾞ');
            else if (h == 1)
                set_narrow(*t, from, base, u'ﾟ');
            else {
                set_narrow(*t, from, h);
                base = h;
            }
        }
        set_narrow(*t, u'ワ', u'ﾜ');
        set_narrow(*t, u'ヲ', u'ｦ');
        set_narrow(*t, u'ン', u'ﾝ');
        set_narrow(*t, u'ヴ', u'ｳ', u'ﾞ');
        set_narrow(*t, u'ヷ', u'ﾜ', u'ﾞ');
        set_narrow(*t, u'ヺ', u'ｦ', u'ﾞ');
        set_narrow(*t, u'ヾ', u'ヽ', u'ﾞ');

        // Simple lower-case mapping unit by unit; surrogates map to themselves.
        for (int c = 0; c < 0x10000; ++c) {
            char16_t l = char16_t(c);
            if (c < 0xD800 || c > 0xDFFF) {
                const char32_t m = QChar::toLower(char32_t(c));
                if (m < 0x10000) l = char16_t(m);
            }
            t->lower[c] = l;
            if (l != c) t->lowerBlock[c >> 8] = true;
        }
        return t;
    }();
    return *t;
}

inline char16_t lower_unit(const Tables& t, char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return t.lowerBlock[c >> 8] ? t.lower[c] : c;
}

inline uint32_t narrow_unit(const Tables& t, char16_t c) {
    if (c < 0x2019) return c; // ASCII, Latin, Greek, Cyrillic: nothing to narrow
    if (c < LowEnd) return t.narrowLow[c - LowStart];
    if (c >= HighStart) return t.narrowHigh[c - HighStart];
    return c; // kanji and the rest
}

} // namespace

void fold_text_append(QStringView in, QString& out, bool narrow, bool lower) {
    const Tables& t = tables();
    const qsizetype start = out.size();
    const qsizetype n = in.size();
    out.resize(start + (narrow ? 2 * n : n)); // a narrowed unit is at most two units
    char16_t* o = reinterpret_cast<char16_t*>(out.data()) + start;
    char16_t* const o0 = o;
    const char16_t* p = reinterpret_cast<const char16_t*>(in.data());
    const char16_t* const e = p + n;
    if (narrow) {
        for (; p < e; ++p) {
            const uint32_t v = narrow_unit(t, *p);
            const char16_t a = char16_t(v), b = char16_t(v >> 16);
            *o++ = lower ? lower_unit(t, a) : a;
            if (b) *o++ = b; // sound marks have no case
        }
    } else if (lower) {
        for (; p < e; ++p)
            *o++ = lower_unit(t, *p);
    } else {
        for (; p < e; ++p)
            *o++ = *p;
    }
    out.resize(start + (o - o0));
}

void fold_text(QStringView in, QString& out, bool narrow, bool lower) {
    out.resize(0);
    fold_text_append(in, out, narrow, lower);
}

QString narrow_form(QStringView in) {
    QString s;
    fold_text(in, s, true, false);
    return s;
}

QString lower_form(QStringView in) {
    QString s;
    fold_text(in, s, false, true);
    return s;
}
