// SPDX-License-Identifier: GPL-3.0-or-later
// Match modes, presets, folding and wildcard patterns; the memo escape; the scan's decoder
// and line reader.
#include "catalogue/reader.h"
#include "core/codepage.h"
#include "core/fold.h"
#include "search/folded_decoder.h"
#include "search/match.h"
#include "search/wildcard.h"
#include "test_catalogue.h"
#include <QTemporaryDir>
#include <QTest>

namespace {
// words: fields [1]|[2]|[3]; flags as options() reads them; each text of `hits` matches,
// none of `misses` does.
void row(const char* name, const char* words, int preset, const char* flags,
         const QStringList& hits, const QStringList& misses) {
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
        row("nothing filled never matches", "||", 1, "", {}, {"abc"});
        row("an empty text never matches", "a||", 1, "", {}, {""});
        // Width is folded before case, on the words and on every text.
        row("ＡＢＣ, both folded", "ＡＢＣ", 1, "", {"abc", "ABC", "ａｂｃ"}, {});
        row("ＡＢＣ, case kept", "ＡＢＣ", 1, "c", {"ABC"}, {"abc"});
        row("ＡＢＣ, width kept", "ＡＢＣ", 1, "w", {"ａｂｃ"}, {"ABC"});
        row("ガ finds ｶﾞ", "ガ", 1, "", {"ｶﾞｲﾄﾞ", "ガイド"}, {"ｶｲﾄﾞ"});
        row("ｶﾞ finds ガ", "ｶﾞ", 1, "", {"ガイド"}, {});
        // Typed on Linux, these differ from the characters Windows stored for them.
        row("〜−‖¢£¬— find what Windows stored", "〜−‖¢£¬—", 1, "", {"～－∥￠￡￢―"}, {});
        // Wildcard patterns match the whole text.
        row("wildcard: whole text", "abc", 1, "*", {"abc", "ABC"}, {"xabcx"});
        row("wildcard: [*] a literal star", "[*]*", 1, "*", {"*dos"}, {"dos*"});
        row("wildcard: ? one character", "a?c", 1, "*", {"abc"}, {"ac", "abbc"});
        row("wildcard: # a digit", "v#", 1, "*", {"v3"}, {"vx"});
        row("wildcard: # takes 0 and 9, not their neighbours", "#", 1, "*cw", {"0", "9"},
            {"/", ":", "０", "#", "a"});
        row("wildcard: a range of one character", "[b-b]x", 1, "*", {"bx"}, {"ax", "cx"});
        row("wildcard: range ends belong to it", "[b-y]", 1, "*c", {"b", "y"}, {"a", "z"});
        row("wildcard: case folded at A, Z, a, z", "[a-z]", 1, "*", {"A", "Z", "a", "z"},
            {"@", "[", "`", "{"});
        row("wildcard: full-width A and z fold too", "[a-z][a-z]", 1, "*", {"ＡＺ", "ａｚ"},
            {"＠［", "｀｛"});
        row("substring: full-width A to z fold both ways", "az", 1, "", {"ＡＺ", "ａｚ", "AZ"},
            {"＠Z", "A｛"});
        row("substring: case kept at A and z", "Az", 1, "c", {"Az", "Ａｚ"}, {"az", "AZ"});
        row("wildcard: range", "[a-c]x", 1, "*", {"bx"}, {"dx"});
        row("wildcard: negated range", "[!a-c]x", 1, "*", {"dx"}, {"bx"});
        row("wildcard: dash last is literal", "[a-]", 1, "*", {"-", "a"}, {"b"});
        row("wildcard: stars and a tail", "*a*b", 1, "*", {"xxaxxbxb"}, {"xxaxxbxa"});
        row("wildcard: folded pattern", "＊ＤＯＳ＊", 1, "*", {"msdos6"}, {});
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
        QVERIFY(!WildcardPattern(u"[abc").valid());
        QVERIFY(!WildcardPattern(u"[z-a]").valid());
        const WildcardPattern p(u"*a*a*a*a*a*a*a*a*b");
        const QString as(20000, u'a');
        QVERIFY(!p.matches(as));
        QVERIFY(p.matches(as + u'b'));
    }

    // "$RET$" glued to text, and 100,000 of them: no recursion to overflow the stack.
    void data_change_undoes_memo_escape() {
        QString glued = "$RET$RET$LF$", huge = QString("$RET$").repeated(100000);
        for (QString* s : {&glued, &huge}) {
            data_change(*s, 1);
            data_change(*s, 2);
        }
        QCOMPARE(glued, QString("\rRET\n"));
        QCOMPARE(huge, QString(100000, u'\r'));
    }

    // The scan's fused decoder must give exactly fold(decode(bytes)) for every code.
    void fused_decoder_matches_codec_and_folding() {
        QByteArray all("a&Z\\\x82", 5); // a lead byte followed by a single-byte code
        for (int b = 0x80; b < 0x100; ++b)
            all.append(char(b)).append('x');
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0x30; trail <= 0xFE; ++trail)
                all.append(char(lead)).append(char(trail));
        all.append("\x82", 1); // ends in a lead byte without its trail
        std::vector<char16_t> out(size_t(all.size()) * 2);
        for (const int fold : {0, 1, 2, 3}) {
            bool amp = false;
            const char16_t* e = FoldedDecoder(fold & 1, fold & 2).decode(all, out.data(), amp);
            QString expected;
            fold_text(decode_cp932(all), expected, fold & 1, fold & 2);
            QCOMPARE(QStringView(out.data(), e - out.data()), QStringView(expected));
            QVERIFY(amp);
        }
    }
};

QTEST_GUILESS_MAIN(TestMatch)
#include "tst_match.moc"
