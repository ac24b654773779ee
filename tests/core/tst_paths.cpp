// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/paths.h"
#include "core/platform.h"
#include "core/state.h"
#include "test_env.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

// add_backslash is covered through check_file here and the file paths tobrin-cli config
// reports. One tree for every case: d/ holds a file, a read-only file, a hidden one, a fifo and a
// directory; drive q is pinned to d, drive b to p2, x to a missing directory.
class TestPaths : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

  private slots:
    void initTestCase() {
        fresh_state();
        const QString d = tmp.filePath("d/");
        make_dirs(tmp.path(), {"d/sub", "p2"});
        touch(d + "file.dat", "x");
        touch(d + "ro.dat", "x");
        QFile::setPermissions(d + "ro.dat", QFile::ReadOwner | QFile::ReadGroup);
        touch(d + ".hidden", "x");
        ::mkfifo(QFile::encodeName(d + "pipe").constData(), 0644);
        QFile::link(d + "sub", d + "link");
        QFile::link(d + "file.dat", d + "linkfile");
        QFile::link("ro.dat", d + "linkro");
        QFile::link(d + "gone", d + "linkgone");
        QFile::link(d + "pipe", d + "linkpipe");
        write_cp932_file(tmp.filePath("drives.cfg"),
                         {"#40:q=" + tmp.filePath("d"), "#40:B=" + tmp.filePath("p2"),
                          "#40:x=" + tmp.filePath("absent"), "%40:y=/", "#40:1=/", "#40:z"});
        platform_map_drives(tmp.filePath("drives.cfg"));
    }

    // dir: relative to the temporary directory unless drive-form; dirAfter "=": unchanged;
    // attr: the attributes of dirAfter + name itself, a link not followed (what the walk sees).
    void check_file_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("readonly");
        QTest::addColumn<QString>("dirAfter");
        QTest::addColumn<int>("attr");
        const auto row = [](const char* n, const char* d, const char* f, int s, int r,
                            const char* a, int attr) {
            QTest::newRow(n) << QString(d) << QString(f) << s << r << QString(a) << attr;
        };
        row("writable file, dir gains slash", "d", "file.dat", 1, 0, "d/", 0);
        row("read-only file", "d/", "ro.dat", 1, 1, "d/", AttrReadOnly);
        row("absent", "d/", "none.dat", 0, -1, "d/", -1);
        row("name is a directory", "d/", "sub/", 0, -1, "d/", AttrDirectory);
        row("hidden file", "d/", ".hidden", 0, -1, "d/", AttrHidden);
        row("fifo is a system file", "d/", "pipe", 0, -1, "d/", AttrSystem);
        row("link to a directory is not followed", "d/", "link", 0, -1, "d/", AttrSystem);
        row("link with slash neither", "d/", "link/", 0, -1, "d/", AttrSystem);
        row("link to a file probes the file", "d/", "linkfile", 1, 0, "d/", AttrSystem);
        row("relative link to a read-only file", "d/", "linkro", 1, 1, "d/", AttrSystem);
        row("dangling link is absent", "d/", "linkgone", 0, -1, "d/", AttrSystem);
        row("link to a fifo is no file", "d/", "linkpipe", 0, -1, "d/", AttrSystem);
        row("missing directory", "nodir/", "file.dat", 0, -1, "nodir/", -1);
        row("drive-form dir through the drive map", "q:", "file.dat", 1, 0, "q:\\", 0);
        row("empty name, long dir: no disk access", "nowhere/", "", 5, -1, "=", -1);
        row("empty name, dir without slash that exists", "d", "", 5, -1, "=", AttrDirectory);
        row("empty name, dir without slash, absent", "zz", "", 0, -1, "=", -1);
    }
    void check_file() {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(int, state);
        QFETCH(int, readonly);
        QFETCH(QString, dirAfter);
        QFETCH(int, attr);
        const auto full = [this](const QString& p) {
            return p.startsWith(u"q:") ? p : tmp.path() + u'/' + p;
        };
        QString d = full(dir);
        int16_t s = 9, r = 9;
        ::check_file(d, name, s, r);
        QCOMPARE(int(s), state);
        QCOMPARE(int(r), readonly);
        QCOMPARE(d, full(dirAfter == u"=" ? dir : dirAfter));
        QCOMPARE(path_attributes(to_local_file(d + name)), attr);
        QCOMPARE(is_symlink(to_local_file(d + name)), name.startsWith(u"link"));
    }

    void drives_with_pins() {
        QCOMPARE(check_drive(u'Q'), int16_t(1));
        QCOMPARE(check_drive(u'x'), int16_t(-1)); // pinned to a missing directory
        QCOMPARE(check_drive(u'y'), int16_t(-1)); // only "#" lines pin
        enum_drives();
        QVERIFY(G.DriveLetters.startsWith(QStringLiteral("bc")));
        QVERIFY(G.DriveLetters.contains(u'q') && !G.DriveLetters.contains(u'x'));
        QCOMPARE(drive_of_path(tmp.filePath("d/deep/er")), QChar(u'q'));
        QCOMPARE(drive_of_path(tmp.filePath("dd")), QChar(u'c'));
        QCOMPARE(local_path(QStringLiteral("q:\\DOS\\TOOLS\\")), tmp.filePath("d/DOS/TOOLS/"));
        QCOMPARE(to_local_file(QStringLiteral("Q:\\a.dat")), tmp.filePath("d/a.dat"));
        QCOMPARE(to_local_file(QStringLiteral("data\\a.dat")), QStringLiteral("data/a.dat"));
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
