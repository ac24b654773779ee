// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The code page 932 tables, generated at build time from the platform's converter.
#include <cstdint>

inline constexpr int Cp932Leads = 60;           // 0x81-0x9F and 0xE0-0xFC
inline constexpr int Cp932Trails = 0xFD - 0x40; // 0x40-0xFC
// Index of a lead byte in Cp932Pairs.
inline constexpr int cp932_lead_index(int lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}
struct Cp932Choice {
    char16_t character;
    uint16_t bytes; // one byte, or lead << 8 | trail
};
// Single bytes (0xFFFD for lead bytes and bytes that decode to nothing).
extern const char16_t Cp932Single[256];
// Byte pairs (0xFFFD where they decode to nothing).
extern const char16_t Cp932Pairs[Cp932Leads][Cp932Trails];
// Characters several sequences decode to, and the one the platform's encoder writes.
extern const Cp932Choice Cp932Chosen[];
extern const int Cp932ChosenCount;
