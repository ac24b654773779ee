// The catalogue scan, its stops and messages, the result lines, sort and display.
#include "scripted_seam.h"
#include "search/results.h"
#include "search/search_run.h"
#include "test_catalogue.h"
#include <QTemporaryDir>
#include <QTest>

namespace {
using Lines = QList<QPair<int, QString>>;

Lines held() {
    Lines l;
    for (int i = 1; i <= G.ResultLineCount; ++i)
        l.append({G.ResultLineKinds(i), G.ResultLines(i)});
    return l;
}

SearchDisplay search(const QString& w1, SearchOptions o = {}, const QString& w2 = {},
                     const QString& w3 = {}, int preset = 1) {
    const QString words[3] = {w1, w2, w3};
    SearchDisplay d;
    run_string_search(words, preset, o, d);
    return d;
}

TestBlock tools_block() {
    TestBlock b;
    b.title = QStringLiteral("Sample Disc");
    b.year = QStringLiteral("1999");
    b.month = QStringLiteral("5");
    b.volume = QStringLiteral("MYDISC");
    b.parents = QStringList{"\\", "\\TOOLS\\"};
    b.entries = QStringList{"1,DOCS", "1,TOOLS", "2,BIN"};
    return b;
}

SearchOptions unsorted() {
    SearchOptions o;
    o.sort = false;
    o.showDirs = true;
    return o;
}
} // namespace

