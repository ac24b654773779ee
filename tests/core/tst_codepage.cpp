#include "core/codepage.h"
#include "test_env.h"
#include <QTemporaryDir>
#include <QTest>

class TestCodepage : public QObject {
    Q_OBJECT
  private slots:
    // bytes empty: the text has no code-page-932 form (encodes as "?" per character).
    void round_trip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii, backslash and tilde stay") << u"a\\b~"_qs << QByteArray("a\\b~");
        QTest::newRow("kana with 5C trail byte") << u"ソ表"_qs << QByteArray("\x83\x5c\x95\x5c");
        QTest::newRow("half-width katakana") << u"ｶﾞ"_qs << QByteArray("\xb6\xde");
        QTest::newRow("full-width tilde, backslash")
            << u"～＼"_qs << QByteArray("\x81\x60\x81\x5f");
        QTest::newRow("NEC circled digit, IBM roman") << u"①ⅰ"_qs << QByteArray("\x87\x40\xfa\x40");
        QTest::newRow("no form: accented letter") << u"é"_qs << QByteArray();
    }
    void round_trip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const bool encodable = !bytes.isEmpty();
        if (!encodable) bytes = QByteArray(text.size(), '?');
        QCOMPARE(encode_cp932(text), bytes);
        QCOMPARE(cp932_byte_length(text), bytes.size());
        if (encodable) QCOMPARE(decode_cp932(bytes), text);
        for (QChar c : text)
            QCOMPARE(cp932_encodable(c.unicode()), encodable);
    }

    void bad_bytes_never_stop_a_read() {
        // A lead byte without a trail, an unassigned byte: U+FFFD, and the read goes on.
        QCOMPARE(decode_cp932(QByteArray("A\xff"
                                         "B\x81")),
                 QStringLiteral("A\uFFFDB\uFFFD"));
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
