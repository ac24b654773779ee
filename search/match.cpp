#include "search/match.h"
#include "core/fold.h"
#include "core/state.h"
#include "search/wildcard.h"
#include <string_view>

namespace {

struct Word {
    QString text;
    WildcardPattern pattern;
};

struct Matcher {
    SearchOptions options;
    int mode = 0;
    Word w[3];
};

Matcher& matcher() {
    static Matcher m;
    return m;
}

std::u16string_view view_of(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.constData()), size_t(s.size())};
}

const QString InvalidPattern = QStringLiteral("パターン文字列が不正です。");

// Does the folded text satisfy word k (0-based)?
bool satisfies(const Matcher& m, int k, std::u16string_view text) {
    const Word& w = m.w[k];
    if (m.options.wildcard) {
        if (!w.pattern.valid()) throw ScanFailure(InvalidPattern);
        return w.pattern.matches(QStringView(text.data(), qsizetype(text.size())));
    }
    return text.find(view_of(w.text)) != std::u16string_view::npos;
}

} // namespace

void check_match_status(int preset, const SearchOptions& options) {
    Matcher& m = matcher();
    m.options = options;
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
            if (options.foldWidth) *w = narrow_form(*w);
            if (options.foldCase) *w = lower_form(*w);
        }
    }
    m.mode = G.MatchMode;
    const QString* words[3] = {&G.MatchWord1, &G.MatchWord2, &G.MatchWord3};
    for (int k = 0; k < 3; ++k) {
        m.w[k].text = *words[k];
        m.w[k].pattern.compile(*words[k]);
    }
}

const SearchOptions& current_search_options() {
    return matcher().options;
}

bool match_folded(QStringView folded) {
    if (folded.isEmpty()) return false;
    const Matcher& m = matcher();
    const std::u16string_view t(reinterpret_cast<const char16_t*>(folded.data()),
                                size_t(folded.size()));
    // The order in which words are tested is fixed: it decides whether an invalid
    // pattern is met at all.
    switch (m.mode) {
    case 1:
        return satisfies(m, 0, t);
    case 2:
        return satisfies(m, 0, t) || satisfies(m, 1, t);
    case 3: {
        const bool b = satisfies(m, 1, t);
        const bool a = satisfies(m, 0, t);
        return a && b;
    }
    case 4:
        return satisfies(m, 0, t) || satisfies(m, 1, t) || satisfies(m, 2, t);
    case 5:
        return satisfies(m, 0, t) && satisfies(m, 1, t) && satisfies(m, 2, t);
    case 6: {
        if (!satisfies(m, 2, t)) return false;
        const bool b = satisfies(m, 1, t);
        const bool a = satisfies(m, 0, t);
        return a || b;
    }
    case 7: {
        if (satisfies(m, 2, t)) return true;
        const bool b = satisfies(m, 1, t);
        const bool a = satisfies(m, 0, t);
        return a && b;
    }
    default:
        return false;
    }
}

void check_match(const QString& B, int16_t& n) {
    n = 0;
    if (B.isEmpty()) return;
    static thread_local QString buf;
    const Matcher& m = matcher();
    fold_text(B, buf, m.options.foldWidth, m.options.foldCase);
    n = match_folded(buf) ? 1 : 0;
}
