// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_process.h"
#include "catalogue/writer.h"
#include "core/backup.h"
#include "core/disk_file.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
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
    // copy is left behind.
    void failed_copy_keeps_the_old_backup_data() {
        QTest::addColumn<QString>("data");   // relative; empty: the prepared catalogue
        QTest::addColumn<QString>("backup"); // relative
        QTest::newRow("catalogue cannot be read") << u"adir"_qs << u"tobrin.$$$"_qs;
        QTest::newRow("backup directory missing") << u""_qs << u"missing/tobrin.$$$"_qs;
        QTest::newRow("backup path names a directory") << u""_qs << u"adir"_qs;
        QTest::newRow("another copy is appending") << u"locked"_qs << u"tobrin.$$$"_qs;
    }
    void failed_copy_keeps_the_old_backup() {
        QFETCH(QString, data);
        QFETCH(QString, backup);
        touch(path("adir/inside"), "keep");
        QFile appending(G.DataFilePath);
        const int timeout = G.CatalogueLockTimeoutMs;
        const auto restore = qScopeGuard([timeout] { G.CatalogueLockTimeoutMs = timeout; });
        if (data == "locked") {
            G.CatalogueLockTimeoutMs = 100;
            QVERIFY(appending.open(QIODevice::ReadOnly));
            QCOMPARE(::flock(appending.handle(), LOCK_EX | LOCK_NB), 0);
        } else if (!data.isEmpty()) {
            G.DataFilePath = path(data);
        }
        G.BackupFilePath = path(backup);
        G.BackupMode = 2;
        const QString head =
            u"ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ["_qs + G.BackupFilePath + u"]を作成できません。(021)\r\n\r\n"_qs;
        ScriptedSeam seam;
        seam.expect(head);
        backup_data(2);
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(!seam.shown.first().text.endsWith(head)); // the platform's reason follows
        QCOMPARE(read_bytes(path("tobrin.$$$")), old());
        QCOMPARE(read_bytes(path("adir/inside")), QByteArray("keep"));
        QCOMPARE(files(), (QStringList{"tobrin.$$$", "tobrin.dat"}));
    }

    // A copy that runs out of room: the catalogue fits Qt's write buffer, so the failure
    // shows only when the buffer is flushed at the end. The child checks what it left (a tmpfs
    // mount is private to it) and exits 0 when the old backup is whole and alone.
    void full_disk_keeps_the_old_backup_data() {
        QTest::addColumn<bool>("tmpfs");
        QTest::newRow("file-size limit") << false;
        QTest::newRow("tmpfs full (as root)") << true;
    }
    void full_disk_keeps_the_old_backup() {
        QFETCH(bool, tmpfs);
        const QString small = path("small");
        QDir().mkpath(small);
        touch(G.DataFilePath, QByteArray(10000, 'n'));
        G.BackupFilePath = small + "/tobrin.$$$";
        G.BackupMode = 1;
        const int code = run_in_child([&] {
            if (tmpfs && !mount_small_tmpfs(small, 64)) return ChildCannotSetUp;
            touch(G.BackupFilePath, QByteArray(tmpfs ? 60000 : 100000, 'o'));
            if (!tmpfs) limit_file_size(4096);
            ScriptedSeam seam;
            seam.expect("(021)");
            backup_data(1);
            const bool kept =
                read_bytes(G.BackupFilePath) == QByteArray(tmpfs ? 60000 : 100000, 'o');
            const bool alone = QDir(small).entryList(QDir::Files | QDir::Hidden).size() == 1;
            return seam.satisfied() && kept && alone ? 0 : 1;
        });
        if (code == ChildCannotSetUp) QSKIP("a tmpfs needs root");
        QCOMPARE(code, 0);
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
