// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/search_rules.h"
#include "core/state.h"

namespace {
// "True"/"False" in any case, or a number (true when not 0).
bool read_bool(const QString& text, bool& out) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok) return false;
    out = d != 0;
    return true;
}

// The leading number of the text (none gives 0, the cleared state); only 0..2 fit a
// check box.
bool read_check(const QString& text, int16_t& out) {
    int32_t v = 0;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    bool neg = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) neg = text.at(i++) == u'-';
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128 && v < 1000)
        v = v * 10 + (text.at(i++).unicode() - u'0');
    if (neg) v = -v;
    if (v < 0 || v > 2) return false;
    out = static_cast<int16_t>(v);
    return true;
}
} // namespace

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

void search_options(int16_t code, SearchControls& o) {
    if (code == -1) {
        const auto b = [](bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); };
        const auto digit = [](int16_t v) {
            return QString(QChar(char16_t(u'0' + (v < 0 || v > 9 ? 0 : v))));
        };
        G.SavedSettings(1) = b(o.Option2_1);
        G.SavedSettings(2) = b(o.Option2_2);
        G.SavedSettings(3) = b(o.Option4_1);
        G.SavedSettings(4) = b(o.Option4_2);
        G.SavedSettings(5) = digit(o.Check1);
        G.SavedSettings(6) = digit(o.Check2);
        G.SavedSettings(7) = digit(o.Check3);
        G.SavedSettings(8) = digit(o.Check4);
        G.SavedSettings(9) = digit(o.Check5);
    } else if (code == 1) {
        const SearchControls d;
        SearchControls n;
        if (!read_bool(G.SavedSettings(1), n.Option2_1)) n.Option2_1 = d.Option2_1;
        if (!read_bool(G.SavedSettings(2), n.Option2_2)) n.Option2_2 = d.Option2_2;
        if (!read_bool(G.SavedSettings(3), n.Option4_1)) n.Option4_1 = d.Option4_1;
        if (!read_bool(G.SavedSettings(4), n.Option4_2)) n.Option4_2 = d.Option4_2;
        // Option buttons of one frame exclude each other: selecting the second one
        // clears the first.
        if (n.Option2_1 && n.Option2_2) n.Option2_1 = false;
        if (n.Option4_1 && n.Option4_2) n.Option4_1 = false;
        int16_t* checks[5] = {&n.Check1, &n.Check2, &n.Check3, &n.Check4, &n.Check5};
        const int16_t defaults[5] = {d.Check1, d.Check2, d.Check3, d.Check4, d.Check5};
        for (int i = 0; i < 5; ++i)
            if (!read_check(G.SavedSettings(5 + i), *checks[i])) *checks[i] = defaults[i];
        o = n;
        G.HeaderOnlySearch = o.Check5;
    }
}
