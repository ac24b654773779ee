// tobrin-cli walk and register, run as a user would run them.
#include "test_env.h"
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int code = -1;
    QString out, err;
};

Run cli(const QString& cwd, const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(TOBRIN_CLI), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A medium pinned as drive q beside a configuration in `dir`.
void make_medium(const QTemporaryDir& dir) {
    make_dirs(dir.filePath("med"), {"TOOLS/BIN", "DOCS", "empty"});
    touch(dir.filePath("med/DOCS/readme.txt"));
    touch(dir.filePath("med/TOOLS/BIN/tool"));
    write_cp932_file(dir.filePath("tobrin.cfg"), {"#40:q=" + dir.filePath("med")});
}
} // namespace

class TestCliRegister : public QObject {
    Q_OBJECT
  private slots:
    void walk_prints_the_sorted_list() {
        QTemporaryDir dir;
        make_medium(dir);
        Run r = cli(dir.path(), {"walk", "--drive", "q"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("\\DOCS\n\\empty\n\\TOOLS\n\\TOOLS\\BIN\nDirCount\t2\n"
                                       "EntryCount\t4\n"));
        r = cli(dir.path(), {"walk", "--drive", "q", "--prune"});
        QCOMPARE(r.out, QStringLiteral("\\DOCS\n\\TOOLS\\BIN\nDirCount\t2\nEntryCount\t2\n"));
        QVERIFY(!QFile::exists(dir.filePath("tobrin.dat")));
    }

    void walk_of_an_unmapped_drive_fails() {
        QTemporaryDir dir;
        make_medium(dir);
        const Run r = cli(dir.path(), {"walk", "--drive", "x"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("ドライブ[x:\\]のアクセスができません。(203)")));
        QCOMPARE(cli(dir.path(), {"walk", "--drive", "qq"}).code, 2);
    }

    void register_appends_one_block() {
        QTemporaryDir dir;
        make_medium(dir);
        const Run r =
            cli(dir.path(), {"register", "--drive", "q", "--title", "Sample Disc", "--publisher",
                             "Example Press", "--memo", "first line\nsecond line", "--year", "1999",
                             "--month", "5", "--header6", "memo", "--prune"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains(QStringLiteral("(111)")));
        QVERIFY(r.err.contains(QStringLiteral("(105)")));
        QStringList lines =
            QString::fromLatin1(read_bytes(dir.filePath("tobrin.dat"))).split("\r\n");
        QCOMPARE(lines.size(), 18); // 17 lines and the empty rest after the last CR LF
        lines[7] = QStringLiteral("STAMP");
        QCOMPARE(lines, (QStringList{"*01", "\"Sample Disc\"", "\"Example Press\"",
                                     "\"first line$RET$$LF$second line\"", "\"1999\"", "\"5\"",
                                     "\"memo\"", "STAMP", "\"\"", "\"q\"", "\"\"", "*02", "\\",
                                     "\\TOOLS\\", "*03", "1,DOCS", "2,BIN", ""}));
    }

    void register_without_any_header_writes_nothing() {
        QTemporaryDir dir;
        make_medium(dir);
        const Run r = cli(dir.path(), {"register", "--drive", "q", "--year", "1999"});
        QCOMPARE(r.code, 1);
        QVERIFY(!QFile::exists(dir.filePath("tobrin.dat")));
    }
};

QTEST_GUILESS_MAIN(TestCliRegister)
#include "tst_cli_register.moc"
