#include "catalogue/writer.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {
const QByteArray WorkedExample = "*01\r\n"
                                 "\"Sample Disc\"\r\n"
                                 "\"Example Press\"\r\n"
                                 "\"first line$RET$$LF$second line\"\r\n"
                                 "\"1999\"\r\n"
                                 "\"5\"\r\n"
                                 "\"memo\"\r\n"
                                 "\"1999/05/12 10:30:00\"\r\n"
                                 "\"MYDISC\"\r\n"
                                 "\"q\"\r\n"
                                 "\"\"\r\n"
                                 "*02\r\n"
                                 "\\\r\n"
                                 "\\TOOLS\\\r\n"
                                 "*03\r\n"
                                 "1,DOCS\r\n"
                                 "1,TOOLS\r\n"
                                 "2,BIN\r\n";

// The registration of the worked example, with catalogue files in `dir`.
void set_worked_example(const QString& dir) {
    fresh_state();
    G.DataDir = dir + u'/';
    G.DataFilePath = G.DataDir + G.DataFileName;
    G.BackupDir = G.DataDir;
    G.BackupFilePath = G.BackupDir + G.BackupFileName;
    G.HeaderTable.redim(G.MaxHeaderBlocks);
    const QStringList fields{"Sample Disc",
                             "Example Press",
                             "first line\r\nsecond line",
                             "1999",
                             "5",
                             "memo",
                             "データ登録時に設定します。",
                             "MYDISC",
                             "q",
                             ""};
    for (int f = 1; f <= 10; ++f)
        G.HeaderTable(1, f) = fields[f - 1];
    G.DirPaths.redim(G.MaxDirCount);
    G.EntryNames.redim(G.MaxEntryCount);
    G.EntryParentIndex.redim(G.MaxEntryCount);
    G.DirCount = 2;
    G.DirPaths(1) = QStringLiteral("\\");
    G.DirPaths(2) = QStringLiteral("\\TOOLS\\");
    G.EntryCount = 3;
    const QStringList names{"DOCS", "TOOLS", "BIN"};
    const QList<int16_t> parents{1, 1, 2};
    for (int i = 1; i <= 3; ++i) {
        G.EntryNames(i) = names[i - 1];
        G.EntryParentIndex(i) = parents[i - 1];
    }
    G.ProgressFlags = 3;
}

// The worked example as written at the stamp now in field 7.
QByteArray as_stamped(QByteArray block) {
    return block.replace("1999/05/12 10:30:00", G.HeaderTable(1, 7).toLatin1());
}
} // namespace

class TestWriter : public QObject {
    Q_OBJECT
  private slots:
    void init() { CatalogueLockTimeoutMs = 3000; }

    void stamp_format() {
        QCOMPARE(registration_stamp(QDateTime(QDate(1999, 5, 12), QTime(10, 30, 0))),
                 QStringLiteral("1999/05/12 10:30:00"));
        QCOMPARE(registration_stamp(QDateTime(QDate(2024, 12, 1), QTime(23, 5, 9))),
                 QStringLiteral("2024/12/01 23:05:09"));
    }

    void worked_example_byte_for_byte() {
        QTemporaryDir dir;
        set_worked_example(dir.path());
        G.HeaderTable(1, 7) = QStringLiteral("1999/05/12 10:30:00");
        QCOMPARE(encode_catalogue_block(), WorkedExample);
    }

