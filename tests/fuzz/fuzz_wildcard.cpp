// SPDX-License-Identifier: GPL-3.0-or-later
// The wildcard matcher against a plain reference: which text prefixes each pattern prefix
// matches, one pattern element at a time. Input: the pattern, a line break, the text (UTF-8).
#include "fuzz_support.h"
#include "search/wildcard.h"
#include <vector>

namespace {
// The "[...]" that starts at p[i]: where its "]" is (-1 when it is unclosed or holds a
// reversed range), and in `in` whether it takes `c`.
qsizetype set_at(QStringView p, qsizetype i, QChar c, bool& in) {
    const bool negate = i + 1 < p.size() && p[i + 1] == u'!';
    in = negate;
    for (qsizetype j = i + 1 + negate; j < p.size(); ++j) {
        if (p[j] == u']') return j;
        const bool range = j + 2 < p.size() && p[j + 1] == u'-' && p[j + 2] != u']';
        const QChar hi = range ? p[j + 2] : p[j];
        if (hi < p[j]) return -1;
        if (c >= p[j] && c <= hi) in = !negate;
        j += range ? 2 : 0;
    }
    return -1;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 512) return 0; // the reference is quadratic
    const QString in = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString pattern = in.section(u'\n', 0, 0);
    const QString text = in.mid(pattern.size() + 1);

    // matched[j]: the pattern so far matches the first j characters of the text.
    std::vector<char> matched(size_t(text.size()) + 1, 0), next;
    matched[0] = 1;
    bool valid = true;
    for (qsizetype i = 0; i < pattern.size() && valid; ++i) {
        const QChar p = pattern[i];
        bool taken = false;
        const qsizetype end = p == u'[' ? set_at(pattern, i, QChar(), taken) : i;
        valid = end >= 0;
        next.assign(matched.size(), 0);
        for (qsizetype j = 0; j <= text.size(); ++j) {
            if (p == u'*') {
                next[j] = matched[j] || (j > 0 && next[j - 1]);
            } else if (j > 0 && matched[j - 1]) {
                const QChar c = text[j - 1];
                if (p == u'[') set_at(pattern, i, c, taken);
                next[j] =
                    p == u'[' ? taken : p == u'?' || (p == u'#' ? c >= u'0' && c <= u'9' : c == p);
            }
        }
        matched.swap(next);
        i = std::max(i, end);
    }

    const WildcardPattern w(pattern);
    FUZZ_CHECK(w.valid() == valid, pattern);
    const bool expected = valid && matched.back();
    FUZZ_CHECK(w.matches(text) == expected, pattern + u'\n' + text);
    // The scan rules texts out by the literal before it runs the matcher.
    if (expected) FUZZ_CHECK(text.contains(w.longest_literal()), pattern + u'\n' + text);
    return 0;
}
