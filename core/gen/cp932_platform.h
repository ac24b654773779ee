// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Code page 932 as the platform's converter ("windows-31j") defines it, asked one byte and
// one byte pair at a time. Slow (thousands of converters), so it runs once at build time
// to write the program's tables, and in the test that proves those tables the same.
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <memory>
#include <vector>

namespace cp932_platform {

constexpr char16_t Invalid = 0xFFFD;

inline bool is_lead(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

struct Tables {
    std::array<char16_t, 256> single{};                // Invalid for lead bytes too
    std::array<std::array<char16_t, 256>, 256> pair{}; // [lead][trail]
    // Characters several byte sequences decode to, with the bytes the encoder writes.
    std::vector<std::pair<char16_t, uint16_t>> chosen;
};

inline std::unique_ptr<Tables> build() {
    auto t = std::make_unique<Tables>();
    std::array<uint8_t, 65536> seen{};
    auto decode_one = [](const char* bytes, int n, char16_t& out) {
        QStringDecoder d("windows-31j", QStringConverter::Flag::Stateless);
        const QString s = d.decode(QByteArrayView(bytes, n));
        if (d.hasError() || s.size() != 1) return false;
        out = s.at(0).unicode();
        // The platform substitutes SUB for what it cannot map.
        return !(out == 0x1A && !(n == 1 && bytes[0] == 0x1A));
    };
    for (int b = 0; b < 256; ++b) {
        t->single[b] = Invalid;
        t->pair[b].fill(Invalid);
    }
    for (int b = 0; b < 256; ++b) {
        if (is_lead(b)) continue;
        const char c = char(b);
        char16_t u;
        if (b < 0x80)
            u = char16_t(b);
        else if (!decode_one(&c, 1, u))
            continue;
        t->single[b] = u;
        ++seen[u];
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!is_lead(lead)) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const char bytes[2] = {char(lead), char(trail)};
            char16_t u;
            if (!decode_one(bytes, 2, u)) continue;
            t->pair[lead][trail] = u;
            ++seen[u];
        }
    }
    for (int u = 0; u < 65536; ++u) {
        if (seen[u] < 2) continue;
        const char16_t ch = char16_t(u);
        QStringEncoder e("windows-31j", QStringConverter::Flag::Stateless);
        const QByteArray b = e.encode(QStringView(&ch, 1));
        if (e.hasError() || b.isEmpty() || b.size() > 2) continue;
        const uint16_t bytes =
            b.size() == 1 ? uint8_t(b[0]) : uint16_t((uint8_t(b[0]) << 8) | uint8_t(b[1]));
        t->chosen.push_back({ch, bytes});
    }
    return t;
}

} // namespace cp932_platform
