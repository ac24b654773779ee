// SPDX-License-Identifier: GPL-3.0-or-later
// The wildcard matcher against a plain backtracking reference that reads the pattern as
// it goes. Input: the pattern, a line break, the text (UTF-8).
#include "fuzz_support.h"
#include "search/wildcard.h"
#include <map>
#include <optional>

namespace {

// One "[...]" starting at `i` (the "["): whether `c` is accepted, and where the set ends
// (the "]"). Nothing for an unclosed set or a reversed range.
std::optional<std::pair<bool, qsizetype>> set_at(QStringView p, qsizetype i, QChar c) {
    qsizetype j = i + 1;
    const bool negate = j < p.size() && p[j] == u'!';
    if (negate) ++j;
    bool in = false;
    for (; j < p.size(); ++j) {
        if (p[j] == u']') return std::pair{in != negate, j};
        const bool range = j + 2 < p.size() && p[j + 1] == u'-' && p[j + 2] != u']';
        if (range) {
            if (p[j] > p[j + 2]) return std::nullopt;
            in = in || (c >= p[j] && c <= p[j + 2]);
            j += 2;
        } else {
            in = in || c == p[j];
        }
    }
    return std::nullopt;
}

bool valid(QStringView p) {
    for (qsizetype i = 0; i < p.size(); ++i)
        if (p[i] == u'[') {
            const auto s = set_at(p, i, QChar());
            if (!s) return false;
            i = s->second;
        }
    return true;
}

// Does p[pi..] match t[ti..]? Memoised, so a pattern of many stars stays quick.
struct Reference {
    QStringView p, t;
    std::map<std::pair<qsizetype, qsizetype>, bool> memo;
    bool match(qsizetype pi, qsizetype ti) {
        const auto key = std::pair{pi, ti};
        if (auto it = memo.find(key); it != memo.end()) return it->second;
        bool r = false;
        if (pi == p.size()) {
            r = ti == t.size();
        } else if (p[pi] == u'*') {
            r = match(pi + 1, ti) || (ti < t.size() && match(pi, ti + 1));
        } else if (ti < t.size()) {
            const QChar c = t[ti];
            if (p[pi] == u'[') {
                const auto s = set_at(p, pi, c);
                r = s->first && match(s->second + 1, ti + 1);
            } else {
                const bool one =
                    p[pi] == u'?' || (p[pi] == u'#' ? c >= u'0' && c <= u'9' : c == p[pi]);
                r = one && match(pi + 1, ti + 1);
            }
        }
        memo[key] = r;
        return r;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 512) return 0; // the reference is quadratic
    const QString in = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype cut = in.indexOf(u'\n');
    const QString pattern = cut < 0 ? in : in.left(cut);
    const QString text = cut < 0 ? QString() : in.mid(cut + 1);

    const WildcardPattern w(pattern);
    FUZZ_CHECK(w.valid() == valid(pattern), pattern);
    if (!w.valid()) {
        FUZZ_CHECK(!w.matches(text), pattern);
        return 0;
    }
    Reference ref{pattern, text, {}};
    const bool expected = ref.match(0, 0);
    FUZZ_CHECK(w.matches(text) == expected, pattern + u'\n' + text);
    // The scan rules texts out by the literal before it runs the matcher.
    if (expected) FUZZ_CHECK(text.contains(w.longest_literal()), pattern + u'\n' + text);
    return 0;
}
