// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turning the three search strings and the chosen preset into a match mode and folded
// words (check_match_status), and testing one text against them (check_match).
#include "core/state.h"
#include "search/search_options.h"
#include "search/wildcard.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <stdexcept>

// A failure inside the scan (the platform's text in `cause`): read_data turns it into
// message 310. check_match throws it for an invalid wildcard pattern when that word is
// tested.
struct ScanFailure : std::runtime_error {
    explicit ScanFailure(QString why) : std::runtime_error("scan failure"), cause(std::move(why)) {}
    QString cause;
};

// Reads G.SearchWords; sets G.MatchMode and G.MatchWord1..3 (folded as `options` say).
// `preset` is the selected combination: 1 or 2 with two filled strings, 1 to 6 with three.
void check_match_status(int preset, const SearchOptions& options);

// n = 1 when `B`, folded as `options` say (those given to check_match_status), satisfies
// the current search, else 0. Throws ScanFailure for an invalid wildcard word that has to
// be tested.
void check_match(const QString& B, const SearchOptions& options, int16_t& n);

// What the scan's path test needs of the current search. Each word has a required
// literal that every text satisfying it contains: the word itself when matching by
// substring, the longest plain run of the pattern in wildcard mode (possibly empty).
struct MatchPlan {
    int mode = 0;
    bool wildcard = false;
    QString literal[3];
    const WildcardPattern* pattern[3] = {};
};

// The search of one run, made from the match mode and words of `query` (set by
// check_match_status) and compiled as patterns when `options` ask for wildcards. The
// scanning threads share it, read only.
class Matcher {
  public:
    Matcher(const SearchQuery& query, const SearchOptions& options);
    Matcher(const Matcher&) = delete;
    Matcher& operator=(const Matcher&) = delete;
    const MatchPlan& plan() const { return plan_; }
    // Whether a text already folded as the options say satisfies the search (the scan
    // folds each text once into its own buffer). An empty text never matches.
    bool matches_folded(QStringView folded) const;

  private:
    QString text_[3];
    WildcardPattern pattern_[3];
    MatchPlan plan_;
};

// Substring test of folded texts.
bool contains_folded(QStringView text, QStringView word);
// Throws the failure of an invalid wildcard pattern.
[[noreturn]] void invalid_pattern();

// The match modes: `sat(k)` tells whether word k (0-based) is satisfied. The order in
// which words are tested is fixed: it decides whether an invalid pattern is met at all.
template <class Sat> bool evaluate_mode(int mode, Sat sat) {
    switch (mode) {
    case 1:
        return sat(0);
    case 2:
        return sat(0) || sat(1);
    case 3: {
        const bool b = sat(1);
        const bool a = sat(0);
        return a && b;
    }
    case 4:
        return sat(0) || sat(1) || sat(2);
    case 5:
        return sat(0) && sat(1) && sat(2);
    case 6: {
        if (!sat(2)) return false;
        const bool b = sat(1);
        const bool a = sat(0);
        return a || b;
    }
    case 7: {
        if (sat(2)) return true;
        const bool b = sat(1);
        const bool a = sat(0);
        return a && b;
    }
    default:
        return false;
    }
}
