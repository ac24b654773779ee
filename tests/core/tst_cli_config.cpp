// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/codepage.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

// A configuration file in, the state tobrin-cli config reports (or message 071) out. The
// temporary current directory "@" holds the catalogue tobrin.dat, the folders disc (with
// DATA/tobrin.dat), data, bak and sub, and what a catalogue's name may find instead: ro.dat
// (read-only), .hidden, the fifo pipe and the links linkfile and linkro to tobrin.dat and
// ro.dat. config writes nothing.
class TestCliConfig : public QObject {
    Q_OBJECT

  private slots:
    // text: tobrin.cfg, its lines joined by "|" (CR LF, none after the last), after the pin
    // "#40:q=@/disc"; null: no file. checks, joined by "|": "Name=value" reported, "!Name" not
    // reported, "(071)" first: the message on stderr. saved: the settings file's drive ("": no
    // settings file).
    void read_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("checks");
        QTest::addColumn<QString>("saved");
        const auto row = [](const char* name, const QString& text, const char* checks,
                            const char* saved = "") {
            QTest::newRow(name) << text << QString::fromUtf8(checks) << QString(saved);
        };
        row("no file: the defaults", QString(),
            "(071)|CfgFilePath=@/tobrin.cfg|DataFilePath=@/tobrin.dat|DataFileState=1|"
            "BackupFilePath=@/tobrin.$$$|IniFilePath=@/tobrin.ini|FontName=ＭＳ ゴシック|"
            "MagazineTitles[1]=DOS/V magazine|MagazinePublishers[13]=翔泳社|"
            "PublisherNames[9]=FDD Directory|MonthNames[12]=12|HeaderLabelCaptions[4]=");
        row("file names and directories", "#01:cat.dat|#02:@/data|#11:b.bak|#12:@/bak",
            "DataFilePath=@/data/cat.dat|BackupFilePath=@/bak/b.bak|DataFileState=0|"
            "DataFileReadOnly=-1");
        row("drive pin; drive-form directory keeps backslash", "#02:q:\\DATA",
            "Drive[q]=@/disc|DataFilePath=q:\\DATA\\tobrin.dat|Drive[c]=/");
        row("% takes one character, $ pads to twelve", "%01:mydata.dat|$11:b.bak|%04:ＭＳ",
            "DataFilePath=@/m|BackupFilePath=@/b.bak       |FontName=Ｍ");
        row("$ cuts at twelve, other prefixes set nothing", "$01:abcdefghijklmnop|X04:Gothic",
            "DataFilePath=@/abcdefghijkl|FontName=");
        row("no settings: colon elsewhere, short, key 0, unknown, comments",
            "#5:12|#06:|#00:x|#99:x|#07:y||; c|# note",
            "DataFilePath=@/tobrin.dat|DataFileState=1|FontSize=10|SmallFontSize=9");
        row("font sizes at their bounds", "#05:12|#06:6", "FontSize=12|SmallFontSize=6");
        row("font sizes beyond them give defaults", "#05:7|#06:13", "FontSize=10|SmallFontSize=9");
        row("numbers: blanks, letters after, half to even", "#05:   12abc|#13:10.5|#10:-2.5",
            "FontSize=12|BackupMode=10|BeepEnabled=-2");
        row("numbers: half up to even, exponents", "#13:11.5|#10:1e-400|#06:0.8e1",
            "BackupMode=12|BeepEnabled=0|SmallFontSize=8");
        row("numbers: 16-bit ends", "#13:32767|#10:-32768", "BackupMode=32767|BeepEnabled=-32768");
        row("capacities: below the range", "#60:100|#61:100|#62:100|#63:100.5",
            "MaxDirCount=1000|MaxEntryCount=2000|MaxHeaderBlocks=200|MaxResultLines=5000");
        row("capacities: above the range", "#60:20000|#61:20000|#62:10000|#63:20000",
            "MaxDirCount=1000|MaxEntryCount=2000|MaxHeaderBlocks=200|MaxResultLines=5000");
        row("capacities: upper ends", "#60:19999|#61:19999|#62:9999|#63:19999",
            "MaxDirCount=19999|MaxEntryCount=19999|MaxHeaderBlocks=9999|MaxResultLines=19999");
        row("capacities: lower ends", "#60:101|#61:101|#62:101|#63:101.5",
            "MaxDirCount=101|MaxEntryCount=101|MaxHeaderBlocks=101|MaxResultLines=102");
        row("header fields (blanks allowed, 3 and 10 forced), captions",
            "#20: 0 |#22:0|#29:1|#21:2|#31:誌名|#36:その他",
            "HeaderFieldSearched=0211111110|HeaderLabelCaptions[1]=誌名|HeaderLabelCaptions[2]=|"
            "HeaderLabelCaptions[4]=その他");
        // Two titles, three title publishers (the third has no title); the publishers replace
        // the built-in ones; a month follows the twelve.
        row("lists", "#51:T1|#52:P1|#51:T2|#52:P2|#52:P3|#53:A|#53:X社|#54:増刊",
            "MagazineTitles[2]=T2|MagazinePublishers[2]=P2|!MagazineTitles[3]|"
            "PublisherNames[2]=X社|!PublisherNames[3]|MonthNames[12]=12|MonthNames[13]=増刊");
        row("publisher before any title is ignored", "#52:early|#51:T1|#51:T2|#52:P2",
            "MagazinePublishers[1]=|MagazinePublishers[2]=P2");
        row("every line end, blank lines between, a lone CR last",
            "#05:12\r\r\n\n#13:4\n\r#01:x.dat\r", "DataFilePath=@/x.dat|FontSize=12|BackupMode=4");
        // The catalogue's state: only an ordinary file, or a link to one, is a catalogue.
        row("catalogue read-only", "#01:ro.dat", "DataFileState=1|DataFileReadOnly=1");
        row("catalogue a directory", "#01:sub", "DataFileState=0");
        row("catalogue hidden", "#01:.hidden", "DataFileState=0");
        row("catalogue a fifo", "#01:pipe", "DataFileState=0");
        row("catalogue a link to a file", "#01:linkfile", "DataFileState=1|DataFileReadOnly=0");
        row("catalogue linked, read-only", "#01:linkro", "DataFileState=1|DataFileReadOnly=1");
        row("catalogue in a missing directory", "#02:@/none", "DataFileState=0");
        row("catalogue without a name", "X01:x", "DataFilePath=@/|DataFileState=5");
        row("drive-form directory through the drive map", "#02:Q:\\DATA",
            "DataFilePath=Q:\\DATA\\tobrin.dat|DataFileState=1");
        row("drive pins: upper case, missing folder, only with #",
            "#40:B=@/data|#40:x=@/none|%40:y=/", "Drive[b]=@/data|!Drive[x]|!Drive[y]");
        row("current directory in a pinned folder", "#40:r=@", "CurrentDrive=r");
        // The drive: the settings file's, then key 03's, each only when it answers.
        row("drive key: more than one character", "#03:qc", "CurrentDrive=c");
        row("settings drive that answers, upper case", "", "CurrentDrive=q", "Q");
        row("settings drive absent", "", "CurrentDrive=c", "z");
        row("settings value too long", "", "CurrentDrive=c", "qc");
        row("key 03 wins, upper case", "#40:r=@/data|#03:R", "CurrentDrive=r", "q");
        row("configuration letter absent", "#03:z", "CurrentDrive=q", "q");
        // A line that cannot be applied stops the reading: what came before it stays, the
        // drive pins included.
        const auto bad = [&row](const char* name, const QString& line) {
            row(name, "#01:before.dat|#60:500|#40:p=/|" + line + "|#01:after.dat|#05:12|#40:r=/",
                "(071)|DataFilePath=@/before.dat|FontSize=10|MaxDirCount=500|Drive[p]=/|"
                "!Drive[r]");
        };
        bad("header field not a number", "#20:x");
        bad("rounds beyond 16 bits", "#13:32767.5");
        bad("capacity beyond 32 bits", "#60:3000000000");
        bad("NUL in the file name", u"#01:a"_qs + QChar(0) + u"b"_qs);
        bad("DEL in the backup name", u"#11:a"_qs + QChar(0x7f));
        bad("NUL in a drive pin", u"#40:r=/a"_qs + QChar(0));
        bad("a line past 64 KiB", "#04:" + QString(70000, u'x'));
        QStringList titles;
        for (int i = 1; i <= 32768; ++i)
            titles << QStringLiteral("#51:T%1").arg(i);
        bad("list longer than a 16-bit count", titles.join(u'|'));
    }
    void read() {
        QFETCH(QString, text);
        QFETCH(QString, checks);
        QFETCH(QString, saved);
        QTemporaryDir tmp;
        const QString at = tmp.path();
        make_dirs(at, {"disc/DATA", "data", "bak", "sub"});
        touch(tmp.filePath("tobrin.dat"), "*01\r\n");
        touch(tmp.filePath("disc/DATA/tobrin.dat"), "*01\r\n");
        touch(tmp.filePath("ro.dat"), "*01\r\n");
        QFile::setPermissions(tmp.filePath("ro.dat"), QFile::ReadOwner);
        touch(tmp.filePath(".hidden"), "*01\r\n");
        QVERIFY(::mkfifo(QFile::encodeName(tmp.filePath("pipe")).constData(), 0644) == 0);
        QFile::link("tobrin.dat", tmp.filePath("linkfile"));
        QFile::link("ro.dat", tmp.filePath("linkro"));
        // Read only when its first line is the window title, which names the version.
        QStringList ini{"Tobrin  Ver." TOBRIN_VERSION};
        for (int i = 1; i <= 27; ++i)
            ini << (i <= 8 ? " 0  ,  0  ,  3000  ,  2000 " : i <= 17 ? "1" : "");
        if (!saved.isEmpty()) write_cp932_file(tmp.filePath("tobrin.ini"), ini << saved);
        QString lines = "#40:q=@/disc|" + text;
        lines.replace(u'|', u"\r\n"_qs).replace(u'@', at);
        if (!text.isNull()) write_bytes(tmp.filePath("tobrin.cfg"), encode_cp932(lines));
        const QStringList files = QDir(at).entryList(QDir::Files);
        QProcess p;
        p.setWorkingDirectory(at);
        p.start(QStringLiteral(TOBRIN_CLI), {"config"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = u'\n' + QString::fromUtf8(p.readAllStandardOutput());
        const QString stop =
            "環境設定ファイル[" + at +
            "/tobrin.cfg]を読み込むことができません。(071)\n\nデフォルト値で動作します。\n";
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 checks.startsWith(u"(071)") ? stop : QString());
        for (QString c : checks.replace(u'@', at).split(u'|')) {
            const bool absent = c.startsWith(u'!');
            const QString n = u'\n' + c.mid(absent).replace(u'=', u'\t') + (absent ? u'\t' : u'\n');
            QVERIFY2(c == u"(071)" || out.contains(n) != absent, qPrintable(c));
        }
        QCOMPARE(QDir(at).entryList(QDir::Files), files);
    }
};

QTEST_GUILESS_MAIN(TestCliConfig)
#include "tst_cli_config.moc"
