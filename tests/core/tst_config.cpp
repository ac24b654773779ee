#include "core/config.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

template <class List> static QString joined(const List& list, int count) {
    QStringList l;
    for (int i = 1; i <= count; ++i)
        l << list(i);
    return QString::number(count) + u':' + l.join(u'|');
}

class TestConfig : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString cfg() const { return dir.filePath("tobrin.cfg"); }

    void prepare() {
        fresh_state();
        G.CfgFilePath = cfg();
        QFile::remove(cfg());
    }

  private slots:
    void parse_line_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("hash takes the rest") << "#01:mydata.dat" << 1 << "mydata.dat";
        QTest::newRow("percent takes one character") << "%01:mydata.dat" << 1 << "m";
        QTest::newRow("dollar pads to twelve") << "$01:mydata.dat" << 1 << "mydata.dat  ";
        QTest::newRow("dollar cuts at twelve") << "$01:abcdefghijklmnop" << 1 << "abcdefghijkl";
        QTest::newRow("other prefix: key counts, value empty") << "X04:Gothic" << 4 << "";
        QTest::newRow("colon not at position 4") << "#5:12" << 0 << "";
        QTest::newRow("too short") << "#05:" << 0 << "";
        QTest::newRow("key zero") << "#00:x" << 0 << "";
        QTest::newRow("double-byte value counts characters") << "%04:ＭＳ" << 4 << "Ｍ";
    }
    void parse_line() {
        QFETCH(QString, line);
        QFETCH(int, key);
        QFETCH(QString, value);
        QString v = QStringLiteral("junk");
        int16_t k = 99;
        parse_config_line(line, v, k);
        QCOMPARE(int(k), key);
        QCOMPARE(v, value);
    }

    void number_conversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("leading blanks, trailing letters") << "   12abc" << true << 12;
        QTest::newRow("not a number") << "abc" << true << 0;
        QTest::newRow("half to even, down") << "10.5" << true << 10;
        QTest::newRow("half to even, up") << "11.5" << true << 12;
        QTest::newRow("negative half") << "-2.5" << true << -2;
        QTest::newRow("exponent") << "1e3" << true << 1000;
        QTest::newRow("16-bit top") << "32767" << true << 32767;
        QTest::newRow("16-bit bottom") << "-32768" << true << -32768;
        QTest::newRow("16-bit overflow") << "32768" << false << 0;
        QTest::newRow("rounds into overflow") << "32767.5" << false << 0;
        QTest::newRow("huge") << "1e300" << false << 0;
    }
    void number_conversion() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int32_t out = -999;
        QCOMPARE(config_number(text, -32768, 32767, out), ok);
        if (ok) QCOMPARE(out, value);
    }

    // Message 071; what was applied before the bad line stays, nothing after it is read.
    void bad_line_stops_reading_data() {
        QTest::addColumn<QStringList>("bad");
        QTest::newRow("header field not a number") << QStringList{"#20:x"};
        QTest::newRow("header field empty") << QStringList{"X21:1"};
        QTest::newRow("font size beyond 16 bits") << QStringList{"#05:40000"};
        QTest::newRow("capacity beyond 32 bits") << QStringList{"#60:3000000000"};
        QStringList titles;
        for (int i = 1; i <= 32768; ++i)
            titles << QStringLiteral("#51:T%1").arg(i);
        QTest::newRow("list longer than a 16-bit count") << titles;
    }
    void bad_line_stops_reading() {
        QFETCH(QStringList, bad);
        prepare();
        write_cp932_file(cfg(), QStringList{"#01:before.dat", "#60:500"} + bad +
                                    QStringList{"#01:after.dat", "#05:12"});
        ScriptedSeam seam;
        seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(seam.shown.first().text,
                 "環境設定ファイル[" + cfg() +
                     "]を読み込むことができません。(071)\r\n\r\nデフォルト値で動作します。");
        QCOMPARE(G.DataFileName, QStringLiteral("before.dat"));
        QCOMPARE(G.FontSize, int16_t(10));
        // The tables are sized with the capacities as they stand.
        QCOMPARE(G.DirPaths.size(), 500);
        QCOMPARE(G.EntryNames.size(), 2000);
        if (bad.size() > 1) QCOMPARE(G.MagazineTitles(32767), QStringLiteral("T32767"));
    }

    void lf_lines_and_undecodable_bytes_are_read() {
        prepare();
        write_bytes(cfg(), QByteArray("#04:\xff\x82\xa0\n#05:11\n#06:7"));
        ScriptedSeam seam;
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.FontName, QStringLiteral("\uFFFDあ"));
        QCOMPARE(G.FontSize, int16_t(11));
        QCOMPARE(G.SmallFontSize, int16_t(7));
    }

    // The built-in lists, as the header entry screen offers them without a configuration.
    void preset_lists() {
        fresh_state();
        set_preset_lists(QDate(2026, 10, 31));
        QCOMPARE(G.MagazineTitles(1) + u'/' + G.MagazinePublishers(1),
                 u"DOS/V magazine/ソフトバンク"_qs);
        QCOMPARE(G.MagazinePublishers(5), QStringLiteral("IDGｺﾐｭﾆｹｰｼｮﾝｽﾞ"));
        QCOMPARE(G.MagazineTitles(13), G.MagazineTitles(13).toUpper());
        QCOMPARE(G.MagazineTitles(19) + u'/' + G.MagazinePublishers(19),
                 u"FDD DRIVE A:/Directory Backup"_qs);
        QCOMPARE(joined(G.PublisherNames, G.PublisherCount),
                 QStringLiteral("9:アスキー|ソフトバンク|インプレス|IDGｺﾐｭﾆｹｰｼｮﾝｽﾞ|日経BP|翔泳社|"
                                "学習研究社|HDD Directory|FDD Directory"));
        QCOMPARE(joined(G.MonthNames, G.MonthCount), u"12:1|2|3|4|5|6|7|8|9|10|11|12"_qs);
        QCOMPARE(joined(G.HeaderLabelCaptions, G.HeaderLabelCount), u"4:|||"_qs);
        QCOMPARE(joined(G.YearNames, G.YearCount),
                 u"10:2026|2025|2024|2023|2022|2021|2020|2019|2018|2017"_qs);
        // From November on, the list starts with the next year.
        set_preset_lists(QDate(2026, 11, 1));
        QCOMPARE(G.YearNames(1) + u'-' + G.YearNames(10), u"2027-2018"_qs);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
