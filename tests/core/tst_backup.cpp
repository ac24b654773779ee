#include "core/backup.h"
#include "core/confirm.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Notes whether the settings file is already there when a message appears.
class OrderSeam : public ScriptedSeam {
  public:
    QString iniPath;
    QList<bool> iniExisted;
    int16_t message(const QString& text, bool yesNo) override {
        iniExisted.append(QFile::exists(iniPath));
        return ScriptedSeam::message(text, yesNo);
    }
};

// The catalogue backup and the exit / back-to-menu confirmations that lead to it.
class TestBackup : public QObject {
    Q_OBJECT
    QTemporaryDir* tmp = nullptr;

    QString path(const QString& rel) const { return tmp->filePath(rel); }

    void make_read_only(const QString& p) { QFile::setPermissions(p, QFile::ReadOwner); }

  private slots:
    void init() {
        fresh_state();
        tmp = new QTemporaryDir;
        G.DataFilePath = path("tobrin.dat");
        G.BackupFilePath = path("tobrin.$$$");
        G.IniFilePath = path("tobrin.ini");
        touch(G.DataFilePath, QByteArray("*01\r\n\"\x83\x5c\"\r\n"));
        G.DataFileState = 1;
        G.BackupFileReadOnly = 0;
    }
    void cleanup() {
        for (const QString& f : QDir(tmp->path()).entryList(QDir::Files | QDir::Hidden))
            QFile::setPermissions(path(f), QFile::ReadOwner | QFile::WriteOwner);
        delete tmp;
        tmp = nullptr;
    }

