// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file and the settings file: the two files read at start-up.
#include "child_process.h"
#include "core/codepage.h"
#include "core/config.h"
#include "core/platform.h"
#include "core/settings.h"
#include "search/search_rules.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

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

    // A valid settings file with line `at` replaced by `text` (at -1: as it is), cut to `keep`
    // lines.
    static QByteArray file(int at = -1, const QString& text = {}, int keep = 29) {
        QStringList l{"Tobrin  Ver.1.8a"};
        for (int n = 1; n <= 8; ++n)
            l << QStringLiteral(" %1  ,  %2  ,  1000  ,  2000 ").arg(n).arg(-n);
        l += QStringList{"False", "True", "False", "True", "0", "1", "0", "1", "1"};
        l << QStringList(10, QString()) << "d";
        const QStringList lines = text.split(u'|'); // "|" replaces the lines that follow too
        for (int i = 0; at >= 0 && i < lines.size(); ++i)
            l[at + i] = lines.at(i);
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
        QTest::newRow("beyond a double") << "1e400" << false << 0;
        QTest::newRow("beyond a double, negative") << "-1e400x" << false << 0;
        QTest::newRow("too many digits for a double") << QString(400, u'9') << false << 0;
        QTest::newRow("too small for a double") << "1e-400" << true << 0;
    }
    void number_conversion() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int32_t out = -999;
        QCOMPARE(config_number(text, -32768, 32767, out), ok);
        if (ok) QCOMPARE(out, value);
    }

    // Each capacity takes its range's ends; one past either end keeps the default, silently.
    void capacities_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("dirs");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("results");
        const auto row = [](const char* line, int d, int e, int b, int r) {
            QTest::newRow(line) << QString(line) << d << e << b << r;
        };
        row("#60:101", 101, 2000, 200, 5000);
        row("#60:100", 1000, 2000, 200, 5000);
        row("#60:19999", 19999, 2000, 200, 5000);
        row("#60:20000", 1000, 2000, 200, 5000);
        row("#61:101", 1000, 101, 200, 5000);
        row("#61:100", 1000, 2000, 200, 5000);
        row("#61:19999", 1000, 19999, 200, 5000);
        row("#61:20000", 1000, 2000, 200, 5000);
        row("#62:101", 1000, 2000, 101, 5000);
        row("#62:100", 1000, 2000, 200, 5000);
        row("#62:9999", 1000, 2000, 9999, 5000);
        row("#62:10000", 1000, 2000, 200, 5000);
        row("#63:101", 1000, 2000, 200, 101);
        row("#63:100", 1000, 2000, 200, 5000);
        row("#63:19999", 1000, 2000, 200, 19999);
        row("#63:20000", 1000, 2000, 200, 5000);
        row("#63:100.5", 1000, 2000, 200, 5000); // rounds half to even: 100
        row("#63:101.5", 1000, 2000, 200, 102);
    }
    void capacities() {
        QFETCH(QString, line);
        prepare();
        write_cp932_file(cfg(), {line});
        ScriptedSeam seam;
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QFETCH(int, dirs);
        QFETCH(int, entries);
        QFETCH(int, blocks);
        QFETCH(int, results);
        QCOMPARE(int(G.MaxDirCount), dirs);
        QCOMPARE(int(G.MaxEntryCount), entries);
        QCOMPARE(int(G.MaxHeaderBlocks), blocks);
        QCOMPARE(int(G.MaxResultLines), results);
        QCOMPARE(G.DirPaths.size(), dirs);
        QCOMPARE(G.EntryNames.size(), entries);
        QCOMPARE(G.HeaderTable.rows(), blocks);
        QCOMPARE(G.ResultLines.size(), results);
    }

    // Message 071; what was applied before the bad line stays, nothing after it is read: the
    // drive pins neither.
    void bad_line_stops_reading_data() {
        QTest::addColumn<QStringList>("bad");
        QTest::newRow("header field not a number") << QStringList{"#20:x"};
        QTest::newRow("header field empty") << QStringList{"X21:1"};
        QTest::newRow("font size beyond 16 bits") << QStringList{"#05:40000"};
        QTest::newRow("capacity beyond 32 bits") << QStringList{"#60:3000000000"};
        QTest::newRow("font size beyond a double") << QStringList{"#05:1e400"};
        QTest::newRow("capacity beyond a double") << QStringList{"#60:1e400"};
        QTest::newRow("NUL in the file name") << QStringList{u"#01:a"_qs + QChar(0) + u"b"_qs};
        QTest::newRow("control character in a folder")
            << QStringList{u"#12:/tmp/a"_qs + QChar(1) + u"b"_qs};
        QTest::newRow("DEL in the backup name") << QStringList{u"#11:a"_qs + QChar(0x7f)};
        QTest::newRow("NUL in a drive pin") << QStringList{u"#40:r=/a"_qs + QChar(0)};
        QTest::newRow("a line past 64 KiB") << QStringList{"#04:" + QString(70000, u'x')};
        QStringList titles;
        for (int i = 1; i <= 32768; ++i)
            titles << QStringLiteral("#51:T%1").arg(i);
        QTest::newRow("list longer than a 16-bit count") << titles;
    }
    void bad_line_stops_reading() {
        QFETCH(QStringList, bad);
        prepare();
        QTest::failOnWarning(QRegularExpression("."));
        write_cp932_file(cfg(), QStringList{"#01:before.dat", "#60:500", "#40:p=/"} + bad +
                                    QStringList{"#01:after.dat", "#05:12", "#40:r=/"});
        platform_map_drives(cfg());
        QCOMPARE(drive_root(u'p') + drive_root(u'r'), u"/"_qs);
        ScriptedSeam seam;
        seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report()); // its exact text: see tst_cli_config
        QCOMPARE(G.DataFileName, QStringLiteral("before.dat"));
        QCOMPARE(G.FontSize, int16_t(10));
        // The tables are sized with the capacities as they stand.
        QCOMPARE(G.DirPaths.size(), 500);
        if (bad.size() > 1) QCOMPARE(G.MagazineTitles(32767), QStringLiteral("T32767"));
    }

    // Every line end the Windows line reader knows, mixed too; a last line without one.
    void config_line_ends_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF") << QByteArray("#01:x.dat\r\n#05:12\r\n#13:4\r\n");
        QTest::newRow("LF") << QByteArray("#01:x.dat\n#05:12\n#13:4");
        QTest::newRow("lone CR") << QByteArray("#01:x.dat\r#05:12\r#13:4\r");
        QTest::newRow("mixed, blank lines between")
            << QByteArray("#01:x.dat\r\r\n\n#05:12\n\r#13:4");
    }
    void config_line_ends() {
        QFETCH(QByteArray, bytes);
        prepare();
        write_bytes(cfg(), bytes);
        read_config();
        QCOMPARE(G.DataFileName, u"x.dat"_qs);
        QCOMPARE(G.FontSize, int16_t(12));
        QCOMPARE(G.BackupMode, int16_t(4));
    }

    // Only a regular file, or a link to one, is read; anything else is a missing file (071 for
    // the configuration, the defaults for the settings) and is never opened.
    void only_regular_files_are_read_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("read");
        QTest::newRow("link to a file") << "link" << true;
        QTest::newRow("fifo") << "fifo" << false;
        QTest::newRow("directory") << "dir" << false;
        QTest::newRow("device") << "device" << false;
        QTest::newRow("dangling link") << "dangling" << false;
    }
    void only_regular_files_are_read() {
        QFETCH(QString, kind);
        QFETCH(bool, read);
        prepare();
        QTemporaryDir here;
        const QString real = here.filePath("real"), cfgPath = here.filePath("x.cfg"),
                      iniPath = here.filePath("x.ini");
        write_cp932_file(real + ".cfg", {"#05:12"});
        write_bytes(real + ".ini", file(1, " 5 , 5 , 5 , 5"));
        for (const QString& p : {cfgPath, iniPath}) {
            const QString target = real + p.right(4);
            if (kind == u"link") QFile::link(target, p);
            if (kind == u"dangling") QFile::link(target + ".gone", p);
            if (kind == u"fifo") QVERIFY(::mkfifo(QFile::encodeName(p).constData(), 0644) == 0);
            if (kind == u"dir") QDir().mkpath(p);
            if (kind == u"device") QFile::link("/dev/zero", p);
        }
        G.CfgFilePath = cfgPath;
        G.IniFilePath = iniPath;
        ScriptedSeam seam;
        if (!read) seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.FontSize, int16_t(read ? 12 : 10));
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(G.FormPos(1, 1), int16_t(read ? 5 : 0));
    }

    // The built-in lists themselves are checked through tobrin-cli config.
    void year_list_turns_in_november() {
        set_preset_lists(QDate(2026, 10, 31));
        QCOMPARE(G.YearNames(1) + u'-' + G.YearNames(G.YearCount), u"2026-2017"_qs);
        set_preset_lists(QDate(2026, 11, 1));
        QCOMPARE(G.YearNames(1) + u'-' + G.YearNames(G.YearCount), u"2027-2018"_qs);
    }

    // Byte-exact: the number-line format, CR LF, 29 lines; read back unchanged.
    void write_and_read_back() {
        prepare();
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
        want += encode_cp932(u"ﾒﾓ, with a comma") + QByteArray("\r\n").repeated(9);
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

    // Any fault gives all the defaults (code 1) and the current directory's drive unless the
    // current one answers. controls: the search options then taken, "" when the file is refused
    // (o2_1 o2_2 o4_1 o4_2, then Check1..5).
    void load_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QString>("controls");
        const auto row = [](const char* name, const QByteArray& bytes, const char* controls = "") {
            QTest::newRow(name) << bytes << QString(controls);
        };
        row("good, LF lines", file().replace("\r\n", "\n"), "0101 01011");
        row("good, lone CR lines", file().replace("\r\n", "\r"), "0101 01011");
        row("quoted title, trailing fields", file(0, "\"Tobrin  Ver.1.8a\",x"), "0101 01011");
        row("options: either case, numbers", file(9, "false|TRUE|0|-1|2|1|0|1|1"), "0101 21011");
        row("options: leading number, none gives cleared", file(9, "0|1|1|0|1x||abc| 2|1"),
            "0110 10021");
        row("options: unreadable ones take their defaults", file(9, "yes|maybe||0|3|-1|9|0|7"),
            "1010 10100");
        row("options: both of a pair selected, the second wins", file(9, "1|1|1|1|0|0|0|0|0"),
            "0101 00000");
        row("no file", QByteArray());
        row("empty file", QByteArray(""));
        row("cut after line 5", file(-1, {}, 5));
        row("last line missing", file(-1, {}, 28));
        row("other version", file(0, "Tobrin  Ver.1.7"));
        row("title compared case-sensitively", file(0, "tobrin  ver.1.8a"));
        row("field not a number", file(4, " 0 , x , 10 , 10"));
        row("number beyond 16 bits", file(6, " 0 , 40000 , 10 , 10"));
        row("16-bit ends taken", file(6, " -32768 , 32767 , 10 , 10"), "0101 01011");
        row("one past 16 bits", file(6, " 0 , 32768 , 10 , 10"));
        row("one below 16 bits", file(6, " -32769 , 0 , 10 , 10"));
        row("rounds one past 16 bits", file(6, " 0 , 32767.5 , 10 , 10"));
        row("three numbers on a line", file(2, " 0 , 0 , 10"));
        row("five numbers on a line", file(2, " 0 , 0 , 10 , 10 , 10"));
        row("empty number field", file(8, " 0 , , 10 , 10"));
        row("a line past 64 KiB", file(20, QString(70000, u'x')));
    }
    void load() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, controls);
        const bool good = !controls.isEmpty();
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
            const QString drive = good ? "d" : answering ? "q" : "c";
            QCOMPARE(G.SavedSettings(20), drive);
            if (!good) QCOMPARE(G.CurrentDrive, drive);
            SearchControls o;
            o.Check1 = 2;
            search_options(1, o);
            QCOMPARE(QString::asprintf("%d%d%d%d %d%d%d%d%d", o.Option2_1, o.Option2_2, o.Option4_1,
                                       o.Option4_2, o.Check1, o.Check2, o.Check3, o.Check4,
                                       o.Check5),
                     good ? controls : u"1010 10100"_qs);
            QCOMPARE(G.HeaderOnlySearch, o.Check5);
        }
    }

    // A settings write on a full disk keeps the previous file and leaves no temporary one (the
    // file fits Qt's write buffer, so only the final flush fails); in a folder the user cannot
    // write it is rewritten in place. The child checks its own results (a tmpfs is private to
    // it) and exits 0 when they hold.
    void settings_write_faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("file-size limit") << "limit";
        QTest::newRow("tmpfs full (as root)") << "tmpfs";
        QTest::newRow("folder without write permission") << "folder";
    }
    void settings_write_faults() {
        QFETCH(QString, fault);
        prepare();
        const QString folder = dir.filePath("folder");
        QDir().mkpath(folder);
        G.IniFilePath = folder + "/tobrin.ini";
        const int code = run_in_child([&] {
            if (fault == u"tmpfs" && !mount_small_tmpfs(folder, 64)) return ChildCannotSetUp;
            touch(G.IniFilePath, "previous");
            if (fault == u"tmpfs") touch(folder + "/filler", QByteArray(64 * 1024 - 100, 'f'));
            if (fault == u"limit") limit_file_size(100);
            if (fault == u"folder") {
                QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
                QFile::setPermissions(folder, QFile::Permissions(0x5555));
                QFile::setPermissions(G.IniFilePath, QFile::Permissions(0x6666));
                if (!drop_root()) return ChildCannotSetUp;
            }
            save_settings();
            const QByteArray now = read_bytes(G.IniFilePath);
            const bool ok =
                fault == u"folder" ? now.startsWith("Tobrin  Ver.1.8a\r\n") : now == "previous";
            const int files = QDir(folder).entryList(QDir::Files | QDir::Hidden).size();
            return ok && files == (fault == u"tmpfs" ? 2 : 1) ? 0 : 1;
        });
        QFile::setPermissions(folder, QFile::Permissions(0x7700));
        if (code == ChildCannotSetUp) QSKIP("needs root");
        QCOMPARE(code, 0);
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
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
