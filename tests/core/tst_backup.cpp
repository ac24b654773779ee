// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/writer.h"
#include "child_process.h"
#include "core/backup.h"
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

  private slots:
    void init() {
        fresh_state();
        tmp = std::make_unique<QTemporaryDir>();
        G.DataFilePath = path("tobrin.dat");
        G.BackupFilePath = path("tobrin.$$$");
        touch(G.DataFilePath, QByteArray("*01\r\n\"\x83\x5c\"\r\n"));
        touch(G.BackupFilePath, QByteArray(100000, 'o'));
        G.DataFileState = 1;
        G.CatalogueLockTimeoutMs = 100;
    }

    // When the backup is made, and what stops it: 020 for a read-only backup, 021 with the
    // platform's reason for a copy that fails, which leaves the previous backup and no
    // temporary copy. A copy that runs out of room runs in a child under a file-size limit,
    // so it fails for every user.
    void moments_and_faults_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("moment");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("message"); // 0: none, copied when mode and moment meet
        QTest::newRow("mode 0: never, read-only flag unseen") << 0 << 1 << "probed read-only" << 0;
        QTest::newRow("start-up enabled") << 1 << 1 << "none" << 0;
        QTest::newRow("exit only, start-up moment") << 2 << 1 << "none" << 0;
        QTest::newRow("all moments, registration") << 7 << 4 << "none" << 0;
        QTest::newRow("catalogue absent") << 1 << 1 << "absent" << 0;
        QTest::newRow("read-only flag from the probe") << 1 << 1 << "probed read-only" << 20;
        QTest::newRow("made read-only while running") << 1 << 1 << "read-only" << 20;
        QTest::newRow("catalogue cannot be read") << 2 << 2 << "catalogue a folder" << 21;
        QTest::newRow("backup directory missing") << 2 << 2 << "no backup folder" << 21;
        QTest::newRow("backup path names a directory") << 2 << 2 << "backup a folder" << 21;
        QTest::newRow("another copy is appending") << 2 << 2 << "locked" << 21;
        QTest::newRow("copy runs out of room") << 2 << 2 << "full" << 21;
    }
    void moments_and_faults() {
        QFETCH(int, mode);
        QFETCH(int, moment);
        QFETCH(QString, fault);
        QFETCH(int, message);
        touch(path("adir/inside"), "keep");
        G.BackupMode = int16_t(mode);
        G.DataFileState = fault == "absent" ? 0 : 1;
        G.BackupFileReadOnly = fault == "probed read-only";
        if (fault == "read-only") QFile::setPermissions(G.BackupFilePath, QFile::ReadOwner);
        QFile appending(G.DataFilePath);
        if (fault == "locked")
            QVERIFY(appending.open(QIODevice::ReadOnly) &&
                    ::flock(appending.handle(), LOCK_EX | LOCK_NB) == 0);
        if (fault == "full") touch(G.DataFilePath, QByteArray(10000, 'n'));
        if (fault == "catalogue a folder") G.DataFilePath = path("adir");
        if (fault == "backup a folder") G.BackupFilePath = path("adir");
        if (fault == "no backup folder") G.BackupFilePath = path("missing/tobrin.$$$");
        const QString head = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ[") + G.BackupFilePath + u']';
        const auto backup = [&] {
            ScriptedSeam seam;
            if (message == 20)
                seam.expect(head +
                            QStringLiteral(
                                "は上書き禁止となっています。(020)\r\n\r\nﾊﾞｯｸｱｯﾌﾟを中止します。"));
            if (message == 21)
                seam.expect(
                    head + QStringLiteral("を作成できません。(021)\r\n\r\n") +
                    (fault == "full" ? QString::fromLocal8Bit(std::strerror(EFBIG)) : QString()));
            backup_data(int16_t(moment));
            // 021 gives the platform's reason.
            const bool reason = message != 21 || !seam.shown.first().text.endsWith(u'\n');
            return seam.satisfied() && reason ? 0 : 1;
        };
        QCOMPARE(fault == "full" ? run_in_child(backup, 4096) : backup(), 0);
        const bool copied = message == 0 && fault == "none" && (mode & moment);
        QCOMPARE(read_bytes(path("tobrin.$$$")),
                 copied ? read_bytes(path("tobrin.dat")) : QByteArray(100000, 'o'));
        QCOMPARE(read_bytes(path("adir/inside")), QByteArray("keep"));
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"tobrin.$$$", "tobrin.dat"}));
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
        QCOMPARE((QList<int>{G.DataFileState, G.DataFileReadOnly, G.BackupFileState,
                             G.BackupFileReadOnly, G.CfgFileState}),
                 (QList<int>{1, 0, 1, 1, 1}));
        QVERIFY2(seam.satisfied(), seam.report());
        seam.expect("(020)");
        settle_at_startup();
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
