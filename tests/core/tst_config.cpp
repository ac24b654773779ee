#include "core/config.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Checks are written as "Name=value" against a few readable views of the state.
static QString view(const QString& name) {
    if (name == u"DataFileName") return G.DataFileName;
    if (name == u"DataDir") return G.DataDir;
    if (name == u"BackupDir") return G.BackupDir;
    if (name == u"CurrentDrive") return G.CurrentDrive;
    if (name == u"FontName") return G.FontName;
    if (name == u"FontSize") return QString::number(G.FontSize);
    if (name == u"SmallFontSize") return QString::number(G.SmallFontSize);
    if (name == u"BeepEnabled") return QString::number(G.BeepEnabled);
    if (name == u"BackupMode") return QString::number(G.BackupMode);
    if (name == u"MaxDirCount") return QString::number(G.MaxDirCount);
    if (name == u"MaxEntryCount") return QString::number(G.MaxEntryCount);
    if (name == u"MaxHeaderBlocks") return QString::number(G.MaxHeaderBlocks);
    if (name == u"MaxResultLines") return QString::number(G.MaxResultLines);
    if (name == u"Fields") {
        QString s;
        for (int k = 1; k <= 10; ++k)
            s += QString::number(G.HeaderFieldSearched(k));
        return s;
    }
    if (name == u"Captions") {
        QStringList l;
        for (int i = 1; i <= G.HeaderLabelCount; ++i)
            l << G.HeaderLabelCaptions(i);
        return l.join(u'|');
    }
    if (name == u"Titles") {
        QStringList l;
        for (int i = 1; i <= G.MagazineCount; ++i)
            l << G.MagazineTitles(i) + u'/' + G.MagazinePublishers(i);
        return QString::number(G.MagazineCount) + u':' + l.join(u'|');
    }
    if (name == u"Publishers") {
        QStringList l;
        for (int i = 1; i <= G.PublisherCount; ++i)
            l << G.PublisherNames(i);
        return QString::number(G.PublisherCount) + u':' + l.join(u'|');
    }
    if (name == u"Months") {
        QStringList l;
        for (int i = 1; i <= G.MonthCount; ++i)
            l << G.MonthNames(i);
        return QString::number(G.MonthCount) + u':' + l.join(u'|');
    }
    return QStringLiteral("?unknown ") + name;
}

