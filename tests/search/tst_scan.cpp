// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue scan, its stops and messages, the result lines and their order.
#include "scripted_seam.h"
#include "search/results.h"
#include "search/search_run.h"
#include "test_catalogue.h"
#include <QTemporaryDir>
#include <QTest>

namespace {
// One scan: capacity sets MaxHeaderBlocks, MaxDirCount and MaxResultLines (0: defaults);
// message is the one expected (none when empty); held the result lines kept. No lines: no
// file at all.
struct Scan {
    QStringList lines;
    QString word, flags;
    int capacity;
    QString message;
    QStringList held;
};
void row(const char* name, const QStringList& lines, const char* word, const char* message,
         const QStringList& held = {}, const char* flags = "ud", int capacity = 0) {
    QTest::newRow(name) << Scan{lines, word, flags, capacity, message, held};
}
} // namespace
Q_DECLARE_METATYPE(Scan)

class TestScan : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() { fresh_state(); }

    void scan_data() {
        QTest::addColumn<Scan>("c");
        const QStringList bin = disc({"1,DOCS", "1,TOOLS", "2,BIN"});
        const QStringList hit{"-1 Disc  ", "1 \\TOOLS\\BIN"},
            hit2 = hit + QStringList{"1 \\TOOLS\\BIN2"};
        // Parents stored without their backslash (one ending in ソ, whose second byte is
        // the backslash byte), and escapes for characters without a code-page-932 form.
        const QStringList odd = TestBlock{.title = "Disc",
                                          .parents = {"\\", "\\ソ", "\\caf&#233;\\", "\\表\\"},
                                          .entries = {"2,X", "3,X", "4,X", "1,&#201;X"}}
                                    .lines();
        // The header text joins the searched fields without separator, the memo unescaped.
        const QStringList header =
            TestBlock{.title = "ABC", .publisher = "DEF", .memo = "one$RET$$LF$two", .h10 = "XYZ"}
                .lines();
        const QStringList other =
            TestBlock{.title = "Other", .parents = {"\\", "\\X"}, .entries = {" 2 , BIN "}}.lines();
        row("file order, junk before the first block, names trimmed, parent without \\",
            QStringList{"junk", "1,BIN"} + bin + other, "bin", "",
            hit + QStringList{"-2 Other  ", "2 \\X\\BIN"});
        row("word spanning parent and name", bin, "ls\\b", "", hit);
        // The scan looks first for the pattern's longest run of plain characters.
        row("wildcard, literal runs split by a star", bin, "*to*bin", "", hit, "ud*");
        row("odd parents and escapes", odd, "x", "",
            {"-1 Disc  ", "1 \\ソ\\X", "1 \\café\\X", "1 \\表\\X", "1 \\ÉX"});
        row("escaped names found", odd, "é", "", {"-1 Disc  ", "1 \\café\\X", "1 \\ÉX"});
        row("a word across a parent ending in the backslash byte", odd, "ソ\\x", "",
            {"-1 Disc  ", "1 \\ソ\\X"});
        row("header text across fields", header, "CD", "", {"-1 ABC  "});
        row("memo unescaped", header, "one\r\ntwo", "", {"-1 ABC  "});
        row("field 10 not searched", header, "XYZ", "(309)");
        row("root placeholder is never a result", TestBlock{}.lines(), "\\", "(309)");
        row("header-only skips malformed entries", disc({"no comma", ",lead", "9,BIN"}), "disc", "",
            {"-1 Disc  "}, "h");
        // Blocks that hold no hit are still read for their form.
        row("306 parent beyond the block", disc({"3,BIN"}) + bin, "zzz", "(306)");
        row("310 invalid pattern", bin, "[bin", "(310)\r\n\r\n原因 : パターン文字列が不正です。",
            {}, "ud*");
        row("310 no file", {}, "bin", "missing.dat]のアクセスができません。(310)");
        row("303 parents", bin, "zzz", "ﾃﾞｨﾚｸﾄﾘ数が１個を超えました。(303)", {}, "ud", 1);
        row("307 path lines", disc({"2,BIN", "2,BIN2", "2,BIN3"}), "bin",
            "検索一致データが３個を超えました。(307)", hit2, "ud", 3);
        row("307 not at the capacity itself", disc({"2,BIN", "2,BIN2"}), "bin", "", hit2, "ud", 3);
        row("303 not at the capacity itself", bin, "zzz", "(309)", {}, "ud", 2);
        row("301 not at the capacity itself",
            disc({}, "zeta") + disc({}, "alpha") + disc({}, "zeta"), "a", "",
            {"-2 alpha  ", "-1 zeta  ", "-3 zeta  "}, "", 3);
        row("311 header line", disc({"2,BIN", "2,BIN2"}) + bin, "bin", "(311)", hit2, "ud", 3);
        row("301 one block too many, results left unsorted",
            disc({}, "zeta") + disc({}, "alpha") + disc({}, "zeta") + disc({}, "alpha"), "a",
            "見出し数が３個を超えました。(301)", {"-1 zeta  ", "-2 alpha  ", "-3 zeta  "}, "", 3);
    }
    void scan() {
        QFETCH(Scan, c);
        ScriptedSeam seam;
        if (c.capacity) G.MaxHeaderBlocks = G.MaxDirCount = int16_t(G.MaxResultLines = c.capacity);
        use_catalogue(dir.path(), c.lines);
        if (c.lines.isEmpty()) G.DataFilePath = G.DataDir + (G.DataFileName = "missing.dat");
        if (!c.message.isEmpty()) seam.expect(c.message);
        const QString words[3] = {c.word};
        SearchDisplay d;
        run_string_search(words, 1, options(c.flags), d);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(result_lines(), c.held);
        QCOMPARE(seam.progressShows, seam.progressHides);
        if (c.message.contains("(310)")) QCOMPARE(G.HeaderBlockCount, int16_t(0));
    }

    // A thousand lines whose keys are equal once folded keep the order they were found in.
    void sort_keeps_found_order() {
        const QStringList spellings{"\\dos", "\\DOS", "\\ＤＯＳ", "\\ｄｏｓ", "\\Dos", "￥dos"};
        const int count = G.MaxResultLines = G.ResultLineCount = 1000;
        G.ResultLines.redim(count);
        G.ResultLineKinds.redim(count);
        for (int i = 1; i <= count; ++i) {
            G.ResultLines(i) = spellings[(i * 7) % 6];
            G.ResultLineKinds(i) = int16_t(i);
        }
        sort_data(G, true);
        for (int i = 1; i <= count; ++i)
            QCOMPARE(G.ResultLineKinds(i), int16_t(i));
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
