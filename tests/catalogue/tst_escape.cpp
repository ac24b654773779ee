#include "catalogue/escape.h"
#include "core/codepage.h"
#include <QTest>

class TestEscape : public QObject {
    Q_OBJECT
  private slots:
    void escape_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::newRow("code page 932 text unchanged")
            << QStringLiteral("\\DOS\\ﾂｰﾙ 表示, \"q\" &amp; #1")
            << QStringLiteral("\\DOS\\ﾂｰﾙ 表示, \"q\" &amp; #1");
        QTest::newRow("accented letter") << QStringLiteral("café") << QStringLiteral("caf&#233;");
        QTest::newRow("emoji is one code point")
            << QStringLiteral("a\U0001F600b") << QStringLiteral("a&#128512;b");
        QTest::newRow("line breaks") << QStringLiteral("a\r\nb") << QStringLiteral("a&#13;&#10;b");
        QTest::newRow("existing reference keeps its meaning")
            << QStringLiteral("&#233;") << QStringLiteral("&#38;#233;");
        QTest::newRow("ampersand at the end") << QStringLiteral("R&") << QStringLiteral("R&");
        QTest::newRow("ampersand before escaped character")
            << QStringLiteral("&é") << QStringLiteral("&&#233;");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QStringLiteral("&#55296;");
        QTest::newRow("replacement character")
            << QStringLiteral("x\uFFFD") << QStringLiteral("x&#65533;");
    }
    void escape() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const QString e = escape_for_catalogue(text);
        QCOMPARE(e, stored);
        // What is stored survives the code page and comes back whole.
        QCOMPARE(decode_cp932(encode_cp932(e)), e);
        QCOMPARE(unescape_catalogue(decode_cp932(encode_cp932(e))), text);
    }

    void malformed_references_stay_data() {
        const QStringList cases{"&#;",   "&#12",  "&#x41;", "&#1114112;", "&#12345678;",
                                "&#-1;", "a&#b;", "&#",     "&"};
        for (const QString& t : cases)
            QCOMPARE(unescape_catalogue(t), t);
        QCOMPARE(unescape_catalogue(u"&#65;&#1114111;"), QStringLiteral("A\U0010FFFF"));
        QCOMPARE(unescape_catalogue(u"&#0065;"), QStringLiteral("A"));
    }

    void round_trip_of_awkward_text() {
        const QStringList cases{QStringLiteral("&#38;"), QStringLiteral("&&##&#"),
                                QStringLiteral("Ñoño/ü\tx"), QStringLiteral("名前①ⅰ～"),
                                QStringLiteral("\n&#10;\r")};
        for (const QString& t : cases) {
            const QString e = escape_for_catalogue(t);
            for (QChar c : e)
                QVERIFY(cp932_encodable(c.unicode()) && c != u'\r' && c != u'\n');
            QCOMPARE(unescape_catalogue(e), t);
        }
    }
};

QTEST_GUILESS_MAIN(TestEscape)
#include "tst_escape.moc"
