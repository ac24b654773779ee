// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/search_rules.h"
#include "core/state.h"

int filled_count(const QString (&words)[3]) {
    int n = 0;
    for (const QString& w : words)
        n += w.isEmpty() ? 0 : 1;
    return n;
}

int preset_count(int filledCount) {
    if (filledCount == 2) return 2;
    if (filledCount >= 3) return 6;
    return 0;
}

QStringList preset_captions(const QString (&words)[3]) {
    const int n = filled_count(words);
    // The bracketed numbers line up in the fixed-pitch font: blanks are part of the text.
    if (n == 3)
        return {
            QStringLiteral(" [1]  or  [2]   or [3]"),  QStringLiteral(" [1] and  [2]  and [3]"),
            QStringLiteral("([1]  or  [2]) and [3]"),  QStringLiteral("([1] and  [2])  or [3]"),
            QStringLiteral(" [1]  or ([2]  and [3])"), QStringLiteral(" [1] and ([2]   or [3])")};
    if (n != 2) return {};
    const QString a = !words[0].isEmpty() ? QStringLiteral("[1]") : QStringLiteral("[2]");
    const QString b = !words[2].isEmpty() ? QStringLiteral("[3]") : QStringLiteral("[2]");
    return {a + QStringLiteral("  or ") + b, a + QStringLiteral(" and ") + b};
}

int preset_after_change(int wasShown, int shown, int selected, int remembered) {
    if (remembered < 1 || remembered > 6) remembered = 1;
    if (shown == 2) {
        if (wasShown != 2 && remembered <= 2) selected = remembered;
        return selected >= 1 && selected <= 2 ? selected : 1;
    }
    if (shown == 6 && wasShown != 6) return remembered;
    return selected;
}

int saved_preset() {
    const QString s = G.SavedSettings(10).trimmed();
    if (s.size() == 1 && s.at(0) >= u'1' && s.at(0) <= u'6') return s.at(0).unicode() - u'0';
    return 1;
}

SearchOptions consistent_display(SearchOptions o, ShownLines kept) {
    if (o.headerOnly) {
        o.showHeaders = true;
        o.showDirs = false;
    } else if (!o.showHeaders && !o.showDirs) {
        (kept == ShownLines::Dirs ? o.showDirs : o.showHeaders) = true;
    }
    return o;
}

SearchOptions block_search_options(SearchOptions o) {
    o.showHeaders = true;
    o.showDirs = false;
    o.wildcard = true;
    o.headerOnly = true;
    return o;
}

void mirror_search_options(const SearchOptions& o) {
    G.HeaderOnlySearch = o.headerOnly ? 1 : 0;
    G.SortResults = o.sort ? 1 : 0;
}
