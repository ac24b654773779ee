#include "core/fold.h"
#include <QTest>

class TestFold : public QObject {
    Q_OBJECT
  private slots:
    void narrow_data() {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("full-width Latin, digits, symbols")
            << u"ＡＢＣｘｙｚ０９！～"_qs << u"ABCxyz09!~"_qs;
        QTest::newRow("full-width backslash stays, yen becomes backslash")
            << u"＼￥"_qs << u"＼\\"_qs;
        QTest::newRow("ideographic space") << u"a\u3000b"_qs << u"a b"_qs;
        QTest::newRow("right quotes only")
            << u"\u2018\u2019\u201C\u201D"_qs << u"\u2018'\u201C\""_qs;
        QTest::newRow("CJK punctuation") << u"、。「」・ー゛゜"_qs << u"､｡｢｣･ｰﾞﾟ"_qs;
        QTest::newRow("plain katakana") << u"ァアッツヲンワロ"_qs << u"ｧｱｯﾂｦﾝﾜﾛ"_qs;
        QTest::newRow("voiced and semi-voiced") << u"ガジヅボポ"_qs << u"ｶﾞｼﾞﾂﾞﾎﾞﾎﾟ"_qs;
        QTest::newRow("special voiced letters") << u"ヴヷヺヾ"_qs << u"ｳﾞﾜﾞｦﾞヽﾞ"_qs;
        QTest::newRow("letters without half-width form stay")
            << u"ヮヰヱヵヶヽ"_qs << u"ヮヰヱヵヶヽ"_qs;
        QTest::newRow("hiragana, kanji, wave dash, dashes, Greek stay")
            << u"がな漢〜―−Ωж"_qs << u"がな漢〜―−Ωж"_qs;
        QTest::newRow("half-width stays") << u"ｶﾞabc"_qs << u"ｶﾞabc"_qs;
        QTest::newRow("empty") << QString() << QString();
    }
    void narrow() {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(narrow_form(in), out);
    }

    void lower_data() {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("ASCII") << u"DOS/V Abc"_qs << u"dos/v abc"_qs;
        QTest::newRow("Latin, Greek, Cyrillic") << u"ÄÉΩЖ"_qs << u"äéωж"_qs;
        QTest::newRow("full-width Latin stays wide") << u"ＡＢＣ"_qs << u"ａｂｃ"_qs;
        QTest::newRow("Roman numerals and circled letters") << u"ⅣⒶ"_qs << u"ⅳⓐ"_qs;
        QTest::newRow("kana and kanji untouched") << u"カナ漢字ｶﾅ"_qs << u"カナ漢字ｶﾅ"_qs;
    }
    void lower() {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(lower_form(in), out);
    }

    // Narrow first, then lower: ＡＢＣ folds to abc only in that order.
    void narrow_then_lower() {
        QCOMPARE(folded_form(u"ＡＢＣガ"), u"abcｶﾞ"_qs);
        QString buf;
        fold_text(u"ＤＯＳ", buf, true, false);
        QCOMPARE(buf, u"DOS"_qs);
        fold_text(u"x", buf, true, true); // reused buffer: old content gone
        QCOMPARE(buf, u"x"_qs);
        fold_text(u"Ab", buf, false, false);
        QCOMPARE(buf, u"Ab"_qs);
        fold_text_append(u"ＣＤ", buf, true, true);
        QCOMPARE(buf, u"Abcd"_qs);
    }

    void surrogates_survive() {
        const QString s = QString::fromUcs4(U"\U0001F600A");
        QCOMPARE(folded_form(s), QString::fromUcs4(U"\U0001F600a"));
    }

    void full_width_numbers() {
        QCOMPARE(full_width_number(200), u"２００"_qs);
        QCOMPARE(full_width_number(19999), u"１９９９９"_qs);
        QCOMPARE(full_width_number(0), u"０"_qs);
    }
};

QTEST_GUILESS_MAIN(TestFold)
#include "tst_fold.moc"
