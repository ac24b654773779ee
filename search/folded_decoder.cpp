// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/folded_decoder.h"
#include "core/codepage.h"
#include "core/fold.h"
#include <QString>
#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

namespace {
bool is_lead(uint8_t b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool is_trail(uint8_t b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// One or two folded units packed as (second << 16) | first.
uint32_t pack(const QString& s) {
    uint32_t v = s.isEmpty() ? 0 : s.at(0).unicode();
    if (s.size() > 1) v |= uint32_t(s.at(1).unicode()) << 16;
    return v;
}
} // namespace

// Lead bytes are numbered 1..60 so that the pair table stays small (60 x 256 entries)
// and stays in the cache.
constexpr uint32_t LeadAlone = 0xFFFFFFFF; // a lead byte followed by a non-trail byte

struct FoldedDecoder::Tables {
    std::array<char16_t, 128> ascii{};
    std::array<uint32_t, 256> single{};
    std::array<uint8_t, 256> leadNo{};
    std::array<uint32_t, 61 * 256> pair{}; // (leadNo << 8) | trail
    // Each folded unit with the bytes whose text holds it, sorted by unit: a byte below
    // 0x100 (a single-byte character, whatever follows), or (lead << 8) | trail. Planning a
    // search then looks up its few units instead of testing every byte pair.
    std::vector<std::pair<char16_t, uint16_t>> byUnit;
    auto bytes_holding(char16_t unit) const {
        return std::equal_range(byUnit.begin(), byUnit.end(), std::pair{unit, uint16_t(0)},
                                [](const auto& a, const auto& b) { return a.first < b.first; });
    }
};

FoldedDecoder::FoldedDecoder(bool narrow, bool lower) {
    static std::unique_ptr<Tables> cache[4];
    static std::once_flag once[4];
    const int mode = (narrow ? 2 : 0) | (lower ? 1 : 0);
    std::call_once(once[mode], [&] {
        auto t = std::make_unique<Tables>();
        // Every byte and every lead-trail pair decoded in one call, then folded one
        // character at a time into a reused buffer.
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (is_lead(uint8_t(lead)) && is_trail(uint8_t(trail))) {
                    all.append(char(lead));
                    all.append(char(trail));
                }
        QString decoded;
        for (int b = 0; b < 256; ++b)
            decode_cp932_append(QByteArrayView(all.constData() + b, 1), decoded);
        decode_cp932_append(QByteArrayView(all).sliced(256), decoded);
        QString folded;
        qsizetype i = 0;
        auto next = [&] {
            fold_text(QStringView(decoded).sliced(i++, 1), folded, narrow, lower);
            return pack(folded);
        };
        for (int b = 0; b < 256; ++b)
            t->single[size_t(b)] = next();
        for (int b = 0; b < 128; ++b)
            t->ascii[size_t(b)] = char16_t(t->single[size_t(b)]);
        t->pair.fill(LeadAlone);
        int leadNo = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!is_lead(uint8_t(lead))) continue;
            t->leadNo[size_t(lead)] = uint8_t(++leadNo);
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (is_trail(uint8_t(trail))) t->pair[size_t(leadNo << 8 | trail)] = next();
        }
        const auto index = [&t](uint32_t v, int code) {
            if (v == LeadAlone) return;
            t->byUnit.push_back({char16_t(v), uint16_t(code)});
            if (char16_t(v >> 16) != char16_t(v))
                t->byUnit.push_back({char16_t(v >> 16), uint16_t(code)});
        };
        for (int b = 0; b < 256; ++b) {
            index(t->single[size_t(b)], b);
            if (const uint8_t lead = t->leadNo[size_t(b)])
                for (int trail = 0; trail < 256; ++trail)
                    index(t->pair[size_t(lead) << 8 | size_t(trail)], b << 8 | trail);
        }
        std::sort(t->byUnit.begin(), t->byUnit.end());
        cache[mode] = std::move(t);
    });
    t_ = cache[mode].get();
}

void FoldedDecoder::mark_bytes_of(char16_t unit, bool (&marked)[256]) const {
    const auto [from, to] = t_->bytes_holding(unit);
    for (auto it = from; it != to; ++it)
        marked[it->second < 0x100 ? it->second : it->second >> 8] = true;
}

void FoldedDecoder::mark_pairs(const std::vector<std::pair<char16_t, uint32_t>>& units,
                               uint32_t* table) const {
    for (const auto& [unit, bit] : units) {
        const auto [from, to] = t_->bytes_holding(unit);
        for (auto it = from; it != to; ++it) {
            // A single byte begins its character whatever byte follows it.
            if (it->second < 0x100) {
                for (size_t second = 0; second < 256; ++second)
                    table[size_t(it->second) << 8 | second] |= bit;
            } else {
                table[it->second] |= bit;
            }
        }
    }
}

namespace {
template <bool TrackAmpersand>
inline char16_t* decode_with(const FoldedDecoder::Tables& t, QByteArrayView bytes, char16_t* out,
                             bool& ampersand) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto* const e = p + bytes.size();
    while (p < e) {
        const uint8_t b = *p++;
        if (b < 0x80) {
            if constexpr (TrackAmpersand) ampersand |= b == '&';
            *out++ = t.ascii[b];
            continue;
        }
        uint32_t v = t.single[b]; // a lead byte without its trail decodes as U+FFFD
        if (const uint8_t lead = t.leadNo[b]; lead && p < e) {
            const uint32_t w = t.pair[size_t(lead) << 8 | *p];
            if (w != LeadAlone) {
                v = w;
                ++p;
            }
        }
        *out++ = char16_t(v);
        if (v >> 16) *out++ = char16_t(v >> 16);
    }
    return out;
}
} // namespace

char16_t* FoldedDecoder::decode(QByteArrayView bytes, char16_t* out) const {
    bool unused = false;
    return decode_with<false>(*t_, bytes, out, unused);
}

char16_t* FoldedDecoder::decode(QByteArrayView bytes, char16_t* out, bool& ampersand) const {
    ampersand = false;
    return decode_with<true>(*t_, bytes, out, ampersand);
}