    void moments_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("moment");
        QTest::addColumn<int>("dataState");
        QTest::addColumn<bool>("copied");
        QTest::newRow("mode 0: never") << 0 << 1 << 1 << false;
        QTest::newRow("start-up enabled") << 1 << 1 << 1 << true;
        QTest::newRow("exit only, start-up moment") << 2 << 1 << 1 << false;
        QTest::newRow("all moments, registration") << 7 << 4 << 1 << true;
        QTest::newRow("catalogue absent") << 1 << 1 << 0 << false;
        QTest::newRow("catalogue name is a directory") << 1 << 1 << 5 << false;
    }
    void moments() {
        QFETCH(int, mode);
        QFETCH(int, moment);
        QFETCH(int, dataState);
        QFETCH(bool, copied);
        G.BackupMode = int16_t(mode);
        G.DataFileState = int16_t(dataState);
        ScriptedSeam seam;
        backup_data(int16_t(moment));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(QFile::exists(G.BackupFilePath), copied);
        if (copied) QCOMPARE(read_bytes(G.BackupFilePath), read_bytes(G.DataFilePath));
    }

    void replaces_the_previous_backup() {
        touch(G.BackupFilePath, QByteArray(100000, 'o'));
        G.BackupMode = 4;
        ScriptedSeam seam;
        backup_data(4);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(read_bytes(G.BackupFilePath), read_bytes(G.DataFilePath));
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void read_only_backup_is_refused_data() {
        QTest::addColumn<bool>("flagAtStart");
        QTest::newRow("flag from the start-up probe") << true;
        QTest::newRow("made read-only while running") << false;
    }
    void read_only_backup_is_refused() {
        QFETCH(bool, flagAtStart);
        touch(G.BackupFilePath, "old");
        make_read_only(G.BackupFilePath);
        G.BackupFileReadOnly = flagAtStart ? 1 : 0;
        G.BackupMode = 1;
        ScriptedSeam seam;
        seam.expect("(020)");
        backup_data(1);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(
            seam.shown.first().text,
            QStringLiteral("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ[") + G.BackupFilePath +
                QStringLiteral("]は上書き禁止となっています。(020)\r\n\r\nﾊﾞｯｸｱｯﾌﾟを中止します。"));
        QCOMPARE(read_bytes(G.BackupFilePath), QByteArray("old"));
    }

    void read_only_flag_ignored_when_mode_is_zero() {
        G.BackupFileReadOnly = 1;
        G.BackupMode = 0;
        ScriptedSeam seam;
        for (int16_t m : {1, 2, 4})
            backup_data(m);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void failed_copy_reports_and_keeps_the_old_backup_data() {
        QTest::addColumn<QString>("data");   // relative; empty: the prepared catalogue
        QTest::addColumn<QString>("backup"); // relative
        QTest::newRow("catalogue cannot be read") << "adir"
                                                  << "tobrin.$$$";
        QTest::newRow("backup directory missing") << ""
                                                  << "missing/tobrin.$$$";
        QTest::newRow("backup path names a directory") << ""
                                                       << "adir";
    }
    void failed_copy_reports_and_keeps_the_old_backup() {
        QFETCH(QString, data);
        QFETCH(QString, backup);
        QDir(tmp->path()).mkpath("adir");
        touch(path("adir/inside"), "keep");
        touch(path("tobrin.$$$"), "old");
        if (!data.isEmpty()) G.DataFilePath = path(data);
        G.BackupFilePath = path(backup);
        G.BackupMode = 2;
        ScriptedSeam seam;
        seam.expect("(021)");
        backup_data(2);
        QVERIFY2(seam.satisfied(), seam.report());
        const QString text = seam.shown.first().text;
        const QString head = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ[") + G.BackupFilePath +
                             QStringLiteral("]を作成できません。(021)\r\n\r\n");
        QVERIFY2(text.startsWith(head), qPrintable(text));
        QVERIFY(text.size() > head.size()); // the platform's reason follows
        QCOMPARE(read_bytes(path("tobrin.$$$")), QByteArray("old"));
        QCOMPARE(read_bytes(path("adir/inside")), QByteArray("keep"));
        // No temporary copy is left behind.
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"tobrin.$$$", "tobrin.dat"}));
    }

    void exit_answered_no_writes_nothing() {
        G.BackupMode = 7;
        ScriptedSeam seam;
        seam.expect("終了してよいですか。(001)", AnswerNo);
        int16_t kind = 1;
        confirm(kind);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(kind, int16_t(0));
        QVERIFY(!QFile::exists(G.IniFilePath));
        QVERIFY(!QFile::exists(G.BackupFilePath));
    }

    void exit_answered_yes_saves_backs_up_and_ends() {
        G.BackupMode = 2;
        G.FormPos(4, 1) = 77;
        ScriptedSeam seam;
        seam.expect("(001)", AnswerYes);
        int16_t kind = 1;
        QVERIFY_THROWS_EXCEPTION(Terminated, confirm(kind));
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(read_bytes(G.IniFilePath).contains("\r\n 77  ,  0  ,  4140  ,  2844 \r\n"));
        QCOMPARE(read_bytes(G.BackupFilePath), read_bytes(G.DataFilePath));
    }

    void exit_with_read_only_backup_still_ends() {
        G.BackupMode = 2;
        G.BackupFileReadOnly = 1;
        OrderSeam seam;
        seam.iniPath = G.IniFilePath;
        seam.expect("(001)", AnswerYes);
        seam.expect("(020)");
        int16_t kind = 1;
        QVERIFY_THROWS_EXCEPTION(Terminated, confirm(kind));
        QVERIFY2(seam.satisfied(), seam.report());
        // The settings are saved before the backup is tried.
        QCOMPARE(seam.iniExisted, (QList<bool>{false, true}));
    }

    void back_to_menu_and_other_kinds_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("answer"); // 0: no question is asked
        QTest::addColumn<int>("result");
        QTest::newRow("menu, yes") << 2 << 6 << 6;
        QTest::newRow("menu, no") << 2 << 7 << 7;
        QTest::newRow("kind 0") << 0 << 0 << 0;
        QTest::newRow("kind 3") << 3 << 0 << 3;
        QTest::newRow("kind -1") << -1 << 0 << -1;
    }
    void back_to_menu_and_other_kinds() {
        QFETCH(int, kind);
        QFETCH(int, answer);
        QFETCH(int, result);
        ScriptedSeam seam;
        if (answer) seam.expect("メインメニューに戻ってもよいですか。(002)", int16_t(answer));
        int16_t k = int16_t(kind);
        confirm(k);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(int(k), result);
        if (answer) QVERIFY(seam.shown.first().yesNo);
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
