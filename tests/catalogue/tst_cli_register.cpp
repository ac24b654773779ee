// tobrin-cli walk and register, run as a user would run them.
#include "test_env.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString out, err; // of the last run

// Runs tobrin-cli beside a configuration pinning drive q to a small medium in `dir`.
int cli(const QTemporaryDir& dir, const QStringList& args, const QStringList& config = {}) {
    make_dirs(dir.filePath("med"), {"TOOLS/BIN", "DOCS", "empty"});
    touch(dir.filePath("med/DOCS/readme.txt"));
    touch(dir.filePath("med/TOOLS/BIN/tool"));
    write_cp932_file(dir.filePath("tobrin.cfg"),
                     QStringList{"#40:q=" + dir.filePath("med")} + config);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(TOBRIN_CLI), args);
    p.waitForFinished(60000);
    out = QString::fromUtf8(p.readAllStandardOutput());
    err = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
}
} // namespace

class TestCliRegister : public QObject {
    Q_OBJECT
  private slots:
    void walk() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir, {"walk", "--drive", "q"}), 0);
        QCOMPARE(out, "\\DOCS\n\\empty\n\\TOOLS\n\\TOOLS\\BIN\nDirCount\t2\nEntryCount\t4\n");
        cli(dir, {"walk", "--drive", "q", "--prune"});
        QCOMPARE(out, "\\DOCS\n\\TOOLS\\BIN\nDirCount\t2\nEntryCount\t2\n");
        QCOMPARE(cli(dir, {"walk", "--drive", "x"}), 1);
        QVERIFY(err.contains(QStringLiteral("ドライブ[x:\\]のアクセスができません。(203)")));
        QCOMPARE(cli(dir, {"walk", "--drive", "qq"}), 2);
    }

    void register_appends_one_block() {
        QTemporaryDir dir;
        // Year and month alone are no header: nothing is written.
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--year", "1999"}), 1);
        QVERIFY(!QFile::exists(dir.filePath("tobrin.dat")));
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "Sample Disc", "--publisher",
                           "Example Press", "--memo", "first line\nsecond line", "--year", "1999",
                           "--month", "5", "--header6", "memo", "--prune"}),
                 0);
        QVERIFY(err.contains(QStringLiteral("(111)")) && err.contains(QStringLiteral("(105)")));
        QStringList lines =
            QString::fromLatin1(read_bytes(dir.filePath("tobrin.dat"))).split("\r\n");
        lines[7] = QStringLiteral("STAMP");
        QCOMPARE(lines.join(u'|'), "*01|\"Sample Disc\"|\"Example Press\"|"
                                   "\"first line$RET$$LF$second line\"|\"1999\"|\"5\"|\"memo\"|"
                                   "STAMP|\"\"|\"q\"|\"\"|*02|\\|\\TOOLS\\|*03|1,DOCS|2,BIN|");
    }

    // A file name with a NUL byte is a bad configuration line (071): reading stops there and
    // the registration goes to the default catalogue, leaving nothing else behind.
    void control_character_in_the_file_name() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "T"},
                     {u"#01:a"_qs + QChar(0) + u"b"_qs}),
                 0);
        QVERIFY(err.contains(QStringLiteral("(071)")) && err.contains(QStringLiteral("(105)")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{"tobrin.cfg", "tobrin.dat"}));
    }
};

QTEST_GUILESS_MAIN(TestCliRegister)
#include "tst_cli_register.moc"
