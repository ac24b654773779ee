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
    // The tables built into the program are the converter's, for every byte, every byte
    // pair and every character (but those written as Windows writes them).
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
        // Characters typed on Linux where Windows has another: the bytes Windows writes
        // (〜 − ‖ ¢ £ ¬ —), so that a search with them finds the stored forms.
        const QList<std::pair<int, int>> windows{
            {0x301C, 0x8160}, {0x2212, 0x817C}, {0x2016, 0x8161}, {0x00A2, 0x8191},
            {0x00A3, 0x8192}, {0x00AC, 0x81CA}, {0x2014, 0x815C}};
        for (const auto& [ch, bytes] : windows)
            first[ch] = bytes;
        for (int u = 0; u < 65536; ++u) {
            const char16_t c = char16_t(u);
            QCOMPARE(cp932_encodable(c), first[u] >= 0);
            if (first[u] < 0) continue;
            QByteArray want;
            if (first[u] > 0xFF) want.append(char(first[u] >> 8));
            want.append(char(first[u] & 0xFF));
            QCOMPARE(encode_cp932(QStringView(&c, 1)), want);
        }
    }

    // A name as the disk spells it and as the program holds it.
    void disk_names_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("text");
        const QChar bs(NameBackslash);
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 ソフト") << u"café ソフト"_qs;
        QTest::newRow("cp932 kanji with 5C trail bytes")
            << QByteArray("\x83\x5c\x83\x74\x83\x67\x95\x5c") << u"ソフト表"_qs;
        QTest::newRow("backslash inside a UTF-8 name")
            << QByteArray("a\\b") << QString(u"a"_qs + bs + u"b"_qs);
        QTest::newRow("backslash after a cp932 kana")
            << QByteArray("\x83\x5c\\") << QString(u"ソ"_qs + bs);
        QTest::newRow("neither: an unassigned byte")
            << QByteArray("x\xff") << QString(u"x"_qs + QString(QChar(0xDCFF)));
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

    // Texts: 5C trail bytes stay inside their characters, backslash and tilde are ASCII, a
    // character without a form is "?"; bad bytes are U+FFFD and never stop a read.
    void texts_and_text_files() {
        const QString text = u"a\\b~ソ表～＼é"_qs;
        const QByteArray bytes("a\\b~\x83\x5c\x95\x5c\x81\x60\x81\x5f?");
        QCOMPARE(encode_cp932(text), bytes);
        QCOMPARE(cp932_byte_length(text), bytes.size());
        QCOMPARE(decode_cp932(bytes.chopped(1)), text.chopped(1));
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

    // how: "n" narrows, "l" lowers, "nl" both.
    void fold_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        const auto row = [](const char* how, const char* name, const QString& in,
                            const QString& out) {
            QTest::newRow(name) << QString(how) << in << out;
        };
        row("n", "full-width Latin, digits, symbols, neighbours of A and z",
            u"ＡＢＣｘｙｚ０９！～＠ＡＺ［｀ａｚ｛"_qs, u"ABCxyz09!~@AZ[`az{"_qs);
        row("n", "spaces, right quotes; full-width backslash stays, yen becomes one",
            u"a\u3000b\u2018\u2019\u201C\u201D＼￥"_qs, u"a b\u2018'\u201C\"＼\\"_qs);
        row("n", "CJK punctuation, plain katakana", u"、。「」・ー゛゜ァアッツヲンワロ"_qs,
            u"､｡｢｣･ｰﾞﾟｧｱｯﾂｦﾝﾜﾛ"_qs);
        row("n", "voiced and semi-voiced", u"ガジヅボポヴヷヺヾ"_qs, u"ｶﾞｼﾞﾂﾞﾎﾞﾎﾟｳﾞﾜﾞｦﾞヽﾞ"_qs);
        row("n", "no half-width form, or one already: stays", u"ヮヰヱヵヶヽがな漢〜―−ΩжｶﾞA"_qs,
            u"ヮヰヱヵヶヽがな漢〜―−ΩжｶﾞA"_qs);
        row("l", "A and Z fold, their neighbours do not; full-width stays wide",
            u"@AZ[`az{＠ＡＺ［｀ａｚ｛"_qs, u"@az[`az{＠ａｚ［｀ａｚ｛"_qs);
        row("l", "Latin, Greek, Cyrillic, Roman numerals, circled; kana and kanji untouched",
            u"ÄÉΩЖⅣⒶカナ漢字ｶﾅ"_qs, u"äéωжⅳⓐカナ漢字ｶﾅ"_qs);
        row("nl", "every form of A and z; a surrogate pair survives", u"AＡaａZＺzｚ\U0001F600"_qs,
            u"aaaazzzz\U0001F600"_qs);
    }
    void fold() {
        QFETCH(QString, how);
        QFETCH(QString, in);
        QFETCH(QString, out);
        const bool narrow = how.contains(u'n'), lower = how.contains(u'l');
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
