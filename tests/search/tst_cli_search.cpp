// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli search, blocks, show and check on small catalogues.
#include "test_catalogue.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Runs in `cwd` with a configuration file that does not exist there: the defaults apply
// and the catalogue is `cwd`/tobrin.dat. stderr comes without the notice about the missing
// configuration file.
std::tuple<int, QString, QString> cli(const QStringList& args, const QString& cwd) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(TOBRIN_CLI, args + QStringList{"--config", QDir(cwd).filePath("none.cfg")});
    p.waitForFinished(60000);
    return {
        p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
        QString::fromUtf8(p.readAllStandardError()).section("デフォルト値で動作します。\n", -1)};
}

// err: the whole of stderr, or null not to look at it.
void row(const char* name, const QStringList& args, int code, const char* out = "",
         const char* err = nullptr) {
    QTest::newRow(name) << args << code << QString(out) << QString(err);
}
} // namespace

class TestCliSearch : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void initTestCase() {
        fresh_state();
        QStringList alpha = disc({"1,DOCS", "2,BIN", "2,a&#10;b"}, "ＡＬＰＨＡ");
        alpha[3] = "\"one$RET$$LF$t\\nwo\""; // the memo: a line break, a backslash and n
        alpha[4] = "\"1999\"";
        alpha[5] = "\"12\"";
        alpha[6] = "\"v&#56575;\""; // field 6: a byte that decodes to nothing
        alpha[8] = "\"CD01\"";
        QStringList beta = disc({"1,TOOLS", "2,bin"}, "beta");
        beta[4] = "\"1999\"";
        beta[5] = "\"5\"";
        use_catalogue(dir.path(), beta + alpha);
        // Faults in file order.
        QStringList bad = disc({"1,A", "B", "0,D"}, "b");
        bad.insert(4, "\"eleventh\"");
        write_cp932_file(dir.filePath("bad/tobrin.dat"), bad);
    }

    void commands_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        // Header lines first, by narrow lower-case text; equal texts keep file order.
        const char* both = "-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n-1\tbeta 1999  "
                           "5\n1\t\\TOOLS\\bin\n2\t\\TOOLS\\BIN\n";
        row("search", {"search", "bin"}, 0, both, "検索結果 [総数:4 / 見出:2 / ﾃﾞｨﾚｸﾄﾘ:2]\n");
        // The caption counts the lines not shown too.
        row("search, case kept, unsorted, headers shown",
            {"search", "--case", "--no-sort", "--show", "headers", "BIN"}, 0,
            "-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n", "検索結果 [総数:2 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:1]\n");
        row("search finding nothing", {"search", "--width", "alpha"}, 1, "",
            "検索結果 (一致するﾃﾞｰﾀが見つかりません。)\n"
            "検索一致データが見つかりませんでした。(309)\n");
        // A word typed with the catalogue's escapes finds the name as shown.
        row("search, escaped word", {"search", "a&#10;b"}, 0,
            "-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n2\t\\TOOLS\\a&#10;b\n");
        row("blocks", {"blocks", "--no-sort"}, 0,
            "-1\tbeta 1999  5\n-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n");
        // Line breaks (the memo's too) and undecodable bytes as the catalogue's escapes: one
        // field or path, one line.
        row("show, memo on one line, sorted", {"show", "2", "--sort"}, 0,
            "1\tＡＬＰＨＡ\n2\t\n3\tone&#13;&#10;t\\nwo\n4\t1999\n5\t12\n6\tv&#56575;\n"
            "7\t1999/05/12 10:30:00\n"
            "8\tCD01\n9\tq\n10\t\n\\DOCS\n\\TOOLS\\BIN\n\\TOOLS\\a&#10;b\n");
        row("show, no such block", {"show", "3"}, 1, "",
            "ディレクトリが見つかりませんでした。(505)\n");
        row("usage: only empty words", {"search", "", ""}, 2, "", "検索条件が未入力です。(208)\n");
        row("check, a clean file", {"check"}, 0);
    }
    void commands() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const auto [gotCode, gotOut, gotErr] = cli(args, dir.path());
        QCOMPARE(gotCode, code);
        QCOMPARE(gotOut, out);
        if (!err.isNull()) QCOMPARE(gotErr, err);
    }

    // Every fault in one pass, in file order.
    void check_finds_every_fault() {
        const auto [code, out, err] = cli({"check"}, dir.filePath("bad"));
        QCOMPARE(code, 1);
        QStringList got;
        for (const QString& fault : out.split(u'\n', Qt::SkipEmptyParts))
            got << fault.section(u' ', 0, 2);
        QCOMPARE(got, (QStringList{"line 12: 302", "line 18: 305", "line 19: 306"}));
    }
};

QTEST_GUILESS_MAIN(TestCliSearch)
#include "tst_cli_search.moc"
