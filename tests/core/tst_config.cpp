// The configuration file and the settings file: the two files read at start-up.
#include "core/codepage.h"
#include "core/config.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
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
    QString ini() const { return dir.filePath("tobrin.ini"); }

    void prepare() {
        fresh_state();
        G.CfgFilePath = cfg();
        G.IniFilePath = ini();
        QFile::remove(cfg());
        QFile::remove(ini());
        G.DriveLetters = QStringLiteral("c");
        platform_map_drives(QString());
    }

    // A valid file with line `at` replaced by `text` (at -1: as it is), cut to `keep` lines.
    static QByteArray file(int at = -1, const QString& text = {}, int keep = 29) {
        QStringList l{"Tobrin  Ver.1.8a"};
        for (int n = 1; n <= 8; ++n)
            l << QStringLiteral(" %1  ,  %2  ,  1000  ,  2000 ").arg(n).arg(-n);
        l += QStringList{"False", "True", "False", "True", "0", "1", "0", "1", "1"};
        for (int i = 10; i <= 19; ++i)
            l << QString();
        l << "d";
        if (at >= 0) l[at] = text;
        return (l.mid(0, keep).join("\r\n") + "\r\n").toLatin1();
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

    // The built-in lists (the table itself is not restated here) and the year rule.
    void preset_lists() {
        fresh_state();
        set_preset_lists(QDate(2026, 10, 31));
        QCOMPARE(joined(G.MagazineTitles, G.MagazineCount).left(18), u"19:DOS/V magazine|"_qs);
        QCOMPARE(joined(G.PublisherNames, G.PublisherCount).right(14), u"|FDD Directory"_qs);
        QCOMPARE(joined(G.MonthNames, G.MonthCount), u"12:1|2|3|4|5|6|7|8|9|10|11|12"_qs);
        QCOMPARE(joined(G.HeaderLabelCaptions, G.HeaderLabelCount), u"4:|||"_qs);
        QCOMPARE(joined(G.YearNames, G.YearCount),
                 u"10:2026|2025|2024|2023|2022|2021|2020|2019|2018|2017"_qs);
        // From November on, the list starts with the next year.
        set_preset_lists(QDate(2026, 11, 1));
        QCOMPARE(G.YearNames(1) + u'-' + G.YearNames(10), u"2027-2018"_qs);
    }

    // Byte-exact: the number-line format, CR LF, 29 lines; read back unchanged.
    void write_and_read_back() {
        prepare();
        int16_t r = 0;
        set_default_settings(r);
        QCOMPARE(r, int16_t(1));
        G.FormPos(2, 1) = -32768;
        G.FormPos(4, 2) = 32767;
        G.SavedSettings(12) = QStringLiteral("ﾒﾓ, with a comma");
        save_settings();
        QByteArray want = "Tobrin  Ver.1.8a\r\n"
                          " 0  ,  0  ,  7800  ,  4248 \r\n"
                          "-32768  ,  0  ,  7800  ,  4248 \r\n"
                          " 0  ,  0  ,  8460  ,  7152 \r\n"
                          " 0  ,  32767  ,  4140  ,  2844 \r\n"
                          " 0  ,  0  ,  7800  ,  4248 \r\n"
                          " 0  ,  0  ,  4020  ,  3336 \r\n"
                          " 0  ,  0  ,  7800  ,  4248 \r\n"
                          " 0  ,  0  ,  4140  ,  1536 \r\n"
                          "True\r\nFalse\r\nTrue\r\nFalse\r\n1\r\n0\r\n1\r\n0\r\n0\r\n\r\n\r\n";
        want += encode_cp932(u"ﾒﾓ, with a comma") + QByteArray("\r\n").repeated(8) + "c\r\n";
        QCOMPARE(read_bytes(ini()), want);
        const auto pos = G.FormPos;
        const auto saved = G.SavedSettings;
        fresh_state();
        G.IniFilePath = ini();
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(code, int16_t(100));
        QVERIFY(G.FormPos == pos);
        QVERIFY(G.SavedSettings == saved);
    }

    // Any fault gives all the defaults (code 1) and the current directory's drive unless
    // the current one answers.
    void load_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<bool>("good");
        QTest::newRow("good, LF lines") << file().replace("\r\n", "\n") << true;
        QTest::newRow("quoted title, trailing fields") << file(0, "\"Tobrin  Ver.1.8a\",x") << true;
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray("") << false;
        QTest::newRow("cut after line 5") << file(-1, {}, 5) << false;
        QTest::newRow("last line missing") << file(-1, {}, 28) << false;
        QTest::newRow("other version") << file(0, "Tobrin  Ver.1.7") << false;
        QTest::newRow("title compared case-sensitively") << file(0, "tobrin  ver.1.8a") << false;
        QTest::newRow("field not a number") << file(4, " 0 , x , 10 , 10") << false;
        QTest::newRow("number beyond 16 bits") << file(6, " 0 , 40000 , 10 , 10") << false;
        QTest::newRow("three numbers on a line") << file(2, " 0 , 0 , 10") << false;
        QTest::newRow("empty number field") << file(8, " 0 , , 10 , 10") << false;
    }
    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, good);
        for (const bool answering : {false, true}) {
            prepare();
            if (!bytes.isNull()) write_bytes(ini(), bytes);
            G.FormPos(1, 1) = 555;
            G.SavedSettings(20) = G.CurrentDrive = QStringLiteral("q");
            if (answering) G.DriveLetters = QStringLiteral("cq");
            int16_t code = 100;
            load_settings(code);
            QCOMPARE(code, int16_t(good ? 100 : 1));
            QCOMPARE(G.FormPos(1, 1), int16_t(good ? 1 : 0));
            QCOMPARE(G.SavedSettings(1), QString(good ? "False" : "True"));
            const QString drive = good ? "d" : answering ? "q" : "c";
            QCOMPARE(G.SavedSettings(20), drive);
            if (!good) QCOMPARE(G.CurrentDrive, drive);
        }
    }

    // Silent, and the previous file (or none) stays: no half-written or temporary file.
    void writer_refuses_and_keeps_the_previous_file() {
        prepare();
        touch(ini(), "previous");
        QFile::setPermissions(ini(), QFile::ReadOwner);
        save_settings();
        QCOMPARE(read_bytes(ini()), QByteArray("previous"));
        G.IniFilePath = dir.filePath("no/such/dir/tobrin.ini");
        save_settings();
        QVERIFY(!QFile::exists(G.IniFilePath));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tobrin.ini"});
    }

    // SavedSettings(1..9) -> controls: o2_1 o2_2 o4_1 o4_2, then Check1..5.
    void search_options_to_controls_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("expected");
        QTest::newRow("either case, numbers")
            << u"false,TRUE,0,-1,2,1,0,1,1"_qs << u"0101 21011"_qs;
        QTest::newRow("leading number, none gives cleared")
            << u"False,True,True,False,1x,,abc, 2,1"_qs << u"0110 10021"_qs;
        QTest::newRow("unreadable values take their defaults")
            << u"yes,maybe,,False,3,-1,9,0,7"_qs << u"1010 10100"_qs;
        QTest::newRow("both of a pair selected: the second wins")
            << u"True,True,True,True,0,0,0,0,0"_qs << u"0101 00000"_qs;
    }
    void search_options_to_controls() {
        QFETCH(QString, saved);
        QFETCH(QString, expected);
        fresh_state();
        for (int i = 1; i <= 9; ++i)
            G.SavedSettings(i) = saved.section(u',', i - 1, i - 1);
        SearchControls o;
        o.Check1 = 2;
        search_options(1, o);
        QCOMPARE(QString::asprintf("%d%d%d%d %d%d%d%d%d", o.Option2_1, o.Option2_2, o.Option4_1,
                                   o.Option4_2, o.Check1, o.Check2, o.Check3, o.Check4, o.Check5),
                 expected);
        QCOMPARE(G.HeaderOnlySearch, o.Check5);
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
