// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue writer and the escape of text code page 932 cannot hold.
#include "catalogue/escape.h"
#include "catalogue/writer.h"
#include "child_process.h"
#include "core/codepage.h"
#include "core/paths.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "catalogue/catalogue_check.h"
#include "test_env.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QByteArray WorkedExample =
    "*01\r\n\"Sample Disc\"\r\n\"Example Press\"\r\n"
    "\"first line$RET$$LF$second line\"\r\n\"1999\"\r\n\"5\"\r\n"
    "\"memo\"\r\n\"1999/05/12 10:30:00\"\r\n\"MYDISC\"\r\n\"q\"\r\n\"\"\r\n"
    "*02\r\n\\\r\n\\TOOLS\\\r\n*03\r\n1,DOCS\r\n1,TOOLS\r\n2,BIN\r\n";

// The registration of the worked example, with catalogue files in a temporary directory.
struct Example {
    QTemporaryDir dir;
    Example();
};
Example::Example() {
    fresh_state();
    G.DataDir = G.BackupDir = dir.path() + u'/';
    G.DataFilePath = G.DataDir + G.DataFileName;
    G.BackupFilePath = G.BackupDir + G.BackupFileName;
    G.HeaderTable.redim(G.MaxHeaderBlocks);
    const QStringList fields = QStringLiteral("Sample Disc|Example Press|first line\r\nsecond line|"
                                              "1999|5|memo|データ登録時に設定します。|MYDISC|q")
                                   .split(u'|');
    for (int f = 1; f <= 9; ++f)
        G.HeaderTable(1, f) = fields[f - 1];
    G.DirPaths = Array1<QString>{"\\", "\\TOOLS\\"};
    G.DirCount = 2;
    G.EntryNames = Array1<QString>{"DOCS", "TOOLS", "BIN"};
    G.EntryParentIndex = Array1<int16_t>{1, 1, 2};
    G.EntryCount = 3;
    G.ProgressFlags = 3;
}
// Answers every message with OK and keeps their numbers, for runs whose messages depend on
// where a kill struck.
struct RecordingSeam : Seam {
    RecordingSeam() { set_seam(this); }
    ~RecordingSeam() override { set_seam(nullptr); }
    int16_t message(const QString& text, bool) override {
        numbers += text.mid(text.indexOf(u'(') + 1, 3) + u' ';
        return AnswerOk;
    }
    [[noreturn]] void terminate() override { ::_exit(3); }
    QString numbers;
};

// "*01", one header line and part of the next: the block a killed append left.
const QByteArray Whole = "*01\r\n\"a\"\r\n";
const QByteArray Block = "*01\r\n\"torn\"\r\n";
const QByteArray Torn = Block.left(8);
} // namespace

// A build with AddressSanitizer appends many times slower: fewer kills keep it in time.
#if defined(__SANITIZE_ADDRESS__)
constexpr int KillsEachWay = 1;
#else
constexpr int KillsEachWay = 2;
#endif

