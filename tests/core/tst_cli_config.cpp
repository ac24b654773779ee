// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_env.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the built tobrin-cli: "config" reports what a configuration file set and writes
// nothing. In the tables "@" stands for the temporary current directory.
class TestCliConfig : public QObject {
    Q_OBJECT

    struct Run {
        int code;
        QString out; // "\nName<TAB>value\n..."
        QString err;
    };

    static Run run(const QString& cwd, const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(cwd);
        p.start(QStringLiteral(TOBRIN_CLI), QStringList{"config"} + args);
        p.waitForFinished(60000);
        return {p.exitCode(), u'\n' + QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

  private slots:
    // lines: the configuration file joined by "|", after a pin of drive q; checks: "Name=value" or
    // "!Name" (not reported), separated by blanks.
    void keys_data() {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("checks");
        QTest::addColumn<QString>("savedDrive"); // the settings file's; "": no settings file
        const auto row = [](const char* name, const char* lines, const char* checks,
                            const char* saved = "") {
            QTest::newRow(name) << QString::fromUtf8(lines) << QString::fromUtf8(checks)
                                << QString(saved);
        };
        row("file names and directories", "#01:cat.dat|#02:@/data|#11:b.bak|#12:@/bak",
            "DataFilePath=@/data/cat.dat BackupFilePath=@/bak/b.bak DataFileState=0 "
            "CfgFilePath=conf/my.cfg IniFilePath=@/tobrin.ini");
        row("drive pin; drive-form directory keeps backslash", "#02:q:\\DATA",
            "Drive[q]=@/disc DataFilePath=q:\\DATA\\tobrin.dat Drive[c]=/");
        row("font sizes at their bounds", "#05:12|#06:6", "FontSize=12 SmallFontSize=6");
        row("font sizes beyond them give defaults", "#05:7|#06:13", "FontSize=10 SmallFontSize=9");
        row("beep; backup mode 7 still makes no backup", "#10:0|#13:7",
            "BeepEnabled=0 BackupMode=7");
        // The drive: the settings file's, then key 03's, each only when it answers.
        row("drive key: pinned letter, upper case", "#03:Q", "CurrentDrive=q");
        row("drive key: more than one character", "#03:qc", "CurrentDrive=c");
        row("settings drive that answers", "", "CurrentDrive=q", "q");
        row("settings drive upper case", "", "CurrentDrive=q", "Q");
        row("settings drive absent", "", "CurrentDrive=c", "z");
        row("settings value too long", "", "CurrentDrive=c", "qc");
        row("configuration wins over settings", "#40:r=@/data|#03:r", "CurrentDrive=r", "q");
        row("configuration letter absent", "#03:z", "CurrentDrive=q", "q");
        row("capacity bounds excluded", "#60:100|#61:20000|#62:10000|#63:0",
            "MaxDirCount=1000 MaxEntryCount=2000 MaxHeaderBlocks=200 MaxResultLines=5000");
        row("capacity bounds included", "#60:101|#61:19999|#62:9999|#63:19999",
            "MaxDirCount=101 MaxEntryCount=19999 MaxHeaderBlocks=9999 MaxResultLines=19999");
        row("header fields, blanks allowed; 3 and 10 forced", "#20: 0 |#22:0|#29:1|#21:2",
            "HeaderFieldSearched=0211111110");
        row("captions", "#31:誌名|#36:その他",
            "HeaderLabelCaptions[1]=誌名 HeaderLabelCaptions[2]= HeaderLabelCaptions[4]=その他");
        row("two titles, three publishers", "#51:T1|#52:P1|#51:T2|#52:P2|#52:P3",
            "MagazineTitles[2]=T2 MagazinePublishers[2]=P2 !MagazineTitles[3]");
        row("publisher before any title is ignored", "#52:early|#51:T1|#51:T2|#52:P2",
            "MagazinePublishers[1]= MagazinePublishers[2]=P2");
        row("publishers replace the built-in ones", "#53:A|#53:X社",
            "PublisherNames[2]=X社 !PublisherNames[3]");
        row("month appended after the twelve", "#54:増刊", "MonthNames[12]=12 MonthNames[13]=増刊");
        row("catalogue probed; unknown keys and comments ignored", "#99:x|#07:y||; c|# note",
            "DataFilePath=@/tobrin.dat DataFileState=1 DataFileReadOnly=0 FontSize=10");
    }
    void keys() {
        QFETCH(QString, lines);
        QFETCH(QString, checks);
        QFETCH(QString, savedDrive);
        QTemporaryDir tmp;
        QStringList ini{"Tobrin  Ver.1.8a"};
        for (int i = 1; i <= 27; ++i)
            ini << (i <= 8 ? " 0  ,  0  ,  3000  ,  2000 " : i <= 17 ? "1" : "");
        if (!savedDrive.isEmpty()) write_cp932_file(tmp.filePath("tobrin.ini"), ini << savedDrive);
        make_dirs(tmp.path(), {"disc", "data", "bak"});
        touch(tmp.filePath("tobrin.dat"), "*01\r\n");
        write_cp932_file(tmp.filePath("conf/my.cfg"),
                         lines.prepend("#40:q=@/disc|").replace(u'@', tmp.path()).split(u'|'));
        const Run r = run(tmp.path(), {"--config", "conf/my.cfg"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        for (QString c : checks.replace(u'@', tmp.path()).split(u' ')) {
            const bool absent = c.startsWith(u'!');
            const QString n = u'\n' + c.mid(absent).replace(u'=', u'\t') + (absent ? u'\t' : u'\n');
            QVERIFY2(r.out.contains(n) != absent, qPrintable(c));
        }
        // No settings file written, no backup.
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"tobrin.dat", "tobrin.ini"}).mid(0, savedDrive.isEmpty() ? 1 : 2));
    }

    void default_path_and_message_on_stderr() {
        QTemporaryDir tmp;
        const Run r = run(tmp.path(), {});
        QCOMPARE(r.code, 0);
        const QString at = u'\t' + tmp.path() + "/tobrin.";
        for (const QString& want :
             {"CfgFilePath" + at + "cfg", "DataFilePath" + at + "dat",
              "BackupFilePath" + at + "$$$", "IniFilePath" + at + "ini", u"DataFileState\t0"_qs,
              u"MagazineTitles[1]\tDOS/V magazine"_qs, u"MagazinePublishers[13]\t翔泳社"_qs,
              u"PublisherNames[9]\tFDD Directory"_qs, u"MonthNames[12]\t12"_qs,
              u"HeaderLabelCaptions[4]\t"_qs})
            QVERIFY2(r.out.contains(u'\n' + want + u'\n'), qPrintable(want));
        QCOMPARE(r.err, "環境設定ファイル[" + tmp.filePath("tobrin.cfg") +
                            "]を読み込むことができません。(071)\n\nデフォルト値で動作します。\n");
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(run(tmp.path(), {"--config"}).code != 0);
        QVERIFY(run(tmp.path(), {"extra"}).code != 0);
    }
};

QTEST_GUILESS_MAIN(TestCliConfig)
#include "tst_cli_config.moc"
