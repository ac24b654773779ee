#include "core/platform.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Start-up runs in a temporary current directory; drive letters are pinned there.
class TestStartup : public QObject {
    Q_OBJECT
    QString oldCwd;
    QTemporaryDir* tmp = nullptr;

    QString path(const QString& rel) const { return tmp->filePath(rel); }

    static QStringList ini_lines(const QString& drive) {
        QStringList l{"Tobrin  Ver.1.8a"};
        for (int n = 1; n <= 8; ++n)
            l << " 10  ,  20  ,  3000  ,  2000 ";
        for (int i = 1; i <= 9; ++i)
            l << "1";
        for (int i = 10; i <= 19; ++i)
            l << QString();
        l << drive;
        return l;
    }

    QStringList pins() const {
        make_dirs(tmp->path(), {"discs/q", "discs/r"});
        return {"#40:q=" + path("discs/q"), "#40:r=" + path("discs/r")};
    }

  private slots:
    void init() {
        fresh_state();
        oldCwd = QDir::currentPath();
        tmp = new QTemporaryDir;
        QDir::setCurrent(tmp->path());
    }
    void cleanup() {
        QDir::setCurrent(oldCwd);
        delete tmp;
        tmp = nullptr;
    }

    void defaults_without_any_file() {
        ScriptedSeam seam;
        seam.expect("(071)");
        startup(QString());
        QVERIFY2(seam.satisfied(), seam.report());
        const QString dir = QDir::currentPath() + u'/';
        QCOMPARE(seam.shown.first().text.section(u'[', 1).section(u']', 0, 0), dir + "tobrin.cfg");
        QCOMPARE(G.CfgFilePath, dir + "tobrin.cfg");
        QCOMPARE(G.DataFilePath, dir + "tobrin.dat");
        QCOMPARE(G.BackupFilePath, dir + "tobrin.$$$");
        QCOMPARE(G.IniFilePath, dir + "tobrin.ini");
        QCOMPARE(G.DataFileState, int16_t(0));
        QCOMPARE(G.DataFileReadOnly, int16_t(-1));
        QCOMPARE(G.CurrentDrive, QString(drive_of_path(dir)));
        QVERIFY(G.DriveLetters.contains(u'c'));
        QCOMPARE(G.FormPos(3, 3), int16_t(8460));
        QCOMPARE(G.SavedSettings(20), G.CurrentDrive);
        QCOMPARE(G.DirPaths.size(), 1000);
        QCOMPARE(G.HeaderTable.rows(), 200);
        QCOMPARE(G.MagazineCount, int16_t(19));
        // Nothing was written.
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void argument_is_the_configuration_path_verbatim() {
        write_cp932_file(path("conf/my.cfg"), {"#05:12"});
        ScriptedSeam seam;
        startup(path("conf/my.cfg"));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.CfgFilePath, path("conf/my.cfg"));
        QCOMPARE(G.FontSize, int16_t(12));
        // The other files stay in the current directory.
        QCOMPARE(G.IniFilePath, QDir::currentPath() + "/tobrin.ini");
    }

    void drive_choice_data() {
        QTest::addColumn<QString>("savedDrive");
        QTest::addColumn<QString>("key3");
        QTest::addColumn<QString>("expected"); // "cwd" for the start-up directory's drive
        QTest::newRow("settings drive that answers") << "q"
                                                     << ""
                                                     << "q";
        QTest::newRow("settings drive upper case") << "Q"
                                                   << ""
                                                   << "q";
        QTest::newRow("settings drive absent") << "z"
                                               << ""
                                               << "cwd";
        QTest::newRow("settings value too long") << "qr"
                                                 << ""
                                                 << "cwd";
        QTest::newRow("configuration wins over settings") << "q"
                                                          << "#03:r"
                                                          << "r";
        QTest::newRow("configuration letter absent") << "q"
                                                     << "#03:z"
                                                     << "q";
    }
    void drive_choice() {
        QFETCH(QString, savedDrive);
        QFETCH(QString, key3);
        QFETCH(QString, expected);
        write_cp932_file(path("tobrin.ini"), ini_lines(savedDrive));
        QStringList cfg = pins();
        if (!key3.isEmpty()) cfg << key3;
        write_cp932_file(path("tobrin.cfg"), cfg);
        ScriptedSeam seam;
        startup(QString());
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(G.DriveLetters.contains(QStringLiteral("qr")));
        QCOMPARE(G.CurrentDrive,
                 expected == u"cwd" ? QString(drive_of_path(tmp->path())) : expected);
        QCOMPARE(G.FormPos(2, 1), int16_t(10)); // the settings file was taken
    }

    void header_fields_three_and_ten_are_forced() {
        write_cp932_file(path("tobrin.cfg"), {"#22:0", "#29:1", "#20:0"});
        ScriptedSeam seam;
        startup(QString());
        QCOMPARE(G.HeaderFieldSearched(1), int16_t(0));
        QCOMPARE(G.HeaderFieldSearched(3), int16_t(1));
        QCOMPARE(G.HeaderFieldSearched(10), int16_t(0));
    }

    void probes_and_configured_directories() {
        make_dirs(tmp->path(), {"data", "bak"});
        touch(path("data/cat.dat"), "*01\r\n");
        touch(path("bak/cat.bak"), "old");
        QFile::setPermissions(path("bak/cat.bak"), QFile::ReadOwner);
        write_cp932_file(path("tobrin.cfg"), {"#01:cat.dat", "#02:" + path("data"), "#11:cat.bak",
                                              "#12:" + path("bak")});
        ScriptedSeam seam;
        startup(QString());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.DataFilePath, path("data/cat.dat"));
        QCOMPARE(G.BackupFilePath, path("bak/cat.bak"));
        QCOMPARE(G.DataFileState, int16_t(1));
        QCOMPARE(G.DataFileReadOnly, int16_t(0));
        QCOMPARE(G.BackupFileState, int16_t(1));
        QCOMPARE(G.BackupFileReadOnly, int16_t(1));
        QCOMPARE(G.CfgFileState, int16_t(1));
        QCOMPARE(G.IniFileState, int16_t(0));
        QFile::setPermissions(path("bak/cat.bak"), QFile::ReadOwner | QFile::WriteOwner);
    }

    void startup_backup_only_with_side_effects() {
        touch(path("tobrin.dat"), "catalogue bytes");
        write_cp932_file(path("tobrin.cfg"), {"#13:1"});
        {
            ScriptedSeam seam;
            startup(QString(), false);
            QVERIFY2(seam.satisfied(), seam.report());
            QVERIFY(!QFile::exists(path("tobrin.$$$")));
        }
        fresh_state();
        ScriptedSeam seam;
        startup(QString());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(read_bytes(path("tobrin.$$$")), QByteArray("catalogue bytes"));
    }

    void startup_backup_refused_when_read_only() {
        touch(path("tobrin.dat"), "new");
        touch(path("tobrin.$$$"), "old");
        QFile::setPermissions(path("tobrin.$$$"), QFile::ReadOwner);
        write_cp932_file(path("tobrin.cfg"), {"#13:1"});
        ScriptedSeam seam;
        seam.expect("(020)");
        startup(QString());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(read_bytes(path("tobrin.$$$")), QByteArray("old"));
        QFile::setPermissions(path("tobrin.$$$"), QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
