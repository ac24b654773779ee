#include "core/codepage.h"
#include "test_env.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Runs the built tobrin-cli: "config" reports what a configuration file set and writes
// nothing.
class TestCliConfig : public QObject {
    Q_OBJECT

    struct Run {
        int code;
        QMap<QString, QString> values;
        QStringList names;
        QString err;
    };

    static Run run(const QString& cwd, const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(cwd);
        p.start(QStringLiteral(TOBRIN_CLI), QStringList{"config"} + args);
        p.waitForFinished(60000);
        Run r{p.exitCode(), {}, {}, QString::fromUtf8(p.readAllStandardError())};
        for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
            if (line.isEmpty()) continue;
            const qsizetype tab = line.indexOf(u'\t');
            r.names << line.left(tab);
            r.values.insert(line.left(tab), line.mid(tab + 1));
        }
        return r;
    }

  private slots:
    void reports_a_configuration() {
        QTemporaryDir tmp;
        make_dirs(tmp.path(), {"disc", "data"});
        touch(tmp.filePath("data/cat.dat"), "x");
        write_cp932_file(tmp.filePath("my.cfg"),
                         {"; test configuration", "#01:cat.dat", "#02:" + tmp.filePath("data"),
                          "#40:q=" + tmp.filePath("disc"), "#03:q", "#04:IPAGothic", "#05:12",
                          "#06:5", "#10:0", "#13:7", "#61:3000", "#63:19999", "#21:0", "#32:発行",
                          "#51:Alpha", "#52:Pub A", "#51:Beta", "#53:X社", "#54:増刊"});
        const Run r = run(tmp.path(), {"--config", tmp.filePath("my.cfg")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.err, QString());
        const auto& v = r.values;
        QCOMPARE(v["CfgFilePath"], tmp.filePath("my.cfg"));
        QCOMPARE(v["DataFilePath"], tmp.filePath("data/cat.dat"));
        QCOMPARE(v["BackupFilePath"], tmp.filePath("tobrin.$$$"));
        QCOMPARE(v["IniFilePath"], tmp.filePath("tobrin.ini"));
        QCOMPARE(v["DataFileState"], "1");
        QCOMPARE(v["DataFileReadOnly"], "0");
        QCOMPARE(v["CurrentDrive"], "q");
        QVERIFY(v["DriveLetters"].contains(u'q'));
        QCOMPARE(v["Drive[q]"], tmp.filePath("disc"));
        QCOMPARE(v["Drive[c]"], "/");
        QCOMPARE(v["FontName"], "IPAGothic");
        QCOMPARE(v["FontSize"], "12");
        QCOMPARE(v["SmallFontSize"], "9");
        QCOMPARE(v["BeepEnabled"], "0");
        QCOMPARE(v["BackupMode"], "7");
        QCOMPARE(v["MaxDirCount"], "1000");
        QCOMPARE(v["MaxEntryCount"], "3000");
        QCOMPARE(v["MaxHeaderBlocks"], "200");
        QCOMPARE(v["MaxResultLines"], "19999");
        QCOMPARE(v["HeaderFieldSearched"], "1011111110");
        QCOMPARE(v["HeaderLabelCaptions[2]"], "発行");
        QVERIFY(v.contains("HeaderLabelCaptions[4]"));
        QCOMPARE(v["MagazineTitles[2]"], "Beta");
        QCOMPARE(v["MagazinePublishers[1]"], "Pub A");
        QCOMPARE(v["MagazinePublishers[2]"], "");
        QVERIFY(!v.contains("MagazineTitles[3]"));
        QCOMPARE(v["PublisherNames[1]"], "X社");
        QVERIFY(!v.contains("PublisherNames[2]"));
        QVERIFY(v.contains("YearNames[10]"));
        QCOMPARE(v["MonthNames[13]"], "増刊");
        QCOMPARE(r.names.first(), "DataFilePath");
        // No settings file, no backup (BackupMode 7 and a catalogue present).
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"my.cfg"});
    }

    void default_path_and_message_on_stderr() {
        QTemporaryDir tmp;
        const Run r = run(tmp.path(), {});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.values["CfgFilePath"], tmp.filePath("tobrin.cfg"));
        QCOMPARE(r.values["DataFileState"], "0");
        QCOMPARE(r.values["MagazinePublishers[13]"], "翔泳社");
        QVERIFY2(r.err.contains("(071)\n\nデフォルト値で動作します。"), qPrintable(r.err));
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void bad_arguments() {
        QTemporaryDir tmp;
        QVERIFY(run(tmp.path(), {"--config"}).code != 0);
        QVERIFY(run(tmp.path(), {"extra"}).code != 0);
    }
};

QTEST_GUILESS_MAIN(TestCliConfig)
#include "tst_cli_config.moc"
