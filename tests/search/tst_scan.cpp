// SPDX-License-Identifier: GPL-3.0-or-later
// The search: match modes, presets, folding and wildcard patterns; the catalogue scan, its
// stops and messages, the result lines and their order; tobrin-cli search, blocks, show and
// check on a small catalogue.
#include "scripted_seam.h"
#include "search/match.h"
#include "search/results.h"
#include "search/search_rules.h"
#include "search/search_run.h"
#include "search/wildcard.h"
#include "test_catalogue.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// words: fields [1]|[2]|[3]; flags as options() reads them; each text of `hits` matches,
// none of `misses` does.
void match_row(const char* name, const char* words, int preset, const char* flags,
               const QStringList& hits, const QStringList& misses = {}) {
    QTest::newRow(name) << QString(words) << preset << QString(flags) << hits << misses;
}
// One scan: capacity sets MaxHeaderBlocks, MaxDirCount and MaxResultLines (0: defaults);
// message is the one expected (none when empty); held the result lines kept. No lines: no
// file at all.
struct Scan {
    QStringList lines, held;
    QString word, flags, message;
    int capacity;
};
void scan_row(const char* name, const QStringList& lines, const char* word, const char* message,
              const QStringList& held = {}, const char* flags = "ud", int capacity = 0) {
    QTest::newRow(name) << Scan{lines, held, word, flags, message, capacity};
}
// err: the whole of stderr, or null not to look at it; sub: the folder below the catalogue's.
void cli_row(const char* name, const QStringList& args, int code, const char* out = "",
             const char* err = nullptr, const char* sub = "") {
    QTest::newRow(name) << args << code << QString(out) << QString(err) << QString(sub);
}
} // namespace
Q_DECLARE_METATYPE(Scan)

class TestScan : public QObject {
    Q_OBJECT
    QTemporaryDir dir, cliDir;

  private slots:
    void initTestCase() {
        QStringList alpha = disc({"1,DOCS", "2,BIN", "2,a&#10;b"}, "ＡＬＰＨＡ");
        alpha[3] = "\"one$RET$$LF$t\\nwo\""; // the memo: a line break, a backslash and n
        alpha[4] = "\"1999\"";
        alpha[5] = "\"12\"";
        alpha[6] = "\"v&#56575;\""; // field 6: a byte that decodes to nothing
        alpha[8] = "\"CD01\"";
        QStringList beta = disc({"1,TOOLS", "2,bin"}, "beta");
        beta[4] = "\"1999\"";
        beta[5] = "\"5\"";
        write_cp932_file(cliDir.filePath("tobrin.dat"), beta + alpha);
        // Faults in file order.
        QStringList bad = disc({"1,A", "B"}, "b");
        bad.insert(4, "\"eleventh\"");
        write_cp932_file(cliDir.filePath("bad/tobrin.dat"), bad);
    }

    void init() { fresh_state(); }

