// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/match.h"
#include "core/codepage.h"
#include "core/fold.h"
#include "core/state.h"
#include "search/wildcard.h"
#include <algorithm>
#include <string_view>

namespace {

std::u16string_view view_of(QStringView s) {
    return {reinterpret_cast<const char16_t*>(s.data()), size_t(s.size())};
}

const QString InvalidPattern = QStringLiteral("パターン文字列が不正です。");

// Substring test for the short texts of a catalogue: scan for the first unit, then
// compare the rest.
inline bool contains(std::u16string_view text, std::u16string_view word) {
    const size_t m = word.size();
    if (m == 0) return true;
    if (text.size() < m) return false;
    const char16_t first = word[0];
    const char16_t* t = text.data();
    const char16_t* const last = t + (text.size() - m);
    for (; t <= last; ++t)
        if (*t == first && std::char_traits<char16_t>::compare(t + 1, word.data() + 1, m - 1) == 0)
            return true;
    return false;
}

} // namespace

void check_match_status(int preset, const SearchOptions& options) {
    int filled[3];
    int count = 0;
    for (int k = 1; k <= 3; ++k)
        if (!G.SearchWords(k).isEmpty()) filled[count++] = k;
    if (count == 0) {
        G.MatchMode = 0;
    } else if (count == 1) {
        G.MatchWord1 = G.SearchWords(filled[0]);
        G.MatchWord2.clear();
        G.MatchWord3.clear();
        G.MatchMode = 1;
    } else if (count == 2) {
        G.MatchWord1 = G.SearchWords(filled[0]);
        G.MatchWord2 = G.SearchWords(filled[1]);
        G.MatchWord3.clear();
        G.MatchMode = preset == 1 ? 2 : 3;
    } else {
        G.MatchWord1 = G.SearchWords(1);
        G.MatchWord2 = G.SearchWords(2);
        G.MatchWord3 = G.SearchWords(3);
        switch (preset) {
        case 1:
            G.MatchMode = 4;
            break;
        case 2:
            G.MatchMode = 5;
            break;
        case 3:
            G.MatchMode = 6;
            break;
        case 4:
            G.MatchMode = 7;
            break;
        case 5: // " [1]  or ([2]  and [3])" = ([3] and [2]) or [1]
            G.MatchMode = 7;
            std::swap(G.MatchWord1, G.MatchWord3);
            break;
        default: // 6: " [1] and ([2]   or [3])" = ([3] or [2]) and [1]
            G.MatchMode = 6;
            std::swap(G.MatchWord1, G.MatchWord3);
            break;
        }
    }
    if (G.MatchMode >= 1) {
        // Width before case, always.
        for (QString* w : {&G.MatchWord1, &G.MatchWord2, &G.MatchWord3}) {
            // Typed 〜 must find the ～ that the catalogue's bytes read back as.
            *w = windows_converted(*w);
            if (options.foldWidth) *w = narrow_form(*w);
            if (options.foldCase) *w = lower_form(*w);
        }
    }
}

Matcher::Matcher(const SearchQuery& query, const SearchOptions& options) {
    const QString* words[3] = {&query.MatchWord1, &query.MatchWord2, &query.MatchWord3};
    plan_.mode = query.MatchMode;
    plan_.wildcard = options.wildcard;
    for (int k = 0; k < 3; ++k) {
        text_[k] = *words[k];
        pattern_[k].compile(*words[k]);
        plan_.pattern[k] = &pattern_[k];
        plan_.literal[k] = options.wildcard ? pattern_[k].longest_literal() : text_[k];
    }
}

bool contains_folded(QStringView text, QStringView word) {
    return contains(view_of(text), view_of(word));
}

void invalid_pattern() {
    throw ScanFailure(InvalidPattern);
}

bool Matcher::matches_folded(QStringView folded) const {
    if (folded.isEmpty()) return false;
    const std::u16string_view t = view_of(folded);
    // Does the folded text satisfy word k (0-based)?
    return evaluate_mode(plan_.mode, [&](int k) {
        if (plan_.wildcard) {
            if (!pattern_[k].valid()) invalid_pattern();
            return pattern_[k].matches(folded);
        }
        return contains(t, view_of(text_[k]));
    });
}

void check_match(const QString& B, const SearchOptions& options, int16_t& n) {
    n = 0;
    if (B.isEmpty()) return;
    const Matcher m(G, options);
    QString folded;
    fold_text(B, folded, options.foldWidth, options.foldCase);
    n = m.matches_folded(folded) ? 1 : 0;
}
