// tobrin-cli search, blocks, show and check on a small catalogue, and the check logic on a
// file with several faults.
#include "scripted_seam.h"
#include "search/catalogue_check.h"
#include "test_catalogue.h"
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int code;
    QString out, err;
};

TestBlock disc(const QString& title, const QStringList& entries) {
    TestBlock b;
    b.title = title;
    b.parents = QStringList{"\\", "\\TOOLS\\"};
    b.entries = entries;
    return b;
}
} // namespace

class TestCliSearch : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    Run cli(const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(TOBRIN_CLI),
                args + QStringList{"--config", dir.filePath("none.cfg")});
        p.waitForFinished(60000);
        QString err = QString::fromUtf8(p.readAllStandardError());
        // Drop the notice about the missing configuration file.
        const QString notice = QStringLiteral("デフォルト値で動作します。\n");
        const qsizetype cut = err.indexOf(notice);
        if (cut >= 0) err = err.mid(cut + notice.size());
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), err};
    }

  private slots:
    void initTestCase() {
        fresh_state();
        TestBlock memo = disc(QStringLiteral("Ｂｅｔａ"), {"1,DOCS", "2,BIN"});
        memo.memo = QStringLiteral("one$RET$$LF$two");
        use_catalogue(dir.path(), catalogue({disc("alpha", {"1,TOOLS", "2,bin"}), memo}));
    }

    void search_outputs_lines_and_caption() {
        Run r = cli({"search", "bin"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"-1\talpha  \n-2\tＢｅｔａ  \n1\t\\TOOLS\\bin\n2\t\\TOOLS\\BIN\n"_qs);
        QCOMPARE(r.err, u"検索結果 [総数:4 / 見出:2 / ﾃﾞｨﾚｸﾄﾘ:2]\n"_qs);
        r = cli({"search", "--case", "--no-sort", "--show", "dirs", "BIN"});
        QCOMPARE(r.out, u"2\t\\TOOLS\\BIN\n"_qs);
        r = cli({"search", "--preset", "2", "tools", "", "bin"});
        QCOMPARE(r.out.count(u'\n'), 4);
        r = cli({"search", "--width", "beta"});
        QCOMPARE(r.code, 1);
        QCOMPARE(
            r.err,
            u"検索結果 (一致するﾃﾞｰﾀが見つかりません。)\n検索一致データが見つかりませんでした。(309)\n"_qs);
    }

    void usage_errors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no word") << QStringList{"search"};
        QTest::newRow("four words") << QStringList{"search", "a", "b", "c", "d"};
        QTest::newRow("preset 3 with two words")
            << QStringList{"search", "--preset", "3", "a", "b"};
        QTest::newRow("unknown option") << QStringList{"search", "--fast", "a"};
        QTest::newRow("bad --show") << QStringList{"search", "--show", "some", "a"};
        QTest::newRow("only empty words") << QStringList{"search", "", ""};
        QTest::newRow("show without number") << QStringList{"show"};
    }
    void usage_errors() {
        QFETCH(QStringList, args);
        QCOMPARE(cli(args).code, 2);
    }

    void blocks_and_show() {
        Run r = cli({"blocks", "--no-sort"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"-1\talpha  \n-2\tＢｅｔａ  \n"_qs);
        r = cli({"show", "2", "--sort"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith(u"1\tＢｅｔａ\n2\t\n3\tone\\ntwo\n"_qs));
        QVERIFY(r.out.endsWith(u"10\t\n\\DOCS\n\\TOOLS\\BIN\n"_qs));
        r = cli({"show", "3"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, u"ディレクトリが見つかりませんでした。(505)\n"_qs);
    }

    void check_finds_every_fault() {
        QStringList l = disc("a", {"1,A"}).lines(); // lines 1-16: clean
        l << disc("b", {"1,A", "B", ",C", "0,D", "3,E", "99999,F", "2,G"}).lines(); // 17-38
        l.insert(20, QStringLiteral("\"eleventh\"")); // block 2's eleventh is line 28
        QStringList shortHeader{"*01", "\"x\"", "*02", "\\", "*03", "1,Z"}; // 40-45
        write_cp932_file(dir.filePath("faulty.dat"), l + shortHeader);
        QList<CatalogueFault> faults;
        QVERIFY(check_catalogue(dir.filePath("faulty.dat"), faults));
        QList<QPair<qint64, int>> got;
        for (const CatalogueFault& f : faults)
            got.append({f.line, f.message});
        QCOMPARE(got,
                 (QList<QPair<qint64, int>>{
                     {28, 302}, {34, 305}, {35, 305}, {36, 306}, {37, 306}, {38, 310}, {40, 505}}));
        QVERIFY(check_catalogue(G.DataFilePath, faults));
        QVERIFY(faults.isEmpty());
        QVERIFY(!check_catalogue(dir.filePath("missing.dat"), faults));
        // The viewer holds 2,000 directories of a block at least.
        TestBlock big = disc("big", {});
        for (int i = 0; i < 2001; ++i)
            big.entries << QStringLiteral("1,D%1").arg(i);
        write_cp932_file(dir.filePath("big.dat"), big.lines());
        QVERIFY(check_catalogue(dir.filePath("big.dat"), faults));
        QCOMPARE(faults.size(), 1);
        QCOMPARE(faults.first().message, 501);
        QCOMPARE(faults.first().line, qint64(16 + 2000));

        QDir(dir.path()).mkpath("sub");
        QFile::copy(dir.filePath("faulty.dat"), dir.filePath("sub/tobrin.dat"));
        Run r;
        {
            QProcess p;
            p.setWorkingDirectory(dir.filePath("sub"));
            p.start(QStringLiteral(TOBRIN_CLI), {"check"});
            p.waitForFinished(60000);
            r = {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), {}};
        }
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.startsWith("line 28: 302 "));
        QCOMPARE(r.out.count(u'\n'), 7);
    }
};

QTEST_GUILESS_MAIN(TestCliSearch)
#include "tst_cli_search.moc"