    void check_match_data() {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("preset");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QStringList>("hits");
        QTest::addColumn<QStringList>("misses");
        // Presets 5 and 6 exchange words [1] and [3]: " [1]  or ([2]  and [3])" is tested
        // as ([3] and [2]) or [1].
        match_row("preset 1: any", "a|b|c", 1, "", {"zzc"}, {"xyz"});
        match_row("preset 2: all", "a|b|c", 2, "", {"cab"}, {"ca"});
        match_row("preset 3: (a or b) and c", "a|b|c", 3, "", {"bc", "ac"}, {"ab"});
        match_row("preset 4: (a and b) or c", "a|b|c", 4, "", {"c", "ab"}, {"a"});
        match_row("preset 5: a or (b and c)", "a|b|c", 5, "", {"xax", "bc"}, {"xbx", "xcx"});
        match_row("preset 6: a and (b or c)", "a|b|c", 6, "", {"xaxc", "ab"}, {"xbxc", "a"});
        match_row("[1] and [3] filled", "a||c", 2, "", {"ac"}, {"c"});
        match_row("a blank is a word", " ||", 1, "", {"a b"}, {"ab"});
        // Width is folded before case, on the words and on every text.
        match_row("ＡＢＣ, case kept", "ＡＢＣ", 1, "c", {"ABC"}, {"abc"});
        match_row("ＡＢＣ, width kept", "ＡＢＣ", 1, "w", {"ａｂｃ"}, {"ABC"});
        // Typed on Linux, these differ from the characters Windows stored for them.
        match_row("〜−‖¢£¬— find what Windows stored", "〜−‖¢£¬—", 1, "", {"～－∥￠￡￢―"});
        // Wildcard patterns match the whole text.
        match_row("wildcard: whole text", "abc", 1, "*", {"abc", "ABC"}, {"xabcx"});
        match_row("wildcard: [*] a literal star", "[*]*", 1, "*", {"*dos"}, {"dos*"});
        match_row("wildcard: ? one character", "a?c", 1, "*", {"abc"}, {"ac", "abbc"});
        match_row("wildcard: # takes 0 and 9, not their neighbours", "#", 1, "*cw", {"0", "9"},
                  {"/", ":", "０", "#", "a"});
        match_row("wildcard: a range of one character", "[b-b]x", 1, "*", {"bx"}, {"ax", "cx"});
        match_row("wildcard: case folded at A, Z, a, z", "[a-z]", 1, "*", {"A", "Z", "a", "z"},
                  {"@", "[", "`", "{"});
        match_row("wildcard: negated range", "[!a-c]x", 1, "*", {"dx"}, {"bx"});
        match_row("wildcard: dash last is literal", "[a-]", 1, "*", {"-", "a"}, {"b"});
        match_row("wildcard: folded pattern, stars matching nothing", "＊ＤＯＳ＊", 1, "*",
                  {"msdos6", "dos"});
    }
    void check_match() {
        QFETCH(QString, words);
        QFETCH(int, preset);
        QFETCH(QString, flags);
        QFETCH(QStringList, hits);
        QFETCH(QStringList, misses);
        for (int k = 1; k <= 3; ++k)
            G.SearchWords(k) = words.section(u'|', k - 1, k - 1);
        const SearchOptions o = options(flags);
        check_match_status(preset, o);
        for (const QString& text : hits + misses) {
            int16_t n = -1;
            ::check_match(text, o, n);
            QVERIFY2(n == int16_t(hits.contains(text)), qPrintable(text));
        }
    }

    // No exponential backtracking.
    void wildcard_limits() {
        const WildcardPattern p(u"*a*a*a*a*a*a*a*a*b");
        QVERIFY(!p.matches(QString(20000, u'a')));
        QVERIFY(p.matches(QString(20000, u'a') + u'b'));
    }

    // Rules the search screen and tobrin-cli share: only "1" to "6" are a saved preset; when
    // two presets appear the remembered one comes back if it is one of them (the "and" too),
    // else "or"; when both kinds of line are cleared, the one cleared last comes back.
    void search_rules() {
        G.SavedSettings(10) = "6";
        QCOMPARE(saved_preset(), 6);
        G.SavedSettings(10) = "7";
        QCOMPARE(saved_preset(), 1);
        QCOMPARE(preset_after_change(0, 2, 1, 2), 2);
        QCOMPARE(preset_after_change(6, 2, 3, 3), 1);
        const SearchOptions none{.showHeaders = false, .showDirs = false};
        QVERIFY(consistent_display(none, ShownLines::Dirs).showDirs);
        QVERIFY(consistent_display(none, ShownLines::Headers).showHeaders);
    }

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
        scan_row("file order, junk before the first block, names trimmed, parent without \\",
                 QStringList{"junk", "1,BIN"} + bin + other, "bin", "",
                 hit + QStringList{"-2 Other  ", "2 \\X\\BIN"});
        scan_row("word spanning parent and name", bin, "ls\\b", "", hit);
        // The scan looks first for the pattern's longest run of plain characters.
        scan_row("wildcard, literal runs split by a star", bin, "*to*bin", "", hit, "ud*");
        scan_row("escaped names found", odd, "é", "", {"-1 Disc  ", "1 \\café\\X", "1 \\ÉX"});
        scan_row("a word across a parent ending in the backslash byte", odd, "ソ\\x", "",
                 {"-1 Disc  ", "1 \\ソ\\X"});
        scan_row("header text across fields", header, "CD", "", {"-1 ABC  "});
        scan_row("field 10 not searched", header, "XYZ", "(309)");
        scan_row("root placeholder is never a result", TestBlock{}.lines(), "\\", "(309)");
        // Paths whose keys are equal once folded keep the order they were found in, after
        // the header line.
        QStringList dos, found{"-1 Disc  "};
        for (int i = 0; i < 300; ++i) {
            dos << "2," + QStringList{"dos", "DOS", "ＤＯＳ", "ｄｏｓ", "Dos"}[i * 7 % 5];
            found << "1 \\TOOLS\\" + dos.last().mid(2);
        }
        scan_row("sorted, equal keys in the order found", disc(dos), "dos", "", found, "d");
        // Blocks that hold no hit are still read for their form.
        scan_row("306 parent beyond the block", disc({"3,BIN"}) + bin, "zzz", "(306)");
        scan_row("310 invalid pattern", bin, "[bin",
                 "(310)\r\n\r\n原因 : パターン文字列が不正です。", {}, "ud*");
        scan_row("310 no file", {}, "bin", "missing.dat]のアクセスができません。(310)");
        scan_row("307 path lines", disc({"2,BIN", "2,BIN2", "2,BIN3"}), "bin",
                 "検索一致データが３個を超えました。(307)", hit2, "ud", 3);
        scan_row("307 not at the capacity", disc({"2,BIN", "2,BIN2"}), "bin", "", hit2, "ud", 3);
        scan_row("303 not at the capacity itself", bin, "zzz", "(309)", {}, "ud", 2);
        const QStringList three = disc({}, "zeta") + disc({}, "alpha") + disc({}, "zeta");
        scan_row("301 not at the capacity itself", three, "a", "",
                 {"-2 alpha  ", "-1 zeta  ", "-3 zeta  "}, "", 3);
        scan_row("311 header line", disc({"2,BIN", "2,BIN2"}) + bin, "bin", "(311)", hit2, "ud", 3);
        scan_row("301 one block too many, results unsorted", three + disc({}, "alpha"), "a",
                 "見出し数が３個を超えました。(301)", {"-1 zeta  ", "-2 alpha  ", "-3 zeta  "}, "",
                 3);
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

