// SPDX-License-Identifier: GPL-3.0-or-later
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
        QCOMPARE(cli(dir, {"walk", "--drive", "x"}), 1);
        QVERIFY(err.contains(QStringLiteral("ドライブ[x:\\]のアクセスができません。(203)")));
        QCOMPARE(cli(dir, {"walk", "--drive", "qq"}), 2);
    }

    void register_appends_one_block() {
        QTemporaryDir dir;
        // A drive that cannot be read, or year and month alone for a header: nothing is written.
        QCOMPARE(cli(dir, {"register", "--drive", "x", "--title", "T"}), 1);
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

        // A catalogue folder given by drive letter: every command opens the file register wrote.
        QVERIFY(QDir().mkpath(dir.filePath("store/DATA")));
        const QStringList byLetter{"#02:r:\\DATA", "#40:r=" + dir.filePath("store")};
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "Lettered"}, byLetter), 0);
        QVERIFY(read_bytes(dir.filePath("store/DATA/tobrin.dat")).contains("\"Lettered\""));
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "bin"}, byLetter), 0);
        QCOMPARE(out, "1\t\\TOOLS\\BIN\n");
        QCOMPARE(cli(dir, {"show", "1"}, byLetter), 0);
        QVERIFY(out.startsWith("1\tLettered\n") && out.endsWith("\\TOOLS\\BIN\n"));
        QCOMPARE(cli(dir, {"check"}, byLetter), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliRegister)
#include "tst_cli_register.moc"
