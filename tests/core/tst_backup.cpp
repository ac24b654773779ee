// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/writer.h"
#include "child_process.h"
#include "core/backup.h"
#include "core/disk_file.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/file.h>

// The catalogue backup, also as start-up makes it (on exit: see the main menu's tests). The
// previous backup is larger than the catalogue, so a copy that does not replace it whole shows.
class TestBackup : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;

    QString path(const QString& rel) const { return tmp->filePath(rel); }
    QStringList files() const { return QDir(tmp->path()).entryList(QDir::Files | QDir::Hidden); }
    static QByteArray old() { return QByteArray(100000, 'o'); }

  private slots:
    void init() {
        fresh_state();
        tmp = std::make_unique<QTemporaryDir>();
        G.DataFilePath = path("tobrin.dat");
        G.BackupFilePath = path("tobrin.$$$");
        touch(G.DataFilePath, QByteArray("*01\r\n\"\x83\x5c\"\r\n"));
        touch(G.BackupFilePath, old());
        G.DataFileState = 1;
    }

    // readOnly: 1 the start-up probe's flag, 2 the file made read-only since.
    void moments_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("moment");
        QTest::addColumn<int>("dataState");
        QTest::addColumn<int>("readOnly");
        QTest::addColumn<bool>("copied");
        QTest::newRow("mode 0: never, read-only flag unseen") << 0 << 1 << 1 << 1 << false;
        QTest::newRow("start-up enabled") << 1 << 1 << 1 << 0 << true;
        QTest::newRow("exit only, start-up moment") << 2 << 1 << 1 << 0 << false;
        QTest::newRow("all moments, registration") << 7 << 4 << 1 << 0 << true;
        QTest::newRow("catalogue absent") << 1 << 1 << 0 << 0 << false;
        QTest::newRow("read-only flag from the probe: 020") << 1 << 1 << 1 << 1 << false;
        QTest::newRow("made read-only while running: 020") << 1 << 1 << 1 << 2 << false;
    }
    void moments() {
        QFETCH(int, mode);
        QFETCH(int, moment);
        QFETCH(int, dataState);
        QFETCH(int, readOnly);
        QFETCH(bool, copied);
        G.BackupMode = int16_t(mode);
        G.DataFileState = int16_t(dataState);
        G.BackupFileReadOnly = readOnly == 1;
        if (readOnly == 2) QFile::setPermissions(G.BackupFilePath, QFile::ReadOwner);
        ScriptedSeam seam;
        if (mode && readOnly)
            seam.expect(u"ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ["_qs + G.BackupFilePath +
                        u"]は上書き禁止となっています。(020)\r\n\r\nﾊﾞｯｸｱｯﾌﾟを中止します。"_qs);
        backup_data(int16_t(moment));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(read_bytes(G.BackupFilePath), copied ? read_bytes(G.DataFilePath) : old());
        QCOMPARE(files(), (QStringList{"tobrin.$$$", "tobrin.dat"}));
    }

    // Message 021 with the platform's reason; the previous backup survives, no temporary
    // copy is left behind. A copy that runs out of room fails only when Qt's write buffer is
    // flushed at the end: it runs in a child under a file-size limit, so it fails for every user.
    void failed_copy_keeps_the_old_backup_data() {
        QTest::addColumn<QString>("data");   // relative; empty: the prepared catalogue
        QTest::addColumn<QString>("backup"); // relative
        QTest::newRow("catalogue cannot be read") << u"adir"_qs << u"tobrin.$$$"_qs;
        QTest::newRow("backup directory missing") << u""_qs << u"missing/tobrin.$$$"_qs;
        QTest::newRow("backup path names a directory") << u""_qs << u"adir"_qs;
        QTest::newRow("another copy is appending") << u"locked"_qs << u"tobrin.$$$"_qs;
        QTest::newRow("copy runs out of room") << u"full"_qs << u"tobrin.$$$"_qs;
    }
    void failed_copy_keeps_the_old_backup() {
        QFETCH(QString, data);
        QFETCH(QString, backup);
        touch(path("adir/inside"), "keep");
        QFile appending(G.DataFilePath);
        G.CatalogueLockTimeoutMs = 100;
        if (data == "locked")
            QVERIFY(appending.open(QIODevice::ReadOnly) &&
                    ::flock(appending.handle(), LOCK_EX | LOCK_NB) == 0);
        if (data == "full") touch(G.DataFilePath, QByteArray(10000, 'n'));
        if (data == "adir") G.DataFilePath = path(data);
        G.BackupFilePath = path(backup);
        G.BackupMode = 2;
        const QString head =
            u"ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ["_qs + G.BackupFilePath + u"]を作成できません。(021)\r\n\r\n"_qs;
        const auto copy = [&] {
            ScriptedSeam seam;
            seam.expect(data == "full" ? head + QString::fromLocal8Bit(std::strerror(EFBIG))
                                       : head);
            backup_data(2);
            // The platform's reason follows.
            return seam.satisfied() && !seam.shown.first().text.endsWith(head) ? 0 : 1;
        };
        QCOMPARE(data == "full" ? run_in_child([&] {
                     limit_file_size(4096);
                     return copy();
                 })
                                : copy(),
                 0);
        QCOMPARE(read_bytes(path("tobrin.$$$")), old());
        QCOMPARE(read_bytes(path("adir/inside")), QByteArray("keep"));
        QCOMPARE(files(), (QStringList{"tobrin.$$$", "tobrin.dat"}));
    }

    // Start-up sets each file's probe flags and backs up (moment 1) only with side effects:
    // here it meets the read-only backup it found and refuses with 020.
    void startup_probes_then_backs_up() {
        touch(path("bak/cat.bak"), "old");
        QFile::setPermissions(path("bak/cat.bak"), QFile::ReadOwner);
        write_cp932_file(path("my.cfg"),
                         {"#02:" + tmp->path(), "#11:cat.bak", "#12:" + path("bak"), "#13:1"});
        ScriptedSeam seam;
        // The configuration is probed where the argument names it, absolute or relative.
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(tmp->path());
        startup(QStringLiteral("my.cfg"));
        QDir::setCurrent(cwd);
        QCOMPARE(G.CfgFileState, int16_t(1));
        startup(path("my.cfg"));
        QCOMPARE((QList<int>{G.DataFileState, G.DataFileReadOnly, G.BackupFileState,
                             G.BackupFileReadOnly, G.CfgFileState}),
                 (QList<int>{1, 0, 1, 1, 1}));
        QVERIFY2(seam.satisfied(), seam.report());
        seam.expect("(020)");
        startup(path("my.cfg"));
        settle_at_startup();
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