    void commands_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QString>("sub");
        // Header lines first, by narrow lower-case text; equal texts keep file order.
        const char* both = "-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n-1\tbeta 1999  "
                           "5\n1\t\\TOOLS\\bin\n2\t\\TOOLS\\BIN\n";
        cli_row("search", {"search", "bin"}, 0, both, "検索結果 [総数:4 / 見出:2 / ﾃﾞｨﾚｸﾄﾘ:2]\n");
        cli_row("three words, preset 5: [1] or ([2] and [3])",
                {"search", "--preset", "5", "zzz", "tools", "bin"}, 0, both);
        // The caption counts the lines not shown too.
        cli_row("search, case kept, unsorted, headers shown",
                {"search", "--case", "--no-sort", "--show", "headers", "BIN"}, 0,
                "-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n", "検索結果 [総数:2 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:1]\n");
        cli_row("search finding nothing", {"search", "--width", "alpha"}, 1, "",
                "検索結果 (一致するﾃﾞｰﾀが見つかりません。)\n"
                "検索一致データが見つかりませんでした。(309)\n");
        // A word typed with the catalogue's escapes finds the name as shown.
        cli_row("search, escaped word", {"search", "a&#10;b"}, 0,
                "-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n2\t\\TOOLS\\a&#10;b\n");
        cli_row("blocks", {"blocks", "--no-sort"}, 0,
                "-1\tbeta 1999  5\n-2\tＡＬＰＨＡ 1999 12  [Vol:CD01]\n");
        // Line breaks (the memo's too) and undecodable bytes as the catalogue's escapes: one
        // field or path, one line.
        cli_row("show, memo on one line, sorted", {"show", "2", "--sort"}, 0,
                "1\tＡＬＰＨＡ\n2\t\n3\tone&#13;&#10;t\\nwo\n4\t1999\n5\t12\n6\tv&#56575;\n"
                "7\t1999/05/12 10:30:00\n"
                "8\tCD01\n9\tq\n10\t\n\\DOCS\n\\TOOLS\\BIN\n\\TOOLS\\a&#10;b\n");
        cli_row("show, no such block", {"show", "3"}, 1, "",
                "ディレクトリが見つかりませんでした。(505)\n");
        cli_row("check, a clean file", {"check"}, 0);
        cli_row("check, every fault in file order", {"check"}, 1,
                "line 12: 302 more than 10 header lines in block 1\n"
                "line 18: 305 no comma after the first character of a subdirectory line\n",
                nullptr, "bad");
    }
    void commands() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, sub);
        // A configuration file that does not exist: the defaults apply, and the catalogue is
        // the one in the working folder.
        QProcess p;
        p.setWorkingDirectory(cliDir.filePath(sub));
        p.start(TOBRIN_CLI, args + QStringList{"--config", "none.cfg"});
        p.waitForFinished(60000);
        QCOMPARE(p.exitCode(), code);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        // Without the notice about the missing configuration file.
        const QString all = QString::fromUtf8(p.readAllStandardError());
        if (!err.isNull()) QCOMPARE(all.section("デフォルト値で動作します。\n", -1), err);
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