    void block_lines_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("a field that is itself a marker") << 1 << "*01" << QByteArray("\"*01\"");
        QTest::newRow("quotes inside a field") << 2 << "say \"hi\"" << QByteArray("\"say \"hi\"\"");
        QTest::newRow("memo of one line break") << 3 << "\r\n" << QByteArray("\"$RET$$LF$\"");
        QTest::newRow("memo with a lone LF and a literal $RET$")
            << 3 << "a\n$RET$" << QByteArray("\"a$LF$$RET$\"");
        QTest::newRow("line break outside the memo") << 6 << "a\nb" << QByteArray("\"a&#10;b\"");
        QTest::newRow("Japanese in code page 932")
            << 1 << "月刊ﾃｽﾄ" << QByteArray("\"\x8c\x8e\x8a\xa7\xc3\xbd\xc4\"");
        QTest::newRow("no code page form, existing reference")
            << 1 << "Café &#1;" << QByteArray("\"Caf&#233; &#38;#1;\"");
    }
    void block_lines() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        QTemporaryDir dir;
        set_worked_example(dir.path());
        G.HeaderTable(1, field) = text;
        const QList<QByteArray> lines = encode_catalogue_block().split('\n');
        QCOMPARE(lines.size(), 19);
        QCOMPARE(lines[field], line + '\r');
    }

    void directory_lines() {
        QTemporaryDir dir;
        set_worked_example(dir.path());
        G.HeaderTable(1, 7) = QStringLiteral("1999/05/12 10:30:00");
        G.DirCount = 0;
        G.EntryCount = 2;
        G.EntryNames(1) = QStringLiteral("a, b ");
        G.EntryNames(2) = QStringLiteral("new\n*01 😀");
        G.EntryParentIndex(2) = 12;
        const QByteArray block = encode_catalogue_block();
        QVERIFY(block.endsWith("\"\"\r\n*02\r\n*03\r\n1,a, b \r\n12,new&#10;*01 &#128512;\r\n"));
    }

    void new_file_then_append() {
        QTemporaryDir dir;
        set_worked_example(dir.path());
        G.BackupMode = 4;
        ScriptedSeam seam;
        seam.expect(QStringLiteral("データファイル[") + G.DataFilePath +
                    QStringLiteral("]が見つかりせん。(111)\r\n\r\n新規作成します。"));
        seam.expect(QStringLiteral("データファイル[") + G.DataDir +
                    QStringLiteral("tobrin.dat]を書き込み完了しました。(105)"));
        int16_t result = -1;
        write_data(result);
        QCOMPARE(result, int16_t(1));
        QVERIFY(QRegularExpression("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(G.HeaderTable(1, 7))
                    .hasMatch());
        const QByteArray first = as_stamped(WorkedExample);
        QCOMPARE(read_bytes(G.DataFilePath), first);
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QCOMPARE(G.DataFileState, int16_t(1));
        QCOMPARE(G.DataFileReadOnly, int16_t(0));
        QCOMPARE(read_bytes(G.BackupFilePath), first); // the after-registration backup
        QVERIFY(!QFile::exists(G.DataFilePath + ".lock"));

        // A second registration follows directly, with its own stamp.
        G.HeaderTable(1, 1) = QStringLiteral("Second");
        G.ProgressFlags = 3;
        seam.expect(QStringLiteral("(105)"));
        write_data(result);
        QCOMPARE(result, int16_t(1));
        QCOMPARE(read_bytes(G.DataFilePath),
                 first + as_stamped(WorkedExample).replace("Sample Disc", "Second"));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void file_without_final_line_break() {
        QTemporaryDir dir;
        set_worked_example(dir.path());
        const QByteArray before = "*01\r\n\"hand edited\"";
        write_bytes(G.DataFilePath, before);
        ScriptedSeam seam;
        seam.expect(QStringLiteral("(105)"));
        int16_t result = 0;
        write_data(result);
        QCOMPARE(result, int16_t(1));
        QCOMPARE(read_bytes(G.DataFilePath), before + "\r\n" + as_stamped(WorkedExample));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void failures_leave_the_file_as_it_was_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("detail");
        QTest::newRow("read-only file") << "readonly"
                                        << "データファイルが書込禁止となっています。\r\n\r\n";
        QTest::newRow("read-only as last probed")
            << "probed-readonly"
            << "データファイルが書込禁止となっています。\r\n\r\n";
        QTest::newRow("write fails half way") << "full"
                                              << "( Error Code 27  : File too large）\r\n\r\n";
        QTest::newRow("another copy is appending")
            << "locked"
            << "( Error Code 16  : Device or resource busy）\r\n\r\n";
    }
    void failures_leave_the_file_as_it_was() {
        QFETCH(QString, how);
        QFETCH(QString, detail);
        QTemporaryDir dir;
        set_worked_example(dir.path());
        const QByteArray before = QByteArray("*01\r\n\"old\"\r\n").repeated(50);
        write_bytes(G.DataFilePath, before);
        G.DataFileState = 1;
        G.DataFileReadOnly = 0;
        G.HeaderTable(1, 7) = QStringLiteral("stamp");
        QLockFile other(G.DataFilePath + ".lock");
        rlimit saved{};
        if (how == "readonly") QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        if (how == "probed-readonly") {
            // Still read-only as far as the program knows; the write itself fails too.
            G.DataFileReadOnly = 1;
            QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        }
        if (how == "locked") {
            QVERIFY(other.tryLock(0));
            CatalogueLockTimeoutMs = 200;
        }
        if (how == "full") {
            // The file may grow by a few bytes only: the block's write stops part way.
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = rlim_t(before.size() + 40);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        ScriptedSeam seam;
        seam.expect(QStringLiteral("データファイル[") + G.DataDir +
                    QStringLiteral("tobrin.dat]を書き込めません。(106)\r\n\r\n") + detail +
                    QStringLiteral("データの書き込みを中断します。"));
        int16_t result = -1;
        write_data(result);
        if (how == "full") setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(result, int16_t(0));
        QCOMPARE(read_bytes(G.DataFilePath), before);
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(seam.shown.last().text.endsWith(QStringLiteral("データの書き込みを中断します。")));
    }

    void unusable_directory_creates_nothing() {
        QTemporaryDir dir;
        set_worked_example(dir.path() + "/missing");
        ScriptedSeam seam;
        seam.expect(QStringLiteral("(111)"));
        seam.expect(QStringLiteral("(106)\r\n\r\n( Error Code 2  : No such file or directory）"));
        int16_t result = -1;
        write_data(result);
        QCOMPARE(result, int16_t(0));
        QVERIFY(!QFile::exists(G.DataFilePath));
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
