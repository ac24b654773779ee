// SPDX-License-Identifier: GPL-3.0-or-later
// The code page 932 codec and the two foldings that matching and sorting share.
#include "core/codepage.h"
#include "core/fold.h"
#include "core/gen/cp932_platform.h"
#include "core/text_file.h"
#include "test_env.h"
#include <QTemporaryDir>
#include <QTest>

class TestText : public QObject {
    Q_OBJECT
  private slots:
    // bytes empty: the text has no code-page-932 form (encodes as "?" per character).
    // The tables built into the program are the converter's, for every byte, every byte
    // pair and every character (but the characters written as Windows writes them).
    void tables_are_the_converters() {
        const auto p = cp932_platform::build();
        std::array<int, 65536> first;
        first.fill(-1);
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            if (cp932_platform::is_lead(b)) continue;
            QCOMPARE(decode_cp932(QByteArrayView(&c, 1)), QString(QChar(p->single[b])));
            if (p->single[b] != cp932_platform::Invalid && first[p->single[b]] < 0)
                first[p->single[b]] = b;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead)
            for (int trail = 0; trail < 256; ++trail) {
                if (!cp932_platform::is_lead(lead)) break;
                const char bytes[2] = {char(lead), char(trail)};
                const QString d = decode_cp932(QByteArrayView(bytes, 2));
                const bool pair = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
                QCOMPARE(d.at(0), QChar(pair ? p->pair[lead][trail] : cp932_platform::Invalid));
                const char16_t u = p->pair[lead][trail];
                if (pair && u != cp932_platform::Invalid && first[u] < 0)
                    first[u] = lead << 8 | trail;
            }
        for (const auto& [ch, bytes] : p->chosen)
            first[ch] = bytes;
        const QList<char16_t> windows{0x301C, 0x2212, 0x2016, 0x00A2, 0x00A3, 0x00AC, 0x2014};
        for (int u = 0; u < 65536; ++u) {
            if (windows.contains(char16_t(u))) continue;
            const char16_t c = char16_t(u);
            QCOMPARE(cp932_encodable(c), first[u] >= 0);
            if (first[u] < 0) continue;
            QByteArray want;
            if (first[u] > 0xFF) want.append(char(first[u] >> 8));
            want.append(char(first[u] & 0xFF));
            QCOMPARE(encode_cp932(QStringView(&c, 1)), want);
        }
    }

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

    // A name as the disk spells it and as the program holds it.
    void disk_names_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("text");
        const QChar bs(NameBackslash);
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 ソフト") << u"café ソフト"_qs;
        QTest::newRow("cp932 kanji with 5C trail bytes")
            << QByteArray("\x83\x5c\x83\x74\x83\x67\x95\x5c") << u"ソフト表"_qs;
        QTest::newRow("cp932 half-width katakana") << QByteArray("\xb1\xb2") << u"ｱｲ"_qs;
        QTest::newRow("backslash inside a UTF-8 name")
            << QByteArray("a\\b") << QString(u"a"_qs + bs + u"b"_qs);
        QTest::newRow("backslash after a cp932 kana")
            << QByteArray("\x83\x5c\\") << QString(u"ソ"_qs + bs);
        QTest::newRow("neither: an unassigned byte")
            << QByteArray("x\xff") << QString(u"x"_qs + QString(QChar(0xDCFF)));
        QTest::newRow("neither: a lead byte without its trail")
            << QByteArray("\x81") << QString(QChar(0xDC81));
        QTest::newRow("neither: UTF-8 runs stay text")
            << QByteArray("\xc3\xa9\xff") << QString(u"é"_qs + QChar(0xDCFF));
        QTest::newRow("neither: an encoded surrogate is three bytes")
            << QByteArray("\xed\xb3\xbf") << QString(QChar(0xDCED)) + QChar(0xDCB3) + QChar(0xDCBF);
    }
    void disk_names() {
        QFETCH(QByteArray, raw);
        QFETCH(QString, text);
        QCOMPARE(disk_name_text(raw), text);
        QVERIFY(disk_name_matches(raw, text));
        // Only cp932 names need their bytes kept beside the text.
        if (utf8_valid(raw) || disk_name_text(raw, false) == text)
            QCOMPARE(disk_name_bytes(text), raw);
        else
            QCOMPARE(encode_cp932(QString(text).replace(QChar(NameBackslash), u'\\')), raw);
    }

    void bad_bytes_never_stop_a_read() {
        // A lead byte without a trail, an unassigned byte: U+FFFD, and the read goes on.
        QCOMPARE(decode_cp932(QByteArray("A\xff_\x81")), QStringLiteral("A\uFFFD_\uFFFD"));
        QTemporaryDir dir;
        const QString path = dir.filePath("t.txt");
        write_bytes(path, QByteArray("one\r\ntwo\n\r\n\x95\x5c"));
        QStringList lines;
        QVERIFY(read_text_lines(path, lines));
        QCOMPARE(lines, (QStringList{"one", "two", "", QStringLiteral("表")}));
        QVERIFY(!read_text_lines(dir.filePath("missing"), lines));
        // The longest line a text file may hold is read; one byte more fails the read.
        write_bytes(path, QByteArray(MaxTextLineBytes, 'x') + "\r\n");
        QVERIFY(read_text_lines(path, lines) && lines.size() == 1);
        write_bytes(path, QByteArray(MaxTextLineBytes + 1, 'x') + "\r\n");
        QVERIFY(!read_text_lines(path, lines));
    }

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
        l("A and Z fold, their neighbours do not", u"@AZ[`az{"_qs, u"@az[`az{"_qs);
        l("full-width A and Z fold, their neighbours do not", u"＠ＡＺ［｀ａｚ｛"_qs,
          u"＠ａｚ［｀ａｚ｛"_qs);
        n("full-width A, Z, a, z and their neighbours narrow", u"＠ＡＺ［｀ａｚ｛"_qs,
          u"@AZ[`az{"_qs);
        QTest::newRow("both: every form of A and z")
            << true << true << u"AＡaａZＺzｚ"_qs << u"aaaazzzz"_qs;
        l("Latin, Greek, Cyrillic", u"ÄÉΩЖ"_qs, u"äéωж"_qs);
        l("full-width Latin stays wide", u"ＡＢＣ"_qs, u"ａｂｃ"_qs);
        l("Roman numerals and circled letters", u"ⅣⒶ"_qs, u"ⅳⓐ"_qs);
        l("kana and kanji untouched", u"カナ漢字ｶﾅ"_qs, u"カナ漢字ｶﾅ"_qs);
        QTest::newRow("both, surrogate pair survives")
            << true << true << u"\U0001F600Ａ"_qs << u"\U0001F600a"_qs;
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
        QCOMPARE(narrow ? (lower ? lower_form(narrow_form(in)) : narrow_form(in)) : lower_form(in),
                 out);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
