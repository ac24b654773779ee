// The block directory viewer's logic: from the results and from the catalogue file.
#include "../search/test_catalogue.h"
#include "scripted_seam.h"
#include "search/results.h"
#include "search/search_run.h"
#include "view/block_view.h"
#include <QTemporaryDir>
#include <QTest>

namespace {
TestBlock disc(const QString& volume, const QStringList& entries) {
    TestBlock b;
    b.title = QStringLiteral("Disc");
    b.year = QStringLiteral("2001");
    b.month = QStringLiteral("5");
    b.volume = volume;
    b.parents = QStringList{"\\", "\\TOOLS\\", "\\b"};
    b.entries = entries;
    return b;
}

void select(int block, const QString& line) {
    G.SelectedBlockNo = int16_t(block);
    G.SelectedResultLine = line;
    G.BlockSearchMode = 1;
}

const QString Title = QStringLiteral("Disc 2001  5");
} // namespace

class TestBlockView : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() { fresh_state(); }

    void two_blocks_with_one_title_line() {
        ScriptedSeam seam;
        use_catalogue(dir.path(),
                      catalogue({disc("", {"1,FIRST"}), disc("", {"1,SECOND", "2,BIN"})}));
        select(2, Title);
        DirListing d = get_block_data();
        QCOMPARE(d.paths, (QStringList{"\\SECOND", "\\TOOLS\\BIN"}));
        QCOMPARE(d.label, u"ディレクトリ数： 2個"_qs);
        QCOMPARE(d.text, QStringLiteral("\\SECOND\r\n\\TOOLS\\BIN"));
        select(1, Title);
        QCOMPARE(get_block_data().paths, QStringList{"\\FIRST"});
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void changed_file_or_wrong_line() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), catalogue({disc("V1", {"1,A"})}));
        for (const auto& [block, line] :
             {std::pair{1, QStringLiteral("Disc 2001  5")}, std::pair{2, Title},
              std::pair{1, QStringLiteral("\\A")}}) {
            select(block, line);
            seam.expect(u"ディレクトリが見つかりませんでした。(505)"_qs);
            const DirListing d = get_block_data();
            QCOMPARE(d.text, u"ディレクトリが見つかりませんでした。"_qs);
            QCOMPARE(d.label, line);
        }
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void sorted_and_trimmed() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), catalogue({disc("", {"1,b", " 1 ,  B ", "3,x", "1,A"})}));
        select(1, Title);
        QCOMPARE(get_block_data().paths, (QStringList{"\\b", "\\B", "\\b\\x", "\\A"}));
        G.SortResults = 1;
        QCOMPARE(get_block_data().paths, (QStringList{"\\A", "\\B", "\\b", "\\b\\x"}));
    }

    void faults_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("paths");
        QStringList eleven = disc("", {"1,A"}).lines();
        eleven.insert(5, QStringLiteral("\"x\""));
        QTest::newRow("508 in a block before")
            << eleven + disc("", {"1,A"}).lines() << u"見出しデータが１０行を超えています。(508)"_qs
            << QStringList();
        QTest::newRow("502 no comma")
            << disc("", {"1,A", "B"}).lines() << u"ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。(502)"_qs
            << QStringList{"\\A"};
        QTest::newRow("502 comma first") << disc("", {",B"}).lines() << "(502)" << QStringList();
        QTest::newRow("503 beyond the parents")
            << disc("", {"1,A", "4,B"}).lines()
            << u"下位(*03以降)ﾃﾞｨﾚｸﾄﾘﾃﾞｰﾀ中に矛盾が発生しました。(503)"_qs << QStringList{"\\A"};
        QTest::newRow("503 too large for 16 bits")
            << disc("", {"99999,B"}).lines() << "(503)" << QStringList();
    }
    void faults() {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        QFETCH(QStringList, paths);
        ScriptedSeam seam;
        use_catalogue(dir.path(), lines);
        select(lines.count("*01"), Title);
        seam.expect(message);
        if (paths.isEmpty()) seam.expect("(505)");
        const DirListing d = get_block_data();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(d.paths, paths);
        QVERIFY(
            seam.shown.first().text.contains(QStringLiteral("データファイル：") + G.DataFilePath));
        QCOMPARE(seam.progressShows, seam.progressHides);
    }

    void too_many_parents() {
        ScriptedSeam seam;
        G.MaxDirCount = 2;
        use_catalogue(dir.path(), catalogue({disc("", {"1,A"})}));
        select(1, Title);
        seam.expect(u"ﾃﾞｨﾚｸﾄﾘ数が２個を超えました。(501)"_qs);
        seam.expect("(505)");
        get_block_data();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void no_entries_and_root_only() {
        ScriptedSeam seam;
        TestBlock empty = disc("", {});
        use_catalogue(dir.path(), catalogue({empty, TestBlock{}}));
        select(1, Title);
        seam.expect("(505)");
        get_block_data();
        // The root placeholder lists the root itself.
        select(2, QString());
        QCOMPARE(get_block_data().paths, QStringList{"\\"});
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void from_the_results() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), catalogue({disc("", {"2,BIN", "1,DOC"}), disc("", {"2,SBIN"})}));
        SearchOptions o;
        o.sort = false;
        const QString words[3] = {QStringLiteral("bin"), {}, {}};
        SearchDisplay shown;
        QVERIFY(run_string_search(words, 1, o, shown));
        G.SelectedBlockNo = -2;
        DirListing d = get_dir_data();
        QCOMPARE(d.paths, QStringList{"\\TOOLS\\SBIN"});
        QCOMPARE(d.label, u"ディレクトリ数： 1個"_qs);
        // A block whose header matched but none of its paths: no message box.
        G.ResultLineCount = 1;
        G.SelectedBlockNo = 1;
        d = get_dir_data();
        QCOMPARE(d.label, u"ディレクトリ数： 0個"_qs);
        QCOMPARE(d.text, u"ディレクトリが見つかりませんでした。"_qs);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void whole_block_for_show() {
        ScriptedSeam seam;
        TestBlock b = disc("V", {"2,BIN", "1,&#233;t&#233;"});
        b.memo = QStringLiteral("a$RET$$LF$b");
        use_catalogue(dir.path(), catalogue({TestBlock{}, b}));
        CatalogueBlock block;
        QCOMPARE(read_catalogue_block(2, true, block), 1);
        QCOMPARE(block.fields[2], QStringLiteral("a\r\nb"));
        QCOMPARE(block.fields[7], QStringLiteral("V"));
        QCOMPARE(block.paths, (QStringList{"\\TOOLS\\BIN", u"\\été"_qs}));
        seam.expect("(505)");
        QCOMPARE(read_catalogue_block(3, false, block), 0);
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestBlockView)
#include "tst_block_view.moc"
