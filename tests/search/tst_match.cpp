// Match modes, presets, folding and wildcard patterns.
#include "core/codepage.h"
#include "core/fold.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "search/byte_lines.h"
#include "search/folded_decoder.h"
#include "search/match.h"
#include "search/read_data.h"
#include "search/wildcard.h"
#include "test_env.h"
#include <QTemporaryDir>
#include <QTest>

namespace {
bool matches(const QStringList& words, int preset, const QString& text, SearchOptions o = {}) {
    for (int k = 1; k <= 3; ++k)
        G.SearchWords(k) = words.value(k - 1);
    check_match_status(preset, o);
    int16_t n = -1;
    check_match(text, n);
    return n == 1;
}
} // namespace

class TestMatch : public QObject {
    Q_OBJECT
  private slots:
    void init() { fresh_state(); }

    void modes_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("preset");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("match");
        const QStringList abc{"a", "b", "c"};
        // " [1] and ([2]   or [3])" is ([3] or [2]) and [1].
        QTest::newRow("preset 6: a and c") << abc << 6 << "xaxc" << true;
        QTest::newRow("preset 6: b and c, no a") << abc << 6 << "xbxc" << false;
        QTest::newRow("preset 6: a and b") << abc << 6 << "ab" << true;
        // " [1]  or ([2]  and [3])" is ([3] and [2]) or [1].
        QTest::newRow("preset 5: only a") << abc << 5 << "xax" << true;
        QTest::newRow("preset 5: only b") << abc << 5 << "xbx" << false;
        QTest::newRow("preset 5: b and c") << abc << 5 << "bc" << true;
        QTest::newRow("preset 3: (a or b) and c") << abc << 3 << "bc" << true;
        QTest::newRow("preset 3: a and b, no c") << abc << 3 << "ab" << false;
        QTest::newRow("preset 4: (a and b) or c") << abc << 4 << "c" << true;
        QTest::newRow("preset 4: only a") << abc << 4 << "a" << false;
        QTest::newRow("preset 1: any") << abc << 1 << "zzc" << true;
        QTest::newRow("preset 2: all") << abc << 2 << "cab" << true;
        QTest::newRow("preset 2: two of three") << abc << 2 << "ca" << false;
        QTest::newRow("[1] and [3] filled, or") << QStringList{"a", "", "c"} << 1 << "c" << true;
        QTest::newRow("[1] and [3] filled, and") << QStringList{"a", "", "c"} << 2 << "c" << false;
        QTest::newRow("[1] and [3] filled, and, both")
            << QStringList{"a", "", "c"} << 2 << "ac" << true;
        QTest::newRow("one word in [2]") << QStringList{"", "b", ""} << 1 << "abc" << true;
        QTest::newRow("nothing filled never matches")
            << QStringList{"", "", ""} << 1 << "abc" << false;
        QTest::newRow("a blank is a word") << QStringList{" ", "", ""} << 1 << "a b" << true;
        QTest::newRow("empty text never matches") << QStringList{"a", "", ""} << 1 << "" << false;
    }
    void modes() {
        QFETCH(QStringList, words);
        QFETCH(int, preset);
        QFETCH(QString, text);
        QFETCH(bool, match);
        QCOMPARE(matches(words, preset, text), match);
    }

    void words_in_pattern_order() {
        for (int k = 1; k <= 3; ++k)
            G.SearchWords(k) = QString(QChar(u'a' + k - 1));
        check_match_status(5, {});
        QCOMPARE(G.MatchMode, int16_t(7));
        QCOMPARE(G.MatchWord1, QStringLiteral("c"));
        QCOMPARE(G.MatchWord3, QStringLiteral("a"));
        G.SearchWords(2).clear();
        check_match_status(1, {});
        QCOMPARE(G.MatchMode, int16_t(2));
        QCOMPARE(G.MatchWord2, QStringLiteral("c"));
        QCOMPARE(G.MatchWord3, QString());
    }

    void folding_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("foldCase");
        QTest::addColumn<bool>("foldWidth");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("match");
        QTest::newRow("DOS finds dos/v, case folded") << "DOS" << true << false << "dos/v" << true;
        QTest::newRow("DOS misses dos/v, case kept") << "DOS" << false << false << "dos/v" << false;
        QTest::newRow("ＡＢＣ finds abc, both folded")
            << u"ＡＢＣ"_qs << true << true << "abc" << true;
        QTest::newRow("ＡＢＣ finds ABC, width only")
            << u"ＡＢＣ"_qs << false << true << "ABC" << true;
        QTest::newRow("ＡＢＣ misses abc, width only")
            << u"ＡＢＣ"_qs << false << true << "abc" << false;
        QTest::newRow("ＡＢＣ misses ABC, width kept")
            << u"ＡＢＣ"_qs << true << false << "ABC" << false;
        QTest::newRow("ガ finds ｶﾞ") << u"ガ"_qs << true << true << u"ｶﾞｲﾄﾞ"_qs << true;
        QTest::newRow("ｶﾞ finds ガ") << u"ｶﾞ"_qs << true << true << u"ガイド"_qs << true;
        QTest::newRow("ガ misses ｶﾞ, width kept") << u"ガ"_qs << true << false << u"ｶﾞ"_qs << false;
    }
    void folding() {
        QFETCH(QString, word);
        QFETCH(bool, foldCase);
        QFETCH(bool, foldWidth);
        QFETCH(QString, text);
        QFETCH(bool, match);
        SearchOptions o;
        o.foldCase = foldCase;
        o.foldWidth = foldWidth;
        QCOMPARE(matches({word}, 1, text, o), match);
    }

    void wildcard_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("match");
        QTest::newRow("whole text only") << "abc"
                                         << "abc" << true;
        QTest::newRow("no implied stars") << "abc"
                                          << "xabcx" << false;
        QTest::newRow("stars around") << "*abc*"
                                      << "xabcx" << true;
        QTest::newRow("literal star first") << "[*]*"
                                            << "*dos" << true;
        QTest::newRow("literal star, other text") << "[*]*"
                                                  << "dos*" << false;
        QTest::newRow("question mark one char") << "a?c"
                                                << "abc" << true;
        QTest::newRow("question mark not zero") << "a?c"
                                                << "ac" << false;
        QTest::newRow("hash a digit") << "v#"
                                      << "v3" << true;
        QTest::newRow("hash not a letter") << "v#"
                                           << "vx" << false;
        QTest::newRow("range") << "[a-c]x"
                               << "bx" << true;
        QTest::newRow("negated range") << "[!a-c]x"
                                       << "bx" << false;
        QTest::newRow("negated list") << "[!a-c]x"
                                      << "dx" << true;
        QTest::newRow("dash last is literal") << "[a-]"
                                              << "-" << true;
        QTest::newRow("stars and tail") << "*a*b"
                                        << "xxaxxbxb" << true;
        QTest::newRow("folded pattern") << u"＊ＤＯＳ＊"_qs << "msdos6" << true;
    }
    void wildcard() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, match);
        SearchOptions o;
        o.wildcard = true;
        QCOMPARE(matches({pattern}, 1, text, o), match);
    }

    void invalid_patterns() {
        QVERIFY(!WildcardPattern(u"[abc").valid());
        QVERIFY(!WildcardPattern(u"[z-a]").valid());
        QVERIFY(WildcardPattern(u"[a-z]").valid());
        SearchOptions o;
        o.wildcard = true;
        G.SearchWords(1) = QStringLiteral("[abc");
        check_match_status(1, o);
        int16_t n = 0;
        QVERIFY_THROWS_EXCEPTION(ScanFailure, check_match(QStringLiteral("abc"), n));
        // An empty text is never tested, so the bad pattern is not met.
        check_match(QString(), n);
        QCOMPARE(n, int16_t(0));
        // Or-mode stops at the first word satisfied: an invalid second word is not met.
        G.SearchWords(2) = QStringLiteral("[x");
        G.SearchWords(1) = QStringLiteral("a*");
        check_match_status(1, o);
        check_match(QStringLiteral("abc"), n);
        QCOMPARE(n, int16_t(1));
    }

    void wildcard_never_backtracks_exponentially() {
        const WildcardPattern p(u"*a*a*a*a*a*a*a*a*b");
        const QString as(20000, u'a');
        QVERIFY(!p.matches(as));
        QVERIFY(p.matches(as + u'b'));
    }

    void data_change_undoes_memo_escape_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << "first$RET$$LF$second"
                               << "first\r\nsecond";
        QTest::newRow("RET alone") << "$RET$"
                                   << "\r";
        QTest::newRow("token glued to text") << "$RET$RET$"
                                             << "\rRET$";
        QTest::newRow("nothing to undo") << "plain $ text"
                                         << "plain $ text";
    }
    void data_change_undoes_memo_escape() {
        QFETCH(QString, stored);
        QFETCH(QString, text);
        data_change(stored, 1);
        data_change(stored, 2);
        QCOMPARE(stored, text);
        QString other = QStringLiteral("$RET$");
        data_change(other, 3);
        QCOMPARE(other, QStringLiteral("$RET$"));
    }

    void data_change_on_a_huge_memo() {
        QString memo = QStringLiteral("$RET$").repeated(100000);
        data_change(memo, 1);
        QCOMPARE(memo, QString(100000, u'\r'));
    }

    // The scan's fused decoder must give exactly fold(decode(bytes)) for every code.
    void fused_decoder_matches_codec_and_folding() {
        QByteArray all("a&Z\\\x82", 5); // ends in a lead byte without its trail
        for (int b = 0x80; b < 0x100; ++b)
            all.append(char(b)).append('x');
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0x30; trail <= 0xFE; ++trail)
                all.append(char(lead)).append(char(trail));
        all.append("\x82", 1);
        for (const bool narrow : {false, true})
            for (const bool lower : {false, true}) {
                const FoldedDecoder d(narrow, lower);
                std::vector<char16_t> out(size_t(all.size()) * 2);
                bool amp = false;
                char16_t* e = d.decode(all, out.data(), amp);
                QString expected;
                fold_text(decode_cp932(all), expected, narrow, lower);
                QCOMPARE(QStringView(out.data(), e - out.data()), QStringView(expected));
                QVERIFY(amp);
            }
    }

    // Lines cross the reader's chunk boundaries; CR LF and LF mixed; no final break.
    void byte_lines_across_chunks() {
        QTemporaryDir dir;
        QByteArray bytes;
        QList<QByteArray> lines;
        for (int i = 0; i < 60000; ++i) {
            const QByteArray l = QByteArray::number(i) + ',' + QByteArray(i % 37, 'x');
            lines.append(l);
            bytes += l + (i % 3 ? "\r\n" : "\n");
        }
        lines.append("last\r");
        bytes += "last\r\r";
        write_bytes(dir.filePath("f"), bytes);
        ByteLineReader r;
        QVERIFY(r.open(dir.filePath("f")));
        QByteArrayView v;
        int n = 0;
        while (r.next(v)) {
            QCOMPARE(v.toByteArray(), lines.value(n));
            ++n;
        }
        QCOMPARE(n, lines.size());
        QVERIFY(!r.failed());
        QVERIFY(!r.open(dir.filePath("missing")));
    }

    void parent_numbers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("12") << true << 12;
        QTest::newRow("leading blanks") << QByteArray("  7") << true << 7;
        QTest::newRow("stops at a non-digit") << QByteArray("3x") << true << 3;
        QTest::newRow("no digits") << QByteArray("x") << true << 0;
        QTest::newRow("negative") << QByteArray("-2") << true << -2;
        QTest::newRow("largest") << QByteArray("32767") << true << 32767;
        QTest::newRow("too large") << QByteArray("32768") << false << 0;
        QTest::newRow("far too large") << QByteArray("99999999999999999999") << false << 0;
    }
    void parent_numbers() {
        QFETCH(QByteArray, text);
        QFETCH(bool, fits);
        QFETCH(int, value);
        int v = 0;
        QCOMPARE(parse_parent_number(text, v), fits);
        if (fits) QCOMPARE(v, value);
    }
};

QTEST_GUILESS_MAIN(TestMatch)
#include "tst_match.moc"
