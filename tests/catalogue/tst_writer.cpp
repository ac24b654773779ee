// The catalogue writer and the escape of text code page 932 cannot hold.
#include "catalogue/escape.h"
#include "catalogue/writer.h"
#include "core/codepage.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

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
} // namespace

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

        write_bytes(G.DataFilePath, first.chopped(2));
        G.HeaderTable(1, 1) = QStringLiteral("Second");
        seam.expect(QStringLiteral("(105)"));
        write_data(result);
        QCOMPARE(result, int16_t(1));
        QCOMPARE(read_bytes(G.DataFilePath), first + stamped().replace("Sample Disc", "Second"));
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
    }
    void failures_leave_the_file_as_it_was() {
        QFETCH(QString, how);
        QFETCH(QString, detail);
        Example ex;
        const QByteArray before = QByteArray("*01\r\n\"old\"\r\n").repeated(50);
        write_bytes(G.DataFilePath, before);
        QLockFile other(G.DataFilePath + ".lock");
        rlimit saved{};
        if (how == "readonly") QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        CatalogueLockTimeoutMs = 200;
        if (how == "locked") QVERIFY(other.tryLock(0));
        if (how == "full") {
            // The file may grow by a few bytes only: the block's write stops part way.
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit small = saved;
            small.rlim_cur = rlim_t(before.size() + 40);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        ScriptedSeam seam;
        seam.expect("データファイル[" + G.DataDir +
                    QStringLiteral("tobrin.dat]を書き込めません。(106)\r\n\r\n") + detail +
                    QStringLiteral("\r\n\r\nデータの書き込みを中断します。"));
        int16_t result = -1;
        write_data(result);
        if (how == "full") setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(result, int16_t(0));
        QCOMPARE(read_bytes(G.DataFilePath), before);
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QVERIFY2(seam.satisfied(), seam.report());
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
    }
    void escape() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const QString e = escape_for_catalogue(text);
        QCOMPARE(e, stored);
        // What is stored survives the code page and comes back whole.
        QCOMPARE(unescape_catalogue(decode_cp932(encode_cp932(e))), text);
    }

    void malformed_references_stay_data() {
        for (const QString& t :
             {"&#;", "&#12", "&#x41;", "&#1114112;", "&#12345678;", "&#-1;", "a&#b;", "&#", "&"})
            QCOMPARE(unescape_catalogue(t), t);
        QCOMPARE(unescape_catalogue(u"&#0065;&#1114111;"), QStringLiteral("A\U0010FFFF"));
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