class TestConfig : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString cfg() const { return dir.filePath("tobrin.cfg"); }

    void prepare() {
        fresh_state();
        G.DriveLetters = QStringLiteral("acdq");
        G.CurrentDrive = QStringLiteral("c");
        set_preset_lists(QDate(2026, 6, 1));
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
        QTest::newRow("negative key") << "#-1:x" << 0 << "";
        QTest::newRow("comment") << "; font size" << 0 << "";
        QTest::newRow("blank before key digit") << "# 5:9" << 5 << "9";
        QTest::newRow("digit then letter") << "#4x:abc" << 4 << "abc";
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
        QTest::newRow("plain") << "12" << true << 12;
        QTest::newRow("leading blanks") << "   7" << true << 7;
        QTest::newRow("trailing letters") << "12abc" << true << 12;
        QTest::newRow("empty") << "" << true << 0;
        QTest::newRow("not a number") << "abc" << true << 0;
        QTest::newRow("half to even, down") << "10.5" << true << 10;
        QTest::newRow("half to even, up") << "11.5" << true << 12;
        QTest::newRow("negative half") << "-2.5" << true << -2;
        QTest::newRow("exponent") << "1e3" << true << 1000;
        QTest::newRow("16-bit top") << "32767" << true << 32767;
        QTest::newRow("16-bit overflow") << "32768" << false << 0;
        QTest::newRow("rounds into overflow") << "32767.5" << false << 0;
        QTest::newRow("16-bit bottom") << "-32768" << true << -32768;
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

    void keys_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("checks");
        QTest::newRow("file name and directories")
            << QStringList{"#01:mydata.dat", "#02:/srv/cat", "#12:backups"}
            << QStringList{"DataFileName=mydata.dat", "DataDir=/srv/cat/", "BackupDir=backups/"};
        QTest::newRow("drive-form directory keeps backslash")
            << QStringList{"#02:q:\\DATA"} << QStringList{"DataDir=q:\\DATA\\"};
        QTest::newRow("later line wins")
            << QStringList{"#01:a.dat", "#01:b.dat"} << QStringList{"DataFileName=b.dat"};
        QTest::newRow("font sizes in and out of range")
            << QStringList{"#05:12", "#06:5"} << QStringList{"FontSize=12", "SmallFontSize=9"};
        QTest::newRow("font size too big gives default")
            << QStringList{"#05:14"} << QStringList{"FontSize=10"};
        QTest::newRow("font size rounds half to even")
            << QStringList{"#05:8.5", "#06:11.5"} << QStringList{"FontSize=8", "SmallFontSize=12"};
        QTest::newRow("other prefix empties the font name")
            << QStringList{"X04:whatever"} << QStringList{"FontName="};
        QTest::newRow("beep and backup mode")
            << QStringList{"#10:0", "#13:7"} << QStringList{"BeepEnabled=0", "BackupMode=7"};
        QTest::newRow("drive key: answering letter, upper case")
            << QStringList{"#03:Q"} << QStringList{"CurrentDrive=q"};
        QTest::newRow("drive key: unknown letter")
            << QStringList{"#03:z"} << QStringList{"CurrentDrive=c"};
        QTest::newRow("drive key: more than one character")
            << QStringList{"#03:dq"} << QStringList{"CurrentDrive=c"};
        QTest::newRow("drive key: dollar pads, so never taken")
            << QStringList{"$03:q"} << QStringList{"CurrentDrive=c"};
        QTest::newRow("capacity bounds excluded")
            << QStringList{"#60:100", "#61:20000", "#62:10000", "#63:0"}
            << QStringList{"MaxDirCount=1000", "MaxEntryCount=2000", "MaxHeaderBlocks=200",
                           "MaxResultLines=5000"};
        QTest::newRow("capacity bounds included")
            << QStringList{"#60:101", "#61:19999", "#62:9999", "#63:19999"}
            << QStringList{"MaxDirCount=101", "MaxEntryCount=19999", "MaxHeaderBlocks=9999",
                           "MaxResultLines=19999"};
        QTest::newRow("header fields, blanks allowed; 3 and 10 as written")
            << QStringList{"#20: 0 ", "#22:0", "#29:1", "#21:2"}
            << QStringList{"Fields=0201111111"};
        QTest::newRow("captions") << QStringList{"#31:誌名", "#36:その他"}
                                  << QStringList{"Captions=誌名|||その他"};
        QTest::newRow("two titles, three publishers")
            << QStringList{"#51:T1", "#52:P1", "#51:T2", "#52:P2", "#52:P3"}
            << QStringList{"Titles=2:T1/P1|T2/P2"};
        QTest::newRow("publisher before any title is ignored")
            << QStringList{"#52:early", "#51:T1", "#51:T2", "#52:P2"}
            << QStringList{"Titles=2:T1/|T2/P2"};
        QTest::newRow("title without publisher")
            << QStringList{"#51:Only"} << QStringList{"Titles=1:Only/"};
        QTest::newRow("three publishers replace the built-in ones")
            << QStringList{"#53:A", "#53:B", "#53:C"} << QStringList{"Publishers=3:A|B|C"};
        QTest::newRow("month appended after the twelve")
            << QStringList{"#54:増刊"} << QStringList{"Months=13:1|2|3|4|5|6|7|8|9|10|11|12|増刊"};
        QTest::newRow("drive pins and unknown keys are ignored")
            << QStringList{"#40:q=/tmp", "#99:x", "#07:y"}
            << QStringList{"DataFileName=tobrin.dat"};
        QTest::newRow("comments and blank lines")
            << QStringList{"", "; comment", "# note"} << QStringList{"FontSize=10"};
    }
    void keys() {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, checks);
        prepare();
        write_cp932_file(cfg(), lines);
        ScriptedSeam seam;
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        for (const QString& c : checks) {
            const qsizetype eq = c.indexOf(u'=');
            QCOMPARE(view(c.left(eq)), c.mid(eq + 1));
        }
    }

    void bad_line_stops_reading_and_keeps_earlier_lines_data() {
        QTest::addColumn<QString>("bad");
        QTest::newRow("header field not a number") << "#20:x";
        QTest::newRow("header field empty") << "X21:1";
        QTest::newRow("font size beyond 16 bits") << "#05:40000";
        QTest::newRow("capacity beyond 32 bits") << "#60:3000000000";
    }
    void bad_line_stops_reading_and_keeps_earlier_lines() {
        QFETCH(QString, bad);
        prepare();
        write_cp932_file(cfg(), {"#01:before.dat", "#60:500", bad, "#01:after.dat", "#05:12"});
        ScriptedSeam seam;
        seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(seam.shown.first().text,
                 QStringLiteral("環境設定ファイル[") + cfg() +
                     QStringLiteral(
                         "]を読み込むことができません。(071)\r\n\r\nデフォルト値で動作します。"));
        QCOMPARE(G.DataFileName, QStringLiteral("before.dat"));
        QCOMPARE(G.FontSize, int16_t(10));
        // The tables are sized with the capacities as they stand.
        QCOMPARE(G.DirPaths.size(), 500);
        QCOMPARE(G.EntryNames.size(), 2000);
    }

    void list_longer_than_a_16_bit_count_stops() {
        prepare();
        QStringList lines;
        for (int i = 1; i <= 32768; ++i)
            lines << QStringLiteral("#51:T%1").arg(i);
        lines << "#01:after.dat";
        write_cp932_file(cfg(), lines);
        ScriptedSeam seam;
        seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.MagazineCount, int16_t(32767));
        QCOMPARE(G.MagazineTitles(32767), QStringLiteral("T32767"));
        QCOMPARE(G.DataFileName, QStringLiteral("tobrin.dat"));
    }

    void missing_file_and_empty_file() {
        prepare();
        {
            ScriptedSeam seam;
            seam.expect("(071)");
            read_config();
            QVERIFY2(seam.satisfied(), seam.report());
        }
        QCOMPARE(G.HeaderTable.rows(), 200);
        QCOMPARE(G.ResultLines.size(), 5000);
        QCOMPARE(G.MagazineCount, int16_t(19));
        write_cp932_file(cfg(), {});
        ScriptedSeam seam;
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void directory_as_file_is_reported() {
        prepare();
        G.CfgFilePath = dir.path();
        ScriptedSeam seam;
        seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
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

    void preset_lists() {
        fresh_state();
        set_preset_lists(QDate(2026, 6, 1));
        QCOMPARE(view("Titles").left(3), QStringLiteral("19:"));
        QCOMPARE(G.MagazineTitles(1), QStringLiteral("DOS/V magazine"));
        QCOMPARE(G.MagazinePublishers(5), QStringLiteral("IDGｺﾐｭﾆｹｰｼｮﾝｽﾞ"));
        QCOMPARE(G.MagazinePublishers(13), QStringLiteral("翔泳社"));
        const QString t13 = G.MagazineTitles(13);
        QVERIFY(!t13.isEmpty());
        QCOMPARE(t13, t13.toUpper());
        QCOMPARE(G.MagazineTitles(19), QStringLiteral("FDD DRIVE A:"));
        QCOMPARE(view("Publishers"),
                 QStringLiteral("9:アスキー|ソフトバンク|インプレス|IDGｺﾐｭﾆｹｰｼｮﾝｽﾞ|日経BP|翔泳社|"
                                "学習研究社|HDD Directory|FDD Directory"));
        QCOMPARE(view("Months"), QStringLiteral("12:1|2|3|4|5|6|7|8|9|10|11|12"));
        QCOMPARE(view("Captions"), QStringLiteral("|||"));
        QCOMPARE(G.YearCount, int16_t(10));
        QCOMPARE(G.YearNames(1), QStringLiteral("2026"));
        QCOMPARE(G.YearNames(10), QStringLiteral("2017"));
        set_preset_lists(QDate(2026, 11, 1));
        QCOMPARE(G.YearNames(1), QStringLiteral("2027"));
        set_preset_lists(QDate(2026, 12, 31));
        QCOMPARE(G.YearNames(1), QStringLiteral("2027"));
        QCOMPARE(G.YearNames(10), QStringLiteral("2018"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
