// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file, which files the two start-up readers open, and the date presets. The
// configuration file's keys are read through tobrin-cli config (tst_cli_config).
#include "child_process.h"
#include "core/codepage.h"
#include "core/config.h"
#include "core/settings.h"
#include "core/state.h"
#include "register/header_fields.h"
#include "scripted_seam.h"
#include "search/search_rules.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestConfig : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString ini() const { return dir.filePath("tobrin.ini"); }

    void prepare() {
        fresh_state();
        G.IniFilePath = ini();
        QFile::remove(ini());
        G.DriveLetters = QStringLiteral("c");
    }

    // A settings file as the program writes it (the number-line format, 16-bit ends, CR LF,
    // 29 lines) with line `at` replaced by `text` ("|" replaces the lines that follow too), cut
    // to `keep` lines.
    static QByteArray file(int at = -1, const QString& text = {}, int keep = 29) {
        QStringList l{"Tobrin  Ver.1.8a"};
        for (int n = 1; n <= 8; ++n)
            l << QStringLiteral(" %1  , %2  ,  0  ,  32767 ").arg(n).arg(-32760 - n);
        l << QStringList{"False", "True", "False", "True", "0", "1", "0", "1", "1"};
        l << QStringList{"", "", u"ﾒﾓ, with a comma"_qs} << QStringList(7, QString()) << "d";
        const QStringList lines = text.split(u'|');
        for (int i = 0; at >= 0 && i < lines.size(); ++i)
            l[at + i] = lines.at(i);
        return encode_cp932(l.mid(0, keep).join("\r\n") + "\r\n");
    }

  private slots:
    // Only a regular file, or a link to one, is read; anything else is a missing file (071 for
    // the configuration, the defaults for the settings) and is never opened: a fifo without
    // a writer would never answer.
    void only_regular_files_are_read_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"link", "fifo"})
            QTest::newRow(kind) << QString(kind);
    }
    void only_regular_files_are_read() {
        QFETCH(QString, kind);
        prepare();
        const QString real = dir.filePath("real"), cfg = dir.filePath(kind + ".cfg");
        write_cp932_file(real + ".cfg", {"#05:12", "#60:500"});
        write_bytes(real + ".ini", file(1, " 5 , 5 , 5 , 5"));
        G.CfgFilePath = cfg;
        G.IniFilePath = dir.filePath(kind + ".ini");
        for (const QString& p : {cfg, G.IniFilePath}) {
            const QString target = real + p.right(4);
            if (kind == u"link") QVERIFY(QFile::link(target, p));
            if (kind == u"fifo") QVERIFY(::mkfifo(QFile::encodeName(p).constData(), 0644) == 0);
        }
        const bool read = kind == u"link";
        ScriptedSeam seam;
        if (!read) seam.expect("(071)");
        read_config();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.FontSize, int16_t(read ? 12 : 10));
        QCOMPARE(G.DirPaths.size(), read ? 500 : 1000); // the tables take the capacities
        int16_t code = 100;
        load_settings(code);
        QCOMPARE(G.FormPos(1, 1), int16_t(read ? 5 : 0));
    }

    // The header screen's year and month: the year list turns in November; a fresh screen
    // presets today's year and month, the month without a leading zero.
    void year_and_month_presets() {
        set_preset_lists(QDate(2026, 10, 31));
        QCOMPARE(G.YearNames(1) + u'-' + G.YearNames(G.YearCount), u"2026-2017"_qs);
        set_preset_lists(QDate(2026, 11, 1));
        QCOMPARE(G.YearNames(1) + u'-' + G.YearNames(G.YearCount), u"2027-2018"_qs);
        QString year, month;
        header_date_defaults(QDate(2024, 6, 12), year, month);
        QCOMPARE(year + u'/' + month, u"2024/6"_qs);
    }

    // Any fault gives all the defaults (code 1) and the current directory's drive unless the
    // current one answers. controls: the search options then taken, "" when the file is refused
    // (o2_1 o2_2 o4_1 o4_2, then Check1..5). The file as the program writes it is written back
    // byte for byte.
    void load_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QString>("controls");
        const auto row = [](const char* name, const QByteArray& bytes, const char* controls = "") {
            QTest::newRow(name) << bytes << QString(controls);
        };
        row("as written", file(), "0101 01011");
        row("quoted title, trailing fields", file(0, "\"Tobrin  Ver.1.8a\",x"), "0101 01011");
        row("options: either case, numbers", file(9, "false|TRUE|0|-1|2|1|0|1|1"), "0101 21011");
        row("options: leading number, none gives cleared", file(9, "0|1|1|0|1x||abc| 2|1"),
            "0110 10021");
        row("options: unreadable ones take their defaults", file(9, "yes|maybe||0|3|-1|9|0|7"),
            "1010 10100");
        row("options: both of a pair selected, the second wins", file(9, "1|1|1|1|0|0|0|0|0"),
            "0101 00000");
        row("no file", QByteArray());
        row("last line missing", file(-1, {}, 28));
        row("title compared case-sensitively", file(0, "tobrin  ver.1.8a"));
        row("field not a number", file(4, " 0 , x , 10 , 10"));
        row("rounds one past 16 bits", file(6, " 0 , 32767.5 , 10 , 10"));
        row("three numbers on a line", file(2, " 0 , 0 , 10"));
        row("five numbers on a line", file(2, " 0 , 0 , 10 , 10 , 10"));
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
            if (bytes != file()) continue;
            save_settings();
            QCOMPARE(read_bytes(ini()), bytes);
        }
    }

    // A settings write on a full disk (a file-size limit) keeps the previous file and leaves no
    // temporary one (the file fits Qt's write buffer, so only the final flush fails); in a folder
    // the user cannot write it is rewritten in place; a read-only file, or a missing folder, is
    // left alone. The child checks its own results and exits 0 when they hold.
    void settings_write_faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("file-size limit") << "limit";
        QTest::newRow("folder without write permission") << "folder";
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("missing folder") << "missing";
    }
    void settings_write_faults() {
        QFETCH(QString, fault);
        prepare();
        const QString folder = dir.filePath("folder");
        QDir().mkpath(folder);
        G.IniFilePath = folder + (fault == u"missing" ? "/no/tobrin.ini" : "/tobrin.ini");
        const int code = run_in_child([&] {
            touch(folder + "/tobrin.ini", "previous");
            if (fault == u"limit") limit_file_size(100);
            if (fault == u"read-only") QFile::setPermissions(G.IniFilePath, QFile::ReadOwner);
            if (fault == u"folder") {
                QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
                QFile::setPermissions(folder, QFile::Permissions(0x5555));
                QFile::setPermissions(G.IniFilePath, QFile::Permissions(0x6666));
                if (!drop_root()) return ChildCannotSetUp;
            }
            save_settings();
            const QByteArray now = read_bytes(folder + "/tobrin.ini");
            const bool ok =
                fault == u"folder" ? now.startsWith("Tobrin  Ver.1.8a\r\n") : now == "previous";
            const int files = QDir(folder).entryList(QDir::Files | QDir::Hidden).size();
            return ok && files == 1 ? 0 : 1;
        });
        QFile::setPermissions(folder, QFile::Permissions(0x7700));
        if (code == ChildCannotSetUp) QSKIP("needs root");
        QCOMPARE(code, 0);
        QVERIFY(!QFile::exists(folder + "/no"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
