#include "core/codepage.h"
#include "test_env.h"
#include <QTemporaryDir>
#include <QTest>

class TestCodepage : public QObject {
    Q_OBJECT
private slots:
    void round_trip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii, backslash and tilde stay")
            << QStringLiteral("a\\b~") << QByteArray("a\\b~");
        QTest::newRow("kana with 5C trail byte") << QStringLiteral("ソ表") << QByteArray("\x83\x5c\x95\x5c");
        QTest::newRow("half-width katakana") << QStringLiteral("ｶﾞ") << QByteArray("\xb6\xde");
        QTest::newRow("full-width tilde and backslash")
            << QStringLiteral("～＼") << QByteArray("\x81\x60\x81\x5f");
        QTest::newRow("NEC circled digit and IBM roman") << QStringLiteral("①ⅰ")
                                                          << QByteArray("\x87\x40\xfa\x40");
    }
    void round_trip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encode_cp932(text), bytes);
        QCOMPARE(decode_cp932(bytes), text);
        for (QChar c : text) QVERIFY(cp932_encodable(c.unicode()));
    }

    void no_form_and_bad_bytes() {
        QVERIFY(!cp932_encodable(u'é'));
        QVERIFY(!cp932_encodable(0xD83D));
        QCOMPARE(encode_cp932(QStringLiteral("aé")), QByteArray("a?"));
        // A lead byte without a trail, an unassigned byte: U+FFFD, and the read goes on.
        QCOMPARE(decode_cp932(QByteArray("A\xff" "B\x81")), QStringLiteral("A\uFFFDB\uFFFD"));
    }

    void byte_length() {
        QCOMPARE(cp932_byte_length(u"abc"), 3);
        QCOMPARE(cp932_byte_length(u"ｱ漢"), 3);
        QCOMPARE(cp932_byte_length(u"é"), 1);
    }

    void line_reader_accepts_crlf_and_lf() {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.txt");
        write_bytes(path, QByteArray("one\r\ntwo\n\r\n\x95\x5c"));
        QStringList lines;
        QVERIFY(read_cp932_lines(path, lines));
        QCOMPARE(lines, (QStringList{"one", "two", "", QStringLiteral("表")}));
        QVERIFY(!read_cp932_lines(dir.filePath("missing"), lines));
    }
};

QTEST_GUILESS_MAIN(TestCodepage)
#include "tst_codepage.moc"
