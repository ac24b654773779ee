// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/wildcard.h"

bool WildcardPattern::compile(QStringView pattern) {
    elements_.clear();
    ranges_.clear();
    valid_ = false;
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = pattern[i].unicode();
        Element e{Literal};
        switch (c) {
        case u'?':
            e.kind = AnyOne;
            break;
        case u'#':
            e.kind = Digit;
            break;
        case u'*':
            if (!elements_.empty() && elements_.back().kind == Star) continue; // "**" = "*"
            e.kind = Star;
            break;
        case u'[': {
            e.kind = Set;
            qsizetype j = i + 1;
            if (j < n && pattern[j] == u'!') {
                e.negate = true;
                ++j;
            }
            e.setBegin = int(ranges_.size());
            bool closed = false;
            for (; j < n; ++j) {
                const char16_t a = pattern[j].unicode();
                if (a == u']') {
                    closed = true;
                    break;
                }
                // "a-z" is a range; a "-" first or last in the list is itself.
                if (j + 2 < n && pattern[j + 1] == u'-' && pattern[j + 2] != u']') {
                    const char16_t b = pattern[j + 2].unicode();
                    if (a > b) return false;
                    ranges_.push_back({a, b});
                    j += 2;
                } else {
                    ranges_.push_back({a, a});
                }
            }
            if (!closed) return false;
            e.setEnd = int(ranges_.size());
            i = j;
            break;
        }
        default:
            e.ch = c;
            break;
        }
        elements_.push_back(e);
    }
    valid_ = true;
    return true;
}

bool WildcardPattern::element_accepts(const Element& e, char16_t c) const {
    switch (e.kind) {
    case Literal:
        return c == e.ch;
    case AnyOne:
        return true;
    case Digit:
        return c >= u'0' && c <= u'9';
    case Set: {
        bool in = false;
        for (int k = e.setBegin; k < e.setEnd && !in; ++k)
            in = c >= ranges_[size_t(k)].lo && c <= ranges_[size_t(k)].hi;
        return in != e.negate;
    }
    case Star:
        break;
    }
    return false;
}

bool WildcardPattern::matches(QStringView text) const {
    if (!valid_) return false;
    const size_t np = elements_.size();
    const qsizetype nt = text.size();
    size_t p = 0;
    qsizetype t = 0;
    // Position after the last "*" met and the text position it is trying to cover up to.
    size_t starP = SIZE_MAX;
    qsizetype starT = 0;
    while (t < nt) {
        if (p < np && elements_[p].kind == Star) {
            starP = ++p;
            starT = t;
        } else if (p < np && element_accepts(elements_[p], text[t].unicode())) {
            ++p;
            ++t;
        } else if (starP != SIZE_MAX) {
            // Let the last "*" swallow one more character and retry from there.
            p = starP;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < np && elements_[p].kind == Star)
        ++p;
    return p == np;
}

QString WildcardPattern::longest_literal() const {
    QString best, run;
    for (const Element& e : elements_) {
        if (e.kind == Literal) {
            run.append(QChar(e.ch));
            if (run.size() > best.size()) best = run;
        } else {
            run.clear();
        }
    }
    return best;
}
