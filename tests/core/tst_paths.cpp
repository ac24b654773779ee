#include "core/paths.h"
#include "core/platform.h"
#include "core/state.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestPaths : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

  private slots:
    void add_backslash_data() {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("drive root stays") << "C:\\"
                                          << "C:\\";
        QTest::newRow("empty becomes backslash") << ""
                                                 << "\\";
        QTest::newRow("catalogue path") << "\\DOS"
                                        << "\\DOS\\";
        QTest::newRow("bare drive") << "q:"
                                    << "q:\\";
        QTest::newRow("local directory") << "/srv/data"
                                         << "/srv/data/";
        QTest::newRow("local root stays") << "/"
                                          << "/";
        QTest::newRow("relative local") << "data"
                                        << "data/";
        QTest::newRow("already ends in slash") << "/tmp/"
                                               << "/tmp/";
    }
    void add_backslash() {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QString var = in;
        QCOMPARE(::add_backslash(var), out);
        QCOMPARE(var, out); // the caller's variable changes too
    }

    void check_file_data() {
        QTest::addColumn<QString>("dir"); // relative to the temporary directory, or absolute
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("readonly");
        QTest::addColumn<QString>("dirAfter"); // relative; "=" unchanged
        QTest::newRow("writable file, dir gains slash") << "d"
                                                        << "file.dat" << 1 << 0 << "d/";
        QTest::newRow("read-only file") << "d/"
                                        << "ro.dat" << 1 << 1 << "d/";
        QTest::newRow("absent") << "d/"
                                << "none.dat" << 0 << -1 << "d/";
        QTest::newRow("name is a directory") << "d/"
                                             << "sub" << 0 << -1 << "d/";
        QTest::newRow("hidden file") << "d/"
                                     << ".hidden" << 0 << -1 << "d/";
        QTest::newRow("fifo is a system file") << "d/"
                                               << "pipe" << 0 << -1 << "d/";
        QTest::newRow("missing directory") << "nodir/"
                                           << "file.dat" << 0 << -1 << "nodir/";
        QTest::newRow("empty name, long dir: no disk access") << "nowhere/"
                                                              << "" << 5 << -1 << "=";
        QTest::newRow("empty name, dir without slash that exists") << "d"
                                                                   << "" << 5 << -1 << "=";
        QTest::newRow("empty name, dir without slash, absent") << "zz"
                                                               << "" << 0 << -1 << "=";
    }
    void check_file() {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(int, state);
        QFETCH(int, readonly);
        QFETCH(QString, dirAfter);
        const QString base = tmp.path() + u'/';
        make_dirs(tmp.path(), {"d/sub"});
        touch(base + "d/file.dat", "x");
        touch(base + "d/ro.dat", "x");
        QFile::setPermissions(base + "d/ro.dat", QFile::ReadOwner | QFile::ReadGroup);
        touch(base + "d/.hidden", "x");
        ::mkfifo(QFile::encodeName(base + "d/pipe").constData(), 0644);
        QString d = base + dir;
        int16_t s = 9, r = 9;
        ::check_file(d, name, s, r);
        QCOMPARE(int(s), state);
        QCOMPARE(int(r), readonly);
        QCOMPARE(d, dirAfter == u"=" ? base + dir : base + dirAfter);
    }

    void attributes_data() {
        QTest::addColumn<QString>("rel");
        QTest::addColumn<int>("attr");
        QTest::newRow("ordinary file") << "a/file" << 0;
        QTest::newRow("no write bit") << "a/ro" << int(AttrReadOnly);
        QTest::newRow("hidden") << "a/.dot" << int(AttrHidden);
        QTest::newRow("directory") << "a/dir" << int(AttrDirectory);
        QTest::newRow("directory with slash") << "a/dir/" << int(AttrDirectory);
        QTest::newRow("link to a directory") << "a/link" << int(AttrSystem);
        QTest::newRow("link with slash is not followed") << "a/link/" << int(AttrSystem);
        QTest::newRow("missing") << "a/none" << -1;
    }
    void attributes() {
        QFETCH(QString, rel);
        QFETCH(int, attr);
        const QString base = tmp.filePath("a");
        make_dirs(base, {"dir"});
        touch(base + "/file", "x");
        touch(base + "/ro", "x");
        QFile::setPermissions(base + "/ro", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        touch(base + "/.dot", "x");
        QFile::link(base + "/dir", base + "/link");
        QCOMPARE(path_attributes(tmp.filePath(rel)), attr);
        QCOMPARE(is_symlink(tmp.filePath(rel)), rel.startsWith(u"a/link"));
    }

    void check_file_drive_form_path() {
        // A drive-form directory goes through the drive map.
        make_dirs(tmp.path(), {"disc/DATA"});
        touch(tmp.filePath("disc/DATA/cat.dat"), "x");
        write_cp932_file(tmp.filePath("pins.cfg"), {"#40:q=" + tmp.filePath("disc")});
        platform_map_drives(tmp.filePath("pins.cfg"));
        QString d = QStringLiteral("q:\\DATA");
        int16_t s = 0, r = 0;
        ::check_file(d, QStringLiteral("cat.dat"), s, r);
        QCOMPARE(d, QStringLiteral("q:\\DATA\\"));
        QCOMPARE(s, int16_t(1));
        QCOMPARE(r, int16_t(0));
    }

    void drives_with_pins() {
        fresh_state();
        make_dirs(tmp.path(), {"p1", "p2"});
        write_cp932_file(tmp.filePath("drives.cfg"),
                         {"#40:q=" + tmp.filePath("p1"), "#40:B=" + tmp.filePath("p2"),
                          "#40:x=" + tmp.filePath("absent"), "%40:y=/", "#40:1=/", "#40:z"});
        platform_map_drives(tmp.filePath("drives.cfg"));
        QCOMPARE(check_drive(u'q'), int16_t(1));
        QCOMPARE(check_drive(u'Q'), int16_t(1));
        QCOMPARE(check_drive(u'x'), int16_t(-1)); // pinned to a missing directory
        QCOMPARE(check_drive(u'y'), int16_t(-1)); // only "#" lines pin
        QCOMPARE(check_drive(u'c'), int16_t(1));
        enum_drives();
        QVERIFY(G.DriveLetters.startsWith(QStringLiteral("bc")));
        QVERIFY(G.DriveLetters.contains(u'q'));
        QVERIFY(!G.DriveLetters.contains(u'x'));
        QVERIFY(!G.DriveLetters.contains(u'y'));
        QCOMPARE(G.DriveLetters, G.DriveLetters.toLower());
        QString sorted = G.DriveLetters;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(G.DriveLetters, sorted);
        QCOMPARE(drive_of_path(tmp.filePath("p1/deep/er")), QChar(u'q'));
        QCOMPARE(drive_of_path(tmp.filePath("p10")), QChar(u'c'));
        QCOMPARE(local_path(QStringLiteral("q:\\DOS\\TOOLS\\")), tmp.filePath("p1/DOS/TOOLS/"));
        QCOMPARE(to_local_file(QStringLiteral("Q:\\a.dat")), tmp.filePath("p1/a.dat"));
        QCOMPARE(to_local_file(QStringLiteral("data\\a.dat")), QStringLiteral("data/a.dat"));
        QCOMPARE(to_local_file(QStringLiteral("/srv/a.dat")), QStringLiteral("/srv/a.dat"));
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
