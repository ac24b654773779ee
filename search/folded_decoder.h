// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scan's hot path: code-page-932 bytes straight to their folded UTF-16 text with one
// table look-up per character, decoding and folding fused. The tables are built once per
// folding from the codec and the foldings themselves, so the result is exactly
// fold_text(decode_cp932(bytes)).
#include <QByteArrayView>
#include <cstdint>
#include <utility>
#include <vector>

class FoldedDecoder {
  public:
    FoldedDecoder(bool narrow, bool lower);
    // Writes the folded text of `bytes` at `out` (room for 2 * bytes.size() units) and
    // returns the end. The "&#N;" escapes are not undone here: callers check for "&".
    char16_t* decode(QByteArrayView bytes, char16_t* out) const;
    // The same, and `ampersand` tells whether the bytes hold a "&" (a possible escape).
    char16_t* decode(QByteArrayView bytes, char16_t* out, bool& ampersand) const;

    // Marks every byte that is a single-byte character or the lead byte of a pair whose
    // folded text contains `unit`. A text lacking all marked bytes cannot hold `unit`
    // once decoded and folded (marked bytes may also stand as trail bytes: that only
    // makes the test less sharp, never wrong).
    void mark_bytes_of(char16_t unit, bool (&marked)[256]) const;

    // For a test of whole stretches of bytes: table[(first << 8) | second] gets the bits
    // of every unit in the folded text of the character that the byte pair would begin,
    // as a single-byte character (whatever byte follows) or as a lead-trail pair. `units`
    // lists (unit, bits). A stretch whose pairs, taken at every offset, lack a unit's bits
    // cannot hold that unit once decoded and folded.
    void mark_pairs(const std::vector<std::pair<char16_t, uint32_t>>& units, uint32_t* table) const;

    struct Tables;

  private:
    const Tables* t_;
};
