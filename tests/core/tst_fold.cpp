#include "core/fold.h"
#include <QTest>

class TestFold : public QObject {
    Q_OBJECT
  private slots:
    void fold_data() {
        QTest::addColumn<bool>("narrow");
        QTest::addColumn<bool>("lower");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        const auto n = [](const char* name, const QString& in, const QString& out) {
            QTest::newRow(name) << true << false << in << out;
        };
        const auto l = [](const char* name, const QString& in, const QString& out) {
            QTest::newRow(name) << false << true << in << out;
        };
        n("full-width Latin, digits, symbols", u"ＡＢＣｘｙｚ０９！～"_qs, u"ABCxyz09!~"_qs);
        n("full-width backslash stays, yen becomes backslash", u"＼￥"_qs, u"＼\\"_qs);
        n("ideographic space", u"a\u3000b"_qs, u"a b"_qs);
        n("right quotes only", u"\u2018\u2019\u201C\u201D"_qs, u"\u2018'\u201C\""_qs);
        n("CJK punctuation", u"、。「」・ー゛゜"_qs, u"､｡｢｣･ｰﾞﾟ"_qs);
        n("plain katakana", u"ァアッツヲンワロ"_qs, u"ｧｱｯﾂｦﾝﾜﾛ"_qs);
        n("voiced and semi-voiced", u"ガジヅボポ"_qs, u"ｶﾞｼﾞﾂﾞﾎﾞﾎﾟ"_qs);
        n("special voiced letters", u"ヴヷヺヾ"_qs, u"ｳﾞﾜﾞｦﾞヽﾞ"_qs);
        n("no half-width form: stays", u"ヮヰヱヵヶヽがな漢〜―−Ωж"_qs,
          u"ヮヰヱヵヶヽがな漢〜―−Ωж"_qs);
        n("half-width stays", u"ｶﾞabc"_qs, u"ｶﾞabc"_qs);
        l("ASCII", u"DOS/V Abc"_qs, u"dos/v abc"_qs);
        l("Latin, Greek, Cyrillic", u"ÄÉΩЖ"_qs, u"äéωж"_qs);
        l("full-width Latin stays wide", u"ＡＢＣ"_qs, u"ａｂｃ"_qs);
        l("Roman numerals and circled letters", u"ⅣⒶ"_qs, u"ⅳⓐ"_qs);
        l("kana and kanji untouched", u"カナ漢字ｶﾅ"_qs, u"カナ漢字ｶﾅ"_qs);
        // Narrow first, then lower: ＡＢＣ folds to abc only in that order.
        QTest::newRow("both") << true << true << u"ＡＢＣガ"_qs << u"abcｶﾞ"_qs;
        QTest::newRow("both, surrogate pair survives")
            << true << true << QString::fromUcs4(U"\U0001F600A")
            << QString::fromUcs4(U"\U0001F600a");
        QTest::newRow("neither") << false << false << u"ＡbＣ"_qs << u"ＡbＣ"_qs;
    }
    void fold() {
        QFETCH(bool, narrow);
        QFETCH(bool, lower);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QString buf = u"a longer stale buffer"_qs; // reused buffer: old content gone
        fold_text(in, buf, narrow, lower);
        QCOMPARE(buf, out);
        fold_text_append(in, buf, narrow, lower);
        QCOMPARE(buf, out + out);
        if (narrow || lower)
            QCOMPARE(narrow ? (lower ? folded_form(in) : narrow_form(in)) : lower_form(in), out);
    }
};

QTEST_GUILESS_MAIN(TestFold)
#include "tst_fold.moc"