class TestWriter : public QObject {
    Q_OBJECT
  private slots:
    void block_lines_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("a field that is itself a marker") << 1 << "*01" << QByteArray("\"*01\"");
        QTest::newRow("quotes inside a field") << 2 << "say \"hi\"" << QByteArray("\"say \"hi\"\"");
        QTest::newRow("memo with a lone LF and a literal $RET$")
            << 3 << "\r\na\n$RET$" << QByteArray("\"$RET$$LF$a$LF$$RET$\"");
        QTest::newRow("line break outside the memo") << 6 << "a\nb" << QByteArray("\"a&#10;b\"");
        QTest::newRow("Japanese in code page 932")
            << 1 << "月刊ﾃｽﾄ" << QByteArray("\"\x8c\x8e\x8a\xa7\xc3\xbd\xc4\"");
    }
    void block_lines() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        Example ex;
        G.HeaderTable(1, field) = text;
        const QList<QByteArray> lines = encode_catalogue_block().split('\n');
        QCOMPARE(lines.size(), 19);
        QCOMPARE(lines[field], line + '\r');
    }

    void no_parents_and_awkward_names() {
        Example ex;
        G.DirCount = 0;
        G.EntryCount = 1;
        G.EntryNames(1) = QStringLiteral("a, b\n*01 😀");
        QVERIFY(encode_catalogue_block().endsWith(
            "\"\"\r\n*02\r\n*03\r\n1,a, b&#10;*01 &#128512;\r\n"));
    }

    // The worked example byte for byte, on a new file and appended to one that was edited
    // by hand and lost its last line break.
    void new_file_then_append() {
        Example ex;
        G.BackupMode = 4;
        // The worked example as written at the stamp now in field 7.
        const auto stamped = [] {
            return QByteArray(WorkedExample)
                .replace("1999/05/12 10:30:00", G.HeaderTable(1, 7).toLatin1());
        };
        ScriptedSeam seam;
        seam.expect("データファイル[" + G.DataFilePath +
                    QStringLiteral("]が見つかりません。(111)\r\n\r\n新規作成します。"));
        seam.expect("データファイル[" + G.DataDir +
                    QStringLiteral("tobrin.dat]を書き込み完了しました。(105)"));
        int16_t result = -1;
        write_data(result);
        QCOMPARE(result, int16_t(1));
        QVERIFY(QDateTime::fromString(G.HeaderTable(1, 7), "yyyy/MM/dd HH:mm:ss").isValid());
        const QByteArray first = stamped();
        QCOMPARE(read_bytes(G.DataFilePath), first);
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QCOMPARE(read_bytes(G.BackupFilePath), first); // the after-registration backup

        // Without its last line end, and with a lone CR (only its LF is added): read back whole.
        for (const int cut : {2, 1}) {
            write_bytes(G.DataFilePath, first.chopped(cut));
            G.HeaderTable(1, 1) = QStringLiteral("Second");
            seam.expect(QStringLiteral("(105)"));
            write_data(result);
            QCOMPARE(result, int16_t(1));
            QCOMPARE(read_bytes(G.DataFilePath),
                     first + stamped().replace("Sample Disc", "Second"));
            QList<CatalogueFault> faults;
            QVERIFY(check_catalogue(G.DataFilePath, faults) && faults.isEmpty());
        }
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void failures_leave_the_file_as_it_was_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("detail");
        QTest::newRow("read-only file") << "readonly"
                                        << "データファイルが書込禁止となっています。";
        QTest::newRow("write fails half way") << "full"
                                              << "( Error Code 27  : File too large）";
        QTest::newRow("another copy is appending")
            << "locked"
            << "( Error Code 16  : Device or resource busy）";
        QTest::newRow("a new catalogue cannot be filled: removed again")
            << "new"
            << "( Error Code 27  : File too large）";
    }
    void failures_leave_the_file_as_it_was() {
        QFETCH(QString, how);
        QFETCH(QString, detail);
        Example ex;
        const bool fresh = how == "new";
        const QByteArray before =
            fresh ? QByteArray() : QByteArray("*01\r\n\"old\"\r\n").repeated(50);
        if (!fresh) write_bytes(G.DataFilePath, before);
        QFile other(G.DataFilePath);
        QVERIFY(fresh || other.open(QIODevice::ReadOnly));
        rlimit saved{};
        if (how == "readonly") QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        const int timeout = G.CatalogueLockTimeoutMs;
        G.CatalogueLockTimeoutMs = 200;
        const auto restore = qScopeGuard([timeout] { G.CatalogueLockTimeoutMs = timeout; });
        if (how == "locked") QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
        if (how == "full" || fresh) {
            // The file may grow by a few bytes only: the block's write stops part way.
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = rlim_t(before.size() + 40);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        ScriptedSeam seam;
        if (fresh) seam.expect("(111)");
        seam.expect("データファイル[" + G.DataDir +
                    QStringLiteral("tobrin.dat]を書き込めません。(106)\r\n\r\n") + detail +
                    QStringLiteral("\r\n\r\nデータの書き込みを中断します。"));
        int16_t result = -1;
        write_data(result);
        if (how == "full" || fresh) setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(result, int16_t(0));
        QCOMPARE(read_bytes(G.DataFilePath), before);
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(QDir(ex.dir.path()).entryList(QDir::Files),
                 fresh ? QStringList() : QStringList{"tobrin.dat"});
    }

    // A catalogue path that names no regular file is a missing catalogue that cannot be
    // made: 111, then 106; nothing is opened, nothing written beside it.
    void not_a_file_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("detail");
        QTest::newRow("directory") << "dir"
                                   << "( Error Code 21  : Is a directory）";
        QTest::newRow("fifo") << "fifo"
                              << "( Error Code 22  : Invalid argument）";
        QTest::newRow("link to a device") << "device"
                                          << "( Error Code 22  : Invalid argument）";
    }
    void not_a_file() {
        QFETCH(QString, kind);
        QFETCH(QString, detail);
        Example ex;
        const QByteArray p = QFile::encodeName(G.DataFilePath);
        if (kind == "dir") QVERIFY(QDir().mkdir(G.DataFilePath));
        if (kind == "fifo") QCOMPARE(::mkfifo(p.constData(), 0644), 0);
        if (kind == "device") QVERIFY(QFile::link("/dev/null", G.DataFilePath));
        int16_t state = 9, ro = 9;
        check_file(G.DataDir, G.DataFileName, state, ro);
        QCOMPARE(state, int16_t(0));
        ScriptedSeam seam;
        seam.expect("(111)");
        seam.expect(QStringLiteral("(106)\r\n\r\n") + detail);
        int16_t result = -1;
        write_data(result);
        QCOMPARE(result, int16_t(0));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(
            QDir(ex.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
            QStringList{"tobrin.dat"});
    }

    // A catalogue and a backup that are symbolic links stand for the files they name: probed
    // as present, appended to and copied, their modes kept, the links kept; a dangling link
    // makes its file (111); a read-only backup behind a link refuses (020).
    void linked_files_data() {
        QTest::addColumn<bool>("exist");
        QTest::addColumn<bool>("readOnlyBackup");
        QTest::newRow("links to files elsewhere") << true << false;
        QTest::newRow("dangling links") << false << false;
        QTest::newRow("link to a read-only backup") << true << true;
    }
    void linked_files() {
        QFETCH(bool, exist);
        QFETCH(bool, readOnlyBackup);
        Example ex;
        QTemporaryDir elsewhere;
        const QString real = elsewhere.filePath("real.dat"), backup = elsewhere.filePath("bak");
        const QByteArray before = exist ? QByteArray("*01\r\n") : QByteArray();
        const mode_t backupMode = readOnlyBackup ? 0444 : 0604;
        if (exist) {
            write_bytes(real, before);
            write_bytes(backup, "old");
            ::chmod(QFile::encodeName(real).constData(), 0604);
            ::chmod(QFile::encodeName(backup).constData(), backupMode);
        }
        QVERIFY(QFile::link(real, G.DataFilePath) && QFile::link(backup, G.BackupFilePath));
        check_file(G.DataDir, G.DataFileName, G.DataFileState, G.DataFileReadOnly);
        check_file(G.BackupDir, G.BackupFileName, G.BackupFileState, G.BackupFileReadOnly);
        QCOMPARE(G.DataFileState, int16_t(exist ? 1 : 0));
        QCOMPARE(G.BackupFileReadOnly, int16_t(readOnlyBackup ? 1 : exist ? 0 : -1));
        G.BackupMode = 4;
        ScriptedSeam seam;
        if (!exist) seam.expect("(111)");
        seam.expect("(105)");
        if (readOnlyBackup) seam.expect("(020)");
        int16_t result = -1;
        write_data(result);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(result, int16_t(1));
        const QByteArray after = read_bytes(real);
        QVERIFY(after.startsWith(before + "*01\r\n\"Sample Disc\""));
        QCOMPARE(read_bytes(backup), readOnlyBackup ? QByteArray("old") : after);
        QVERIFY(QFileInfo(G.DataFilePath).isSymLink() && QFileInfo(G.BackupFilePath).isSymLink());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(backup).constData(), &st), 0);
        if (exist) QCOMPARE(st.st_mode & 0777, backupMode);
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), (QStringList{"bak", "real.dat"}));
    }

    // A writable catalogue and backup in a folder the user cannot write (run as nobody): the
    // lock is on the catalogue itself, no journal can be made, so the block is appended as it
    // always was and the backup is rewritten in place.
    void shared_folder() {
        Example ex;
        const QByteArray before = QByteArray("*01\r\n\"old\"\r\n");
        write_bytes(G.DataFilePath, before);
        write_bytes(G.BackupFilePath, "old backup");
        G.BackupMode = 4;
        G.DataFileState = 1;
        G.DataFileReadOnly = 0;
        for (const QString& f : {G.DataFilePath, G.BackupFilePath})
            QFile::setPermissions(f, QFile::Permissions(0x6666));
        QFile::setPermissions(ex.dir.path(), QFile::Permissions(0x5555));
        const int code = run_in_child([] {
            if (!drop_root()) return ChildCannotSetUp;
            ScriptedSeam seam;
            seam.expect("(105)");
            int16_t result = 0;
            write_data(result);
            return result == 1 && seam.satisfied() ? 0 : 1;
        });
        QFile::setPermissions(ex.dir.path(), QFile::Permissions(0x7700));
        if (code == ChildCannotSetUp) QSKIP("cannot become nobody");
        QCOMPARE(code, 0);
        const QByteArray after = read_bytes(G.DataFilePath);
        QVERIFY(after.startsWith(before + "*01\r\n"));
        QCOMPARE(read_bytes(G.BackupFilePath), after);
        QCOMPARE(QDir(ex.dir.path()).entryList(QDir::Files),
                 (QStringList{"tobrin.$$$", "tobrin.dat"}));
    }

    // A journal left behind is acted on under the lock at start-up and before a registration
    // only where it proves the tail is its own torn block: then the tail is cut (112). Any
    // other journal is moved aside (113) and the catalogue stays byte for byte. A run that
    // writes nothing (config, check) only says what will happen.
    void journal_left_behind_data() {
        QTest::addColumn<QString>("next"); // startup, write, or locked (start-up, lock held)
        QTest::addColumn<QString>("kind"); // what lies under the journal's name
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message"); // 112, 113 or none
        const QByteArray own = journal_for(Whole, Block);
        const auto row = [](const char* name, const char* next, const char* kind,
                            const QByteArray& journal, const QByteArray& file,
                            const char* message) {
            QTest::newRow(name) << next << kind << journal << file << message;
        };
        row("own torn block, start-up", "startup", "file", own, Whole + Torn, "112");
        row("own torn block, next registration", "write", "file", own, Whole + Torn, "112");
        row("own whole block not yet confirmed", "startup", "file", own, Whole + Block, "112");
        row("own, nothing appended yet", "startup", "file", own, Whole, "");
        row("a bare length (stale)", "write", "file", "10\r\n", Whole + Torn, "113");
        row("another file of the same length", "startup", "file",
            journal_for(QByteArray(Whole).replace('a', 'b'), Block), Whole + Torn, "113");
        row("file grown past the block", "startup", "file", own, Whole + Block + Whole, "113");
        row("file shorter than the length", "startup", "file", own, Torn, "113");
        row("tail not the block", "write", "file", own, Whole + "*01\r\n\"xx", "113");
        row("read-only file", "startup", "readonly", own, Whole + Torn, "113");
        row("journal cut short", "startup", "file", own.chopped(1), Whole + Torn, "113");
        row("without its last line end", "startup", "file", journal_for(Whole, {}).chopped(2),
            Whole, "113");
        row("its copy of the block altered past the tail", "startup", "file",
            own.chopped(1) + "X", Whole + Torn, "113");
        row("garbage, an earlier one set aside", "startup", "aside", "\x01garbage", Whole + Torn,
            "113");
        row("link to an own journal", "write", "link", own, Whole + Torn, "113");
        row("dangling link", "write", "dangling", {}, Whole + Torn, "113");
        row("fifo", "startup", "fifo", {}, Whole + Torn, "113");
        row("directory", "write", "dir", {}, Whole + Torn, "113");
        row("another copy holds the lock: left alone", "locked", "file", own, Whole + Torn, "");
    }
    void journal_left_behind() {
        QFETCH(QString, next);
        QFETCH(QString, kind);
        QFETCH(QByteArray, journal);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Example ex;
        QTemporaryDir elsewhere;
        const QString journalPath = G.DataFilePath + ".journal", target = elsewhere.filePath("j");
        const QByteArray name = QFile::encodeName(journalPath);
        write_bytes(G.DataFilePath, file);
        if (kind == "file" || kind == "readonly" || kind == "aside")
            write_bytes(journalPath, journal);
        if (kind == "link") write_bytes(target, journal);
        if (kind == "link" || kind == "dangling") QVERIFY(QFile::link(target, journalPath));
        if (kind == "fifo") QCOMPARE(::mkfifo(name.constData(), 0644), 0);
        if (kind == "dir") QVERIFY(QDir().mkdir(journalPath));
        if (kind == "aside") write_bytes(journalPath + ".unmatched", "earlier");
        if (kind == "readonly") QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        QFile other(G.DataFilePath);
        QVERIFY(other.open(QIODevice::ReadOnly));
        if (next == "locked") QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
        const int timeout = G.CatalogueLockTimeoutMs;
        G.CatalogueLockTimeoutMs = 100;
        const auto restore = qScopeGuard([timeout] { G.CatalogueLockTimeoutMs = timeout; });
        const auto lstat_ok = [](const QString& path) {
            struct stat st {};
            return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
        };
        const QString cfg = ex.dir.filePath("tobrin.cfg");
        write_cp932_file(cfg, {"#02:" + ex.dir.path()});
        ScriptedSeam seam;
        // A start that writes nothing, and a look at the journal: nothing changes.
        startup(cfg);
        const QString outlook = journal_outlook();
        QCOMPARE(read_bytes(G.DataFilePath), file);
        QVERIFY(lstat_ok(journalPath));
        const char* const says[] = {"取り除きます", "削除します", ".unmatched", "書き込み中"};
        QVERIFY2(outlook.contains(says[message == "112"   ? 0
                                       : message == "113" ? 2
                                       : next == "locked" ? 3
                                                          : 1]),
                 qPrintable(outlook));

        const QString aside = journalPath + (kind == "aside" ? ".unmatched.2" : ".unmatched");
        if (message == "112")
            seam.expect("データファイル[" + G.DataFilePath +
                        QStringLiteral("]に前回中断された登録の書きかけのデータがあったため、取り除"
                                       "きました。(112)\r\n\r\nその登録は行われていません。もう"
                                       "一度登録してください。"));
        if (message == "113")
            seam.expect("[" + journalPath + "]はデータファイル[" + G.DataFilePath +
                        QStringLiteral("]の中断された登録の記録と一致しないため、使いませんでした"
                                       "。(113)\r\n\r\n[") +
                        aside +
                        QStringLiteral("]に名前を変えて残しました。\r\n\r\nデータファイルは何も変"
                                       "更していません。データファイルが壊れていないかは tobrin-"
                                       "cli check で確かめられます。"));
        const QByteArray kept = message == "112" ? Whole : file;
        if (next == "write") {
            seam.expect("(105)");
            int16_t result = 0;
            write_data(result);
            QCOMPARE(result, int16_t(1));
            const QByteArray lineEnd = kept.endsWith('\n') ? "" : "\r\n";
            QCOMPARE(read_bytes(G.DataFilePath), kept + lineEnd + encode_catalogue_block());
        } else {
            recover_catalogue();
            QCOMPARE(read_bytes(G.DataFilePath), kept);
        }
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(lstat_ok(journalPath), next == "locked");
        QCOMPARE(lstat_ok(aside), message == "113");
        if (kind == "link") QCOMPARE(read_bytes(target), journal);
        QCOMPARE(QFile::exists(target), kind == "link");
    }

    // A registration killed (SIGKILL) at a random point: a child appends 4 MB blocks until it
    // is killed, after a random delay or as soon as the file shows a block half written. The
    // next start or registration leaves whole blocks only, without the one being written, and
    // says so (112) when that one was torn.
    void killed_append_data() {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("midWrite");
        for (const bool midWrite : {false, true})
            for (int i = 1; i <= KillsEachWay; ++i) {
                const char* when = midWrite ? "mid-write" : "random";
                QTest::addRow("%s kill %d, start-up", when, i) << "startup" << midWrite;
                QTest::addRow("%s kill %d, registration", when, i) << "write" << midWrite;
            }
    }
    void killed_append() {
        QFETCH(QString, next);
        QFETCH(bool, midWrite);
        Example ex;
        // About 1.6 MB a block: many pages, so a kill lands inside a block, and quick enough
        // for a build with sanitizers.
        G.MaxEntryCount = 8000;
        G.EntryNames.redim(G.MaxEntryCount);
        G.EntryParentIndex.redim(G.MaxEntryCount);
        for (int i = 1; i <= G.MaxEntryCount; ++i) {
            G.EntryNames(i) = QString(200, QChar(u'a' + i % 26));
            G.EntryParentIndex(i) = int16_t(1 + i % 2);
        }
        G.EntryCount = G.MaxEntryCount;
        G.HeaderTable(1, 7) = registration_stamp(QDateTime::currentDateTime());
        const QByteArray reference = encode_catalogue_block();
        const qsizetype size = reference.size(),
                        stampAt = reference.indexOf(G.HeaderTable(1, 7).toLatin1());
        const pid_t pid = ::fork();
        if (pid == 0) {
            RecordingSeam quiet;
            for (int16_t result = 0;;)
                write_data(result);
        }
        QVERIFY(pid > 0);
        if (midWrite) {
            QElapsedTimer waited;
            waited.start();
            while (QFileInfo(G.DataFilePath).size() % size == 0 && waited.elapsed() < 5000) {
            }
        } else {
            QTest::qSleep(100 + QRandomGenerator::global()->bounded(400));
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const qint64 killedAt = QFileInfo(G.DataFilePath).size();

        RecordingSeam seen;
        if (next == "startup") {
            recover_catalogue();
        } else {
            int16_t result = 0;
            write_data(result);
            QCOMPARE(result, int16_t(1));
        }
        const QByteArray bytes = read_bytes(G.DataFilePath);
        QCOMPARE(bytes.size() % size, 0);
        const qint64 blocks = bytes.size() / size - (next == "write" ? 1 : 0);
        const qint64 wholeBefore = killedAt / size;
        QVERIFY2(blocks == wholeBefore || blocks == wholeBefore - 1, qPrintable(seen.numbers));
        for (qint64 b = 0; b < bytes.size() / size; ++b) {
            const QByteArray block = bytes.mid(b * size, size);
            QVERIFY(block.left(stampAt) == reference.left(stampAt));
            QVERIFY(block.mid(stampAt + 19) == reference.mid(stampAt + 19));
        }
        if (killedAt % size != 0) QVERIFY(seen.numbers.startsWith(u"112"));
        QVERIFY(!QFile::exists(G.DataFilePath + ".journal"));
    }

    void escape_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        const QString cp932 = QStringLiteral("\\DOS\\ﾂｰﾙ 表示①ⅰ～, \"q\" &amp; #1 R&");
        QTest::newRow("code page 932 text unchanged") << cp932 << cp932;
        QTest::newRow("no code page form; an emoji is one code point")
            << QStringLiteral("café\U0001F600") << QStringLiteral("caf&#233;&#128512;");
        QTest::newRow("line breaks") << QStringLiteral("a\r\nb") << QStringLiteral("a&#13;&#10;b");
        QTest::newRow("existing references keep their meaning")
            << QStringLiteral("&#233;&&##&#") << QStringLiteral("&#38;#233;&&#38;##&#38;#");
        QTest::newRow("ampersand before an escaped character")
            << QStringLiteral("&é") << QStringLiteral("&&#233;");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QStringLiteral("&#55296;");
        QTest::newRow("name bytes that decode to nothing")
            << QString(u"x"_qs + QString(QChar(0xDC81)) + QChar(0xDCFF))
            << QStringLiteral("x&#56449;&#56575;");
    }
    void escape() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const QString e = escape_for_catalogue(text);
        QCOMPARE(e, stored);
        // What is stored survives the code page and comes back whole.
        QCOMPARE(unescape_catalogue(decode_cp932(encode_cp932(e))), text);
    }

    // Only what the writer produces is read back; any other "&#N;" is text as typed.
    void references_read_back_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("text");
        for (const char* t :
             {"&#;", "&#12", "&#x41;", "&#1114112;", "&#12345678;", "&#-1;", "a&#b;", "&#", "&"})
            QTest::newRow(t) << QString::fromLatin1(t) << QString::fromLatin1(t);
        QTest::newRow("Windows text: an apostrophe") << u"Tom&#39;s"_qs << u"Tom&#39;s"_qs;
        QTest::newRow("Windows text: an ampersand") << u"R&#38;D"_qs << u"R&#38;D"_qs;
        QTest::newRow("characters code page 932 holds")
            << u"&#65;&#12354;"_qs << u"&#65;&#12354;"_qs;
        QTest::newRow("leading zeros") << u"&#0233;&#013;"_qs << u"&#0233;&#013;"_qs;
        QTest::newRow("ours: no form, emoji, line breaks")
            << u"&#233;&#128512;&#13;&#10;"_qs << QStringLiteral("é\U0001F600\r\n");
        QTest::newRow("ours: backslash of a name, ampersand before #")
            << u"a&#92;b&#38;#1"_qs << u"a\\b&#1"_qs;
        QTest::newRow("ours: a name byte that decodes to nothing")
            << u"x&#56575;"_qs << QString(u"x"_qs + QString(QChar(0xDCFF)));
        QTest::newRow("an older catalogue's 〜 −") << u"&#12316;&#8722;"_qs << u"〜−"_qs;
        QTest::newRow("the highest code point") << u"&#1114111;"_qs << QStringLiteral("\U0010FFFF");
    }
    void references_read_back() {
        QFETCH(QString, stored);
        QFETCH(QString, text);
        QCOMPARE(unescape_catalogue(stored), text);
        QCOMPARE(catalogue_text_plain(stored), !stored.contains(u"&#"));
    }

    // Windows writes these as code page 932 bytes that read back as other characters.
    void windows_converted_characters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("wave dash") << u"〜"_qs << QByteArray("\x81\x60") << u"～"_qs;
        QTest::newRow("minus sign") << u"−"_qs << QByteArray("\x81\x7c") << u"－"_qs;
        QTest::newRow("double vertical line") << u"‖"_qs << QByteArray("\x81\x61") << u"∥"_qs;
        QTest::newRow("cent") << u"¢"_qs << QByteArray("\x81\x91") << u"￠"_qs;
        QTest::newRow("pound") << u"£"_qs << QByteArray("\x81\x92") << u"￡"_qs;
        QTest::newRow("not sign") << u"¬"_qs << QByteArray("\x81\xca") << u"￢"_qs;
        QTest::newRow("em dash") << u"—"_qs << QByteArray("\x81\x5c") << u"―"_qs;
    }
    void windows_converted_characters() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        const QString text = u"A"_qs + typed;
        QCOMPARE(encode_cp932(escape_for_catalogue(text)), QByteArray("A") + bytes);
        QCOMPARE(unescape_catalogue(decode_cp932(QByteArray("A") + bytes)), u"A"_qs + readBack);
        // A search word typed on Linux finds what the catalogue reads back as.
        QCOMPARE(windows_converted(text), u"A"_qs + readBack);
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
