// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Wildcard patterns of the search: "?" one character, "*" any run, "#" one digit,
// "[list]" / "[!list]" one character in / not in the list (ranges "a-z" by code order),
// anything else itself; the whole text must match. Matching is by UTF-16 unit.
//
// Every element other than "*" takes exactly one character, so the matcher needs to
// remember only the last "*" it passed: O(text x pattern) at worst, never exponential.
#include <QString>
#include <QStringView>
#include <vector>

class WildcardPattern {
  public:
    WildcardPattern() = default;
    explicit WildcardPattern(QStringView pattern) { compile(pattern); }
    // False for an unclosed "[" or a reversed range ("[z-a]").
    bool compile(QStringView pattern);
    bool valid() const { return valid_; }
    // Whole-text match; false for an invalid pattern.
    bool matches(QStringView text) const;
    // The longest run of plain characters: every text the pattern matches contains it,
    // so a substring search can rule texts out before the matcher runs.
    QString longest_literal() const;

  private:
    enum Kind : uint8_t { Literal, AnyOne, Digit, Set, Star };
    struct Element {
        Kind kind;
        bool negate = false;
        char16_t ch = 0;
        int setBegin = 0, setEnd = 0; // ranges_[setBegin, setEnd)
    };
    struct Range {
        char16_t lo, hi;
    };
    bool element_accepts(const Element& e, char16_t c) const;
    std::vector<Element> elements_;
    std::vector<Range> ranges_;
    bool valid_ = false;
};
