// SPDX-License-Identifier: GPL-3.0-or-later
// Match modes, presets, folding and wildcard patterns; the memo escape; the scan's decoder;
// the preset rules shared by the search screen and tobrin-cli.
#include "catalogue/reader.h"
#include "search/match.h"
#include "search/search_rules.h"
#include "search/wildcard.h"
#include "test_catalogue.h"
#include <QTest>

namespace {
// words: fields [1]|[2]|[3]; flags as options() reads them; each text of `hits` matches,
// none of `misses` does.
void row(const char* name, const char* words, int preset, const char* flags,
         const QStringList& hits, const QStringList& misses = {}) {
    QTest::newRow(name) << QString(words) << preset << QString(flags) << hits << misses;
}
} // namespace

class TestMatch : public QObject {
    Q_OBJECT
  private slots:
    void init() { fresh_state(); }

    void check_match_data() {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("preset");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QStringList>("hits");
        QTest::addColumn<QStringList>("misses");
        // Presets 5 and 6 exchange words [1] and [3]: " [1]  or ([2]  and [3])" is tested
        // as ([3] and [2]) or [1].
        row("preset 1: any", "a|b|c", 1, "", {"zzc"}, {"xyz"});
        row("preset 2: all", "a|b|c", 2, "", {"cab"}, {"ca"});
        row("preset 3: (a or b) and c", "a|b|c", 3, "", {"bc", "ac"}, {"ab"});
        row("preset 4: (a and b) or c", "a|b|c", 4, "", {"c", "ab"}, {"a"});
        row("preset 5: a or (b and c)", "a|b|c", 5, "", {"xax", "bc"}, {"xbx", "xcx"});
        row("preset 6: a and (b or c)", "a|b|c", 6, "", {"xaxc", "ab"}, {"xbxc", "a"});
        row("[1] and [3] filled", "a||c", 2, "", {"ac"}, {"c"});
        row("a blank is a word", " ||", 1, "", {"a b"}, {"ab"});
        // Width is folded before case, on the words and on every text.
        row("ＡＢＣ, both folded", "ＡＢＣ", 1, "", {"abc", "ABC", "ａｂｃ"});
        row("ＡＢＣ, case kept", "ＡＢＣ", 1, "c", {"ABC"}, {"abc"});
        row("ＡＢＣ, width kept", "ＡＢＣ", 1, "w", {"ａｂｃ"}, {"ABC"});
        row("ガ finds ｶﾞ and the other way", "ガ|ｶﾞ", 2, "", {"ｶﾞｲﾄﾞ", "ガイド"}, {"ｶｲﾄﾞ"});
        // Typed on Linux, these differ from the characters Windows stored for them.
        row("〜−‖¢£¬— find what Windows stored", "〜−‖¢£¬—", 1, "", {"～－∥￠￡￢―"});
        // Wildcard patterns match the whole text.
        row("wildcard: whole text", "abc", 1, "*", {"abc", "ABC"}, {"xabcx"});
        row("wildcard: [*] a literal star", "[*]*", 1, "*", {"*dos"}, {"dos*"});
        row("wildcard: ? one character", "a?c", 1, "*", {"abc"}, {"ac", "abbc"});
        row("wildcard: # takes 0 and 9, not their neighbours", "#", 1, "*cw", {"0", "9"},
            {"/", ":", "０", "#", "a"});
        row("wildcard: a range of one character", "[b-b]x", 1, "*", {"bx"}, {"ax", "cx"});
        row("wildcard: range ends belong to it", "[b-y]", 1, "*c", {"b", "y"}, {"a", "z"});
        row("wildcard: case folded at A, Z, a, z", "[a-z]", 1, "*", {"A", "Z", "a", "z"},
            {"@", "[", "`", "{"});
        row("wildcard: negated range", "[!a-c]x", 1, "*", {"dx"}, {"bx"});
        row("wildcard: dash last is literal", "[a-]", 1, "*", {"-", "a"}, {"b"});
        row("wildcard: stars and a tail", "*a*b", 1, "*", {"xxaxxbxb"}, {"xxaxxbxa"});
        row("wildcard: folded pattern, stars matching nothing", "＊ＤＯＳ＊", 1, "*",
            {"msdos6", "dos"});
    }
    void check_match() {
        QFETCH(QString, words);
        QFETCH(int, preset);
        QFETCH(QString, flags);
        QFETCH(QStringList, hits);
        QFETCH(QStringList, misses);
        for (int k = 1; k <= 3; ++k)
            G.SearchWords(k) = words.section(u'|', k - 1, k - 1);
        const SearchOptions o = options(flags);
        check_match_status(preset, o);
        for (const QString& text : hits + misses) {
            int16_t n = -1;
            ::check_match(text, o, n);
            QVERIFY2(n == int16_t(hits.contains(text)), qPrintable(text));
        }
    }

    // Invalid patterns are refused (the scan then fails with 310); no exponential
    // backtracking.
    void wildcard_limits() {
        QVERIFY(!WildcardPattern(u"[z-a]").valid());
        const WildcardPattern p(u"*a*a*a*a*a*a*a*a*b");
        QVERIFY(!p.matches(QString(20000, u'a')));
        QVERIFY(p.matches(QString(20000, u'a') + u'b'));
    }

    // "$RET$" glued to text, and 100,000 of them: no recursion to overflow the stack.
    void data_change_undoes_memo_escape() {
        QString memo = "$RET$RET$LF$" + QString("$RET$").repeated(100000);
        data_change(memo, 1);
        data_change(memo, 2);
        QCOMPARE(memo, "\rRET\n" + QString(100000, u'\r'));
    }

    // The two presets offered for two words name the filled fields.
    void captions_name_the_filled_fields() {
        const QString first[3] = {"a", "", "c"}, second[3] = {"", "b", "c"};
        QCOMPARE(preset_captions(first), (QStringList{"[1]  or [3]", "[1] and [3]"}));
        QCOMPARE(preset_captions(second), (QStringList{"[2]  or [3]", "[2] and [3]"}));
    }

    void saved_preset_reads_one_digit_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("preset");
        QTest::newRow("6") << "6" << 6;
        QTest::newRow("blanks around") << " 4 " << 4;
        QTest::newRow("7") << "7" << 1;
        QTest::newRow("two digits") << "12" << 1;
        QTest::newRow("full-width") << "３" << 1;
    }
    void saved_preset_reads_one_digit() {
        QFETCH(QString, saved);
        QFETCH(int, preset);
        G.SavedSettings(10) = saved;
        QCOMPARE(saved_preset(), preset);
    }
};

QTEST_GUILESS_MAIN(TestMatch)
#include "tst_match.moc"