class TestScan : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() { fresh_state(); }

    void paths_and_header_in_file_order() {
        ScriptedSeam seam;
        TestBlock other;
        other.title = QStringLiteral("Other");
        other.parents = QStringList{"\\", "\\X"}; // a hand-edited parent without "\"
        other.entries = QStringList{"1,X", " 2 ,  BINARY  "};
        use_catalogue(dir.path(), QStringList{"junk before the first block", "1,BIN"} +
                                      catalogue({tools_block(), other}));
        search(QStringLiteral("bin"), unsorted());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(held(), (Lines{{-1, u"Sample Disc 1999  5  [Vol:MYDISC]"_qs},
                                {1, "\\TOOLS\\BIN"},
                                {-2, "Other  "},
                                {2, "\\X\\BINARY"}}));
        QCOMPARE(G.HeaderBlockCount, int16_t(2));
        QCOMPARE(G.HeaderTable(1, 7), QStringLiteral("1999/05/12 10:30:00"));
    }

    void header_text_spans_fields() {
        ScriptedSeam seam;
        TestBlock b;
        b.title = QStringLiteral("ABC");
        b.publisher = QStringLiteral("DEF");
        b.memo = QStringLiteral("one$RET$$LF$two");
        use_catalogue(dir.path(), catalogue({b}));
        search(QStringLiteral("CD"));
        QCOMPARE(G.ResultLineCount, 1);
        QCOMPARE(G.HeaderTable(1, 3), QStringLiteral("one\r\ntwo"));
        // The memo is searched unescaped, line break and all.
        search(QStringLiteral("one\r\ntwo"));
        QCOMPARE(G.ResultLineCount, 1);
        // Field 10 is not searched by default.
        G.HeaderFieldSearched(2) = 0;
        seam.expect("(309)");
        search(QStringLiteral("CD"));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // Words wholly in the parent, spanning parent and name, or in the name; substring and
    // wildcard take different paths through the scan and must agree.
    void words_across_parent_and_name_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("wildcard");
        QTest::addColumn<QStringList>("paths");
        const QStringList both{"\\TOOLS", "\\TOOLS\\BIN"};
        QTest::newRow("in the parent") << "tools" << false << both;
        QTest::newRow("spanning") << "ls\\b" << false << QStringList{"\\TOOLS\\BIN"};
        QTest::newRow("in the name") << "docs" << false << QStringList{"\\DOCS"};
        QTest::newRow("wildcard in the parent") << "*tools*" << true << both;
        QTest::newRow("wildcard spanning") << "*ls\\b*" << true << QStringList{"\\TOOLS\\BIN"};
    }
    void words_across_parent_and_name() {
        QFETCH(QString, word);
        QFETCH(bool, wildcard);
        QFETCH(QStringList, paths);
        ScriptedSeam seam;
        use_catalogue(dir.path(), catalogue({tools_block()}));
        SearchOptions o = unsorted();
        o.wildcard = wildcard;
        search(word, o);
        QStringList got;
        for (const auto& [kind, text] : held())
            if (kind > 0) got << text;
        QCOMPARE(got, paths);
    }

    // Parents without their trailing backslash, one ending in ソ (whose second byte is the
    // backslash byte), one with an escape; the last block's parents stay in DirPaths.
    void parent_lines_as_stored() {
        ScriptedSeam seam;
        TestBlock b;
        b.parents = QStringList{"\\", u"\\ソ"_qs, "\\caf&#233;\\", u"\\表\\"_qs};
        b.entries = QStringList{u"2,X"_qs, "3,X", "4,X", "1,X"};
        use_catalogue(dir.path(), catalogue({b}));
        search(QStringLiteral("x"), unsorted());
        QCOMPARE(held().mid(1),
                 (Lines{{1, u"\\ソ\\X"_qs}, {1, u"\\café\\X"_qs}, {1, u"\\表\\X"_qs}, {1, "\\X"}}));
        QCOMPARE(G.DirCount, int16_t(4));
        QCOMPARE(G.DirPaths(3), u"\\café\\"_qs);
        SearchOptions o;
        o.headerOnly = true;
        search(QStringLiteral("q"), o);
        QCOMPARE(G.DirPaths(2), u"\\ソ\\"_qs);
    }

    // The substring scan takes short cuts (parents tested once, names skipped when they
    // cannot complete a word); the wildcard scan "*word*" tests every whole path. Both
    // must find the same lines, for every folding and combination.
    void substring_short_cuts_agree_with_whole_paths() {
        ScriptedSeam seam;
        TestBlock b;
        b.title = QStringLiteral("Mixed");
        b.parents = QStringList{"\\", u"\\ソ"_qs, u"\\ＡＢＣ\\ｶﾞｲﾄﾞ\\"_qs, "\\caf&#233;\\",
                                u"\\表\\Zyx\\"_qs};
        b.entries = QStringList{u"1,ソ"_qs,     u"2,ガイド"_qs, u"2,abc"_qs,
                                u"3,Ｚｙｘ"_qs, u"3,d\\e"_qs,   u"4,&#233;t&#233;"_qs,
                                u"5,ｿﾌﾄ"_qs,    u"5, x ｶﾞ "_qs, u"4,ＡＢＣ"_qs,
                                u"1,表"_qs,     u"1,&#233;"_qs};
        use_catalogue(dir.path(), catalogue({b}));
        const QStringList words{"a",   u"ｶﾞ"_qs,   u"ガ"_qs,  u"ＡＢ"_qs, "c\\g",
                                "\\",  u"ソ\\"_qs, u"表"_qs,  u"é"_qs,    "zyx",
                                "\\d", u"ｿ"_qs,    u"x ｶ"_qs, u"ﾞｲ"_qs,   "f\\"};
        auto lines = [&](const QStringList& w, int preset, SearchOptions o) {
            QStringList words3 = w;
            if (o.wildcard)
                for (QString& x : words3)
                    if (!x.isEmpty()) x = u'*' + x + u'*';
            while (words3.size() < 3)
                words3 << QString();
            const QString arr[3] = {words3[0], words3[1], words3[2]};
            SearchDisplay d;
            seam.expect("(309)"); // when nothing is found; left pending otherwise
            run_string_search(arr, preset, o, d);
            QStringList got;
            for (const ResultEntry& e : d.entries)
                got << QString::number(e.kind) + e.text;
            return got;
        };
        for (const bool foldCase : {true, false})
            for (const bool foldWidth : {true, false}) {
                SearchOptions o = unsorted();
                o.foldCase = foldCase;
                o.foldWidth = foldWidth;
                SearchOptions w = o;
                w.wildcard = true;
                int found = 0;
                for (const QString& word : words) {
                    const QStringList got = lines({word}, 1, o);
                    QCOMPARE(got, lines({word}, 1, w));
                    found += int(got.size());
                }
                QVERIFY(found > 20);
                for (int preset = 1; preset <= 6; ++preset)
                    QCOMPARE(lines({"a", u"ｿ"_qs, "zyx"}, preset, o),
                             lines({"a", u"ｿ"_qs, "zyx"}, preset, w));
            }
    }

    void root_placeholder_is_never_a_result() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), catalogue({TestBlock{}}));
        seam.expect("(309)");
        search(QStringLiteral("\\"), unsorted());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.ResultLineCount, 0);
    }

    void escaped_names_are_decoded() {
        ScriptedSeam seam;
        TestBlock b = tools_block();
        b.entries << QStringLiteral("1,caf&#233;");
        use_catalogue(dir.path(), catalogue({b}));
        search(QStringLiteral("CAFÉ"), unsorted());
        QCOMPARE(held().value(1).second, QStringLiteral("\\café"));
    }

    void header_only_skips_malformed_entries() {
        ScriptedSeam seam;
        TestBlock b = tools_block();
        b.entries = QStringList{"no comma", ",lead", "9,BIN"};
        use_catalogue(dir.path(), catalogue({b}));
        SearchOptions o;
        o.headerOnly = true;
        search(QStringLiteral("sample"), o);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.ResultLineCount, 1);
    }

    void consistency_stops_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("kept");
        QTest::newRow("no comma") << QStringList{"2,BIN", "BIN"} << "(305)" << 2;
        QTest::newRow("comma first") << QStringList{",BIN"} << "(305)" << 0;
        QTest::newRow("parent 0") << QStringList{"0,BIN"} << "(306)" << 0;
        QTest::newRow("parent beyond the block") << QStringList{"2,BIN", "3,BIN"} << "(306)" << 2;
        QTest::newRow("number too large: access failure, nothing kept")
            << QStringList{"2,BIN", "40000,BIN"} << "(310)" << 0;
    }
    void consistency_stops() {
        QFETCH(QStringList, entries);
        QFETCH(QString, message);
        QFETCH(int, kept);
        ScriptedSeam seam;
        TestBlock b = tools_block();
        b.entries = entries;
        use_catalogue(dir.path(), catalogue({b, tools_block()}));
        seam.expect(message);
        search(QStringLiteral("bin"), unsorted());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.ResultLineCount, kept);
        if (message != "(310)")
            QVERIFY(seam.shown.first().text.contains(QStringLiteral("データファイル：") +
                                                     G.DataDir + "tobrin.dat"));
    }

    void eleventh_header_line() {
        ScriptedSeam seam;
        QStringList l = tools_block().lines();
        l.insert(11, QStringLiteral("\"extra\""));
        use_catalogue(dir.path(), l);
        seam.expect(u"見出しデータが１０行を超えています。(302)"_qs);
        search(QStringLiteral("zzz"));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void too_many_blocks_stop_unsorted() {
        ScriptedSeam seam;
        TestBlock a, b;
        a.title = QStringLiteral("zeta");
        b.title = QStringLiteral("alpha");
        QStringList lines;
        for (int i = 0; i < 201; ++i)
            lines << (i % 2 ? b : a).lines();
        use_catalogue(dir.path(), lines);
        seam.expect(u"見出し数が２００個を超えました。(301)\r\n\r\n"_qs);
        const SearchDisplay d = search(QStringLiteral("a")); // sort is on
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.HeaderBlockCount, int16_t(200));
        QCOMPARE(d.total, 200);
        QCOMPARE(held().mid(0, 3), (Lines{{-1, "zeta  "}, {-2, "alpha  "}, {-3, "zeta  "}}));
    }

    void short_header_leaves_no_stale_fields() {
        ScriptedSeam seam;
        TestBlock full;
        full.title = QStringLiteral("old title");
        use_catalogue(dir.path(), catalogue({full}));
        search(QStringLiteral("old"));
        write_cp932_file(G.DataFilePath, {"*01", "\"new\"", "*02", "\\", "*03", "1,NEWDIR"});
        search(QStringLiteral("newdir"), unsorted());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.HeaderTable(1, 1), QStringLiteral("new"));
        QCOMPARE(G.HeaderTable(1, 7), QString());
        QCOMPARE(held(), (Lines{{-1, "new  "}, {1, "\\NEWDIR"}}));
    }

    void result_capacity_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("message");
        QTest::newRow("path lines") << "bin" << u"検索一致データが３個を超えました。(307)"_qs;
        QTest::newRow("header line") << "sample" << u"検索一致データが３個を超えました。(311)"_qs;
    }
    void result_capacity() {
        QFETCH(QString, word);
        QFETCH(QString, message);
        ScriptedSeam seam;
        G.MaxResultLines = 3;
        TestBlock b = tools_block();
        b.entries = QStringList{"2,BIN", "2,BIN2", "2,BIN3"};
        use_catalogue(dir.path(), catalogue({tools_block(), b, tools_block(), tools_block()}));
        seam.expect(message);
        search(word, unsorted());
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.ResultLineCount, 3);
    }

    void too_many_parents() {
        ScriptedSeam seam;
        G.MaxDirCount = 101;
        TestBlock b = tools_block();
        for (int i = 0; i < 100; ++i)
            b.parents << QStringLiteral("\\D%1\\").arg(i);
        use_catalogue(dir.path(), catalogue({b}));
        seam.expect(u"ﾃﾞｨﾚｸﾄﾘ数が１０１個を超えました。(303)"_qs);
        search(QStringLiteral("zzz"));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.DirCount, int16_t(101));
    }

    void failures_keep_nothing() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), catalogue({tools_block()}));
        SearchOptions o;
        o.wildcard = true;
        seam.expect(u"のアクセスができません。(310)\r\n\r\n原因 : パターン文字列が不正です。"_qs);
        search(QStringLiteral("[bin"), o);
        QCOMPARE(G.ResultLineCount, 0);
        QCOMPARE(G.HeaderBlockCount, int16_t(0));
        G.DataFileName = QStringLiteral("missing.dat");
        seam.expect(u"missing.dat]のアクセスができません。(310)"_qs);
        const SearchDisplay d = search(QStringLiteral("bin"));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(d.caption, u"\r\n検索結果 (一致するﾃﾞｰﾀが見つかりません。)"_qs);
        QVERIFY(seam.progressShows == seam.progressHides);
    }

    void empty_file_and_no_words() {
        ScriptedSeam seam;
        use_catalogue(dir.path(), {});
        seam.expect("(309)");
        search(QStringLiteral("x"));
        seam.expect(u"検索条件が未入力です。(208)"_qs);
        SearchDisplay d;
        const QString none[3];
        QVERIFY(!run_string_search(none, 1, {}, d));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void header_line_data() {
        QTest::addColumn<QStringList>("fields"); // title, year, month, volume
        QTest::addColumn<QString>("line");
        QTest::newRow("full") << QStringList{"DOS/V magazine", "1999", "5", "CD01"}
                              << "DOS/V magazine 1999  5  [Vol:CD01]";
        QTest::newRow("month 12, no volume")
            << QStringList{"DOS/V magazine", "1999", "12", ""} << "DOS/V magazine 1999 12";
        QTest::newRow("title only") << QStringList{"T", "", "", ""} << "T  ";
        QTest::newRow("month 9") << QStringList{"", "", "9", ""} << " 9";
        QTest::newRow("month 10") << QStringList{"", "", "10", ""} << "10";
        QTest::newRow("1月") << QStringList{"", "", u"1月"_qs, ""} << u" 1月"_qs;
        QTest::newRow("one full-width letter") << QStringList{"", "", u"Ｘ"_qs, ""} << u"Ｘ"_qs;
        QTest::newRow("volume only") << QStringList{"", "", "", "V"} << " [Vol:V]";
        QTest::newRow("month and volume") << QStringList{"", "", "1", "V"} << " 1  [Vol:V]";
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << "";
    }
    void header_line() {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        QCOMPARE(header_line_text(fields[0], fields[1], fields[2], fields[3]), line);
    }

    void sort_is_stable_with_headers_first() {
        ScriptedSeam seam;
        TestBlock a, b, c;
        a.title = QStringLiteral("beta");
        a.parents = QStringList{"\\"};
        a.entries = QStringList{"1,Zeta", "1,alpha"};
        b.title = QStringLiteral("BETA");
        b.entries = QStringList{"1,ALPHA"};
        c.title = QStringLiteral("ａｌｐｈａ");
        use_catalogue(dir.path(), catalogue({a, b, c}));
        SearchOptions o;
        o.showDirs = true;
        o.foldCase = true;
        HeaderFieldSearchedOnlyTitle();
        search(QStringLiteral("a"), o);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(held(), (Lines{{-3, u"ａｌｐｈａ  "_qs},
                                {-1, "beta  "},
                                {-2, "BETA  "},
                                {1, "\\alpha"},
                                {2, "\\ALPHA"},
                                {1, "\\Zeta"}}));
        QCOMPARE(seam.labels, (QStringList{"", "", ""}));
    }

    void large_sort() {
        ScriptedSeam seam;
        G.MaxResultLines = 19999;
        G.ResultLines.redim(G.MaxResultLines);
        G.ResultLineKinds.redim(G.MaxResultLines);
        G.ResultLineCount = 19999;
        for (int i = 1; i <= 19999; ++i) {
            G.ResultLines(i) = QString::number((i * 7919) % 1000);
            G.ResultLineKinds(i) = int16_t(i % 7 == 0 ? -i % 30000 - 1 : i % 30000 + 1);
        }
        sort_data(true);
        for (int i = 2; i <= 19999; ++i) {
            const bool h1 = G.ResultLineKinds(i - 1) < 0, h2 = G.ResultLineKinds(i) < 0;
            QVERIFY(h1 >= h2);
            if (h1 == h2) QVERIFY(G.ResultLines(i - 1) <= G.ResultLines(i));
            if (h1 == h2 && G.ResultLines(i - 1) == G.ResultLines(i))
                QVERIFY(std::abs(G.ResultLineKinds(i - 1)) < std::abs(G.ResultLineKinds(i)));
        }
    }

    void caption_counts_hidden_lines() {
        ScriptedSeam seam;
        TestBlock b = tools_block();
        b.entries = QStringList{"2,BIN", "2,BIN2", "2,SBIN", "1,BINX"};
        use_catalogue(dir.path(), catalogue({b}));
        SearchOptions o; // headers shown, paths not
        const SearchDisplay d = search(QStringLiteral("bin"), o);
        QCOMPARE(d.entries.size(), 1);
        QCOMPARE(d.entries.first().kind, int16_t(-1));
        QCOMPARE(
            d.caption,
            u"検索結果 [総数:5 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:4]\r\n （結果をﾀﾞﾌﾞﾙｸﾘｯｸすれば見出しを表示。）"_qs);
        o.showHeaders = false;
        o.showDirs = true;
        QCOMPARE(result_display(o).entries.size(), 4);
        o.showDirs = false; // neither ticked shows everything
        QCOMPARE(result_display(o).entries.size(), 5);
    }

    void block_search_lists_every_block() {
        ScriptedSeam seam;
        TestBlock a, b;
        a.title = QStringLiteral("b");
        b.title = QStringLiteral("a");
        use_catalogue(dir.path(), catalogue({a, b, TestBlock{}}));
        G.SearchWords(1) = QStringLiteral("kept");
        SearchOptions o;
        o.sort = false;
        const SearchDisplay d = run_block_search(o);
        QVERIFY(o.wildcard && o.headerOnly && o.showHeaders && !o.showDirs);
        QCOMPARE(d.total, 3);
        QCOMPARE(G.BlockSearchMode, int16_t(1));
        QCOMPARE(G.SearchWords(1), QStringLiteral("kept"));
    }

  private:
    void HeaderFieldSearchedOnlyTitle() {
        for (int k = 2; k <= 10; ++k)
            G.HeaderFieldSearched(k) = 0;
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
