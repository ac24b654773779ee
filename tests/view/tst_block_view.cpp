// SPDX-License-Identifier: GPL-3.0-or-later
// The block directory viewer's logic: from the results and from the catalogue file.
#include "test_catalogue.h"
#include "scripted_seam.h"
#include "search/search_run.h"
#include "view/block_view.h"
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString NotFound = QStringLiteral("ディレクトリが見つかりませんでした。");

// Block `block` chosen by its header line `line`; `messages` are the fragments expected in
// order; `paths` what the viewer lists.
struct View {
    QStringList lines;
    int block;
    bool sort;
    QStringList messages, paths;
    QString line;
};
void row(const char* name, const QStringList& lines, int block, bool sort,
         const QStringList& messages, const QStringList& paths, const char* line = "Disc  ") {
    QTest::newRow(name) << View{lines, block, sort, messages, paths, line};
}
} // namespace
Q_DECLARE_METATYPE(View)

class TestBlockView : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() { fresh_state(); }

    void from_the_file_data() {
        QTest::addColumn<View>("c");
        // Two blocks with one title line (the same issue registered twice): the block is
        // found by its number, and its title line must still be there.
        const QStringList two = disc({"1,FIRST"}) + disc({"1,SECOND", "2,BIN"});
        QStringList odd = disc({"1,b", " 1 ,  B ", "3,x", "1,&#233;", "1,A"});
        odd.insert(14, "\\b"); // a third parent, stored without its backslash
        QStringList eleven = disc({"1,A"});
        eleven.insert(5, "\"x\"");
        row("second of two blocks with one title line", two, 2, false, {},
            {"\\SECOND", "\\TOOLS\\BIN"});
        row("505 another title line there", two, 1, false, {"(505)"}, {}, "Disc 2001");
        row("505 no directory", disc({}), 1, false, {"(505)"}, {});
        row("the root placeholder lists the root", TestBlock{}.lines(), 1, false, {}, {"\\"}, "");
        row("file order, names trimmed, escapes decoded", odd, 1, false, {},
            {"\\b", "\\B", "\\b\\x", "\\é", "\\A"});
        row("sorted, ordinal", odd, 1, true, {}, {"\\A", "\\B", "\\b", "\\b\\x", "\\é"});
        row("508 in a block before", eleven + disc({"1,A"}), 2, false, {"(508)", "(505)"}, {});
        row("502 no comma", disc({"1,A", "B"}), 1, false, {"(502)"}, {"\\A"});
        row("502 comma first", disc({",B"}), 1, false, {"(502)", "(505)"}, {});
        row("503 beyond the parents", disc({"1,A", "3,B"}), 1, false, {"(503)"}, {"\\A"});
        row("503 too large for 16 bits", disc({"99999,B"}), 1, false, {"(503)", "(505)"}, {});
        row("501 more parents than the capacity of 3",
            TestBlock{.title = "Disc", .parents = {"\\", "\\A\\", "\\B\\", "\\C\\"}}.lines(), 1,
            false, {"ﾃﾞｨﾚｸﾄﾘ数が３個を超えました。(501)", "(505)"}, {});
        row("three parents, the capacity, are read",
            TestBlock{.title = "Disc", .parents = {"\\", "\\A\\", "\\B\\"}, .entries = {"3,X"}}
                .lines(),
            1, false, {}, {"\\B\\X"});
        // The viewer holds 2000 directories (or key 61's capacity when larger).
        QStringList entries, paths;
        for (int i = 1; i <= 2001; ++i) {
            entries << QStringLiteral("1,D%1").arg(i);
            paths << QStringLiteral("\\D%1").arg(i);
        }
        const QStringList at = entries.mid(0, 2000);
        row("2000 directories, the capacity, are read",
            TestBlock{.title = "Disc", .entries = at}.lines(), 1, false, {}, paths.mid(0, 2000));
        row("501 one directory past the capacity",
            TestBlock{.title = "Disc", .entries = entries}.lines(), 1, false,
            {"ﾃﾞｨﾚｸﾄﾘ数が２０００個を超えました。(501)"}, paths.mid(0, 2000));
    }
    void from_the_file() {
        QFETCH(View, c);
        ScriptedSeam seam;
        G.MaxDirCount = 3;
        use_catalogue(dir.path(), c.lines);
        G.SelectedBlockNo = int16_t(-c.block);
        G.SelectedResultLine = c.line;
        G.SortResults = c.sort;
        for (const QString& m : c.messages)
            seam.expect(m);
        const DirListing d = get_block_data();
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(d.paths, c.paths);
        QCOMPARE(d.text, c.paths.isEmpty() ? NotFound : c.paths.join("\r\n"));
        QCOMPARE(d.label,
                 c.paths.isEmpty() ? c.line : QString("ディレクトリ数： %1個").arg(c.paths.size()));
        QCOMPARE(seam.progressShows, seam.progressHides);
    }

    // The path lines of the chosen block among the results; none is said without a message.
    void from_the_results() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), disc({"2,BIN", "1,DOC"}) + disc({"2,SBIN"}));
        const QString words[3] = {QStringLiteral("bin"), {}, {}};
        SearchDisplay shown;
        QVERIFY(run_string_search(words, 1, options("u"), shown));
        G.SelectedBlockNo = -2;
        DirListing d = get_dir_data();
        QCOMPARE(d.paths, QStringList{"\\TOOLS\\SBIN"});
        QCOMPARE(d.label, QString("ディレクトリ数： 1個"));
        G.ResultLineCount = 1; // block 1's header line alone
        G.SelectedBlockNo = 1;
        d = get_dir_data();
        QCOMPARE(d.text, NotFound);
        QCOMPARE(d.label, QString("ディレクトリ数： 0個"));
    }
};

QTEST_GUILESS_MAIN(TestBlockView)
#include "tst_block_view.moc"
