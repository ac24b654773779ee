// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue reader: line ends, the grammar's edges read alike by the search scan, the
// directory viewer and the check, a written block read back, and the viewer's own rules.
#include "catalogue/catalogue_check.h"
#include "catalogue/reader.h"
#include "catalogue/writer.h"
#include "scripted_seam.h"
#include "search/search_run.h"
#include "test_catalogue.h"
#include "view/block_view.h"
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {
// What each reader makes of one file, capacities of three parent lines and of 2000 paths
// in a block: the search for "\" (every path holds one), the viewer on block `block`, and
// the check's faults as "line:message" ("failed" when it cannot read).
struct Readers {
    QStringList searchMessages, held, viewMessages, paths, faults;
    int block = 1;
};

// A row of `lines` in code page 932, each ending in `end`.
void agree(const char* name, const QStringList& lines, const Readers& r, const char* end = "\r\n") {
    QTemporaryDir d;
    write_cp932_file(d.filePath("f"), lines);
    QTest::newRow(name) << read_bytes(d.filePath("f")).replace("\r\n", end) << r;
}

} // namespace
Q_DECLARE_METATYPE(Readers)

class TestReader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    void expect_readers(const Readers& r) {
        {
            ScriptedSeam s;
            for (const QString& m : r.searchMessages)
                s.expect(m);
            const QString words[3] = {"\\"};
            SearchDisplay d;
            run_string_search(words, 1, options("ud"), d);
            QVERIFY2(s.satisfied(), s.report());
            QCOMPARE(result_lines(), r.held);
        }
        ScriptedSeam s;
        for (const QString& m : r.viewMessages)
            s.expect(m);
        CatalogueBlock block;
        read_catalogue_block(r.block, false, block);
        QVERIFY2(s.satisfied(), s.report());
        QCOMPARE(block.paths, r.paths);
        QList<CatalogueFault> faults;
        QStringList got;
        if (!check_catalogue(G.DataFilePath, faults)) got << "failed";
        for (const CatalogueFault& f : faults)
            got << QString::number(f.line) + u':' + QString::number(f.message);
        QCOMPARE(got, r.faults);
    }

  private slots:
    void init() { fresh_state(); }

    void line_ends_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("CR LF, LF and a lone CR")
            << QByteArray("a\r\nb\nc\rd") << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("CR CR LF is an empty line")
            << QByteArray("x\r\r\ny") << QByteArrayList{"x", "", "y"};
        QTest::newRow("final lone CR") << QByteArray("x\r") << QByteArrayList{"x"};
        // Lines across the reader's chunks; the first read (256 KiB) ends between the first
        // line's CR and its LF.
        QByteArrayList lines{QByteArray((1 << 18) - 1, 'y')};
        QByteArray bytes = lines.last() + "\r\n";
        const char* ends[] = {"\r\n", "\n", "\r"};
        for (int i = 0; i < 60000; ++i) {
            lines << QByteArray::number(i) + ',' + QByteArray(i % 37, 'x');
            bytes += lines.last() + ends[i % 3];
        }
        QTest::newRow("across chunks, a CR LF on the first boundary")
            << bytes + "last" << lines + QByteArrayList{"last"};
    }
    void line_ends() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArrayList, lines);
        write_bytes(dir.filePath("f"), bytes);
        ByteLineReader r;
        QVERIFY(r.open(dir.filePath("f")));
        QByteArrayList got;
        QByteArrayView v;
        while (r.next(v))
            got << v.toByteArray();
        QCOMPARE(got, lines);
        QVERIFY(!r.failed());
    }

    // One 64 MB line, a lone CR in its middle: each byte is searched once for each kind of
    // line end, not again after every read.
    void a_long_line_reads_in_linear_time() {
        const qsizetype half = qsizetype(32) << 20;
        QByteArray bytes(2 * half, 'x');
        bytes[half] = '\r';
        write_bytes(dir.filePath("f"), bytes + "\r\nend");
        ByteLineReader r;
        QVERIFY(r.open(dir.filePath("f")));
        QByteArrayView v;
        QVERIFY(r.next(v) && v.size() == half);
        QVERIFY(r.next(v) && v.size() == half - 1);
        QVERIFY(r.next(v) && v == "end");
        QVERIFY(!r.next(v) && !r.failed());
        QCOMPARE_LT(r.bytes_searched(), 4 * bytes.size());
        QFile::remove(dir.filePath("f"));
    }

    void readers_agree_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Readers>("r");
        const QStringList hitA{"-1 Disc  ", "1 \\A"};
        // Markers and entry lines before the first block belong to no block.
        agree("lines before the first block",
              QStringList{"*02", "\\STALE\\", "*03", "1,GHOST", "9999,x", "*03"} + disc({"1,A"}),
              {{}, hitA, {}, {"\\A"}, {}});
        // Halves round to even: 1.5 to 2, and 0.5 (below) to 0.
        agree("parent numbers rounded", disc({"1.5,D", " +1.4 ,L"}),
              {{}, {"-1 Disc  ", "1 \\TOOLS\\D", "1 \\L"}, {}, {"\\TOOLS\\D", "\\L"}, {}});
        agree("0.5 rounds to no parent", disc({"1,A", "0.5,B"}),
              {{"(306)"}, hitA, {"(503)"}, {"\\A"}, {"17:306"}});
        agree("a number past 16 bits", disc({"1,A", "1e400,B"}),
              {{"(310)"}, {}, {"(503)"}, {"\\A"}, {"17:310"}});
        // The 16-bit bound: 32767 is a number (out of range here), 32768 is not.
        agree("32767 fits in 16 bits", disc({"1,A", " 32767,B"}),
              {{"(306)"}, hitA, {"(503)"}, {"\\A"}, {"17:306"}});
        agree("32768 does not", disc({"1,A", "32768,B"}),
              {{"(310)"}, {}, {"(503)"}, {"\\A"}, {"17:310"}});
        agree("lone CR line ends", disc({"1,A"}), {{}, hitA, {}, {"\\A"}, {}}, "\r");
        // Only a line that ends at its comma has no path; a name of blanks is the parent's.
        agree("a name of blanks only", disc({"1,A", "2,   "}),
              {{}, {"-1 Disc  ", "1 \\A", "1 \\TOOLS\\"}, {}, {"\\A", "\\TOOLS\\"}, {}});
        agree("no comma, and a comma first", disc({"1,A", "B", ",C"}),
              {{"(305)"}, hitA, {"(502)"}, {"\\A"}, {"17:305", "18:305"}});
        agree("four parent lines",
              TestBlock{.title = "Disc", .parents = {"\\", "\\A\\", "\\B\\", "\\C\\"}}.lines(),
              {{"ﾃﾞｨﾚｸﾄﾘ数が３個を超えました。(303)"}, {}, {"(501)", "(505)"}, {}, {"16:303"}});
        QStringList eleven = disc({"1,A"});
        eleven.insert(5, "\"x\"");
        agree("an eleventh header line, the viewer on the next block", eleven + disc({"1,B"}),
              {{"(302)"}, {}, {"(508)", "(505)"}, {}, {"12:302"}, 2});
        QStringList entries, held{"-1 Disc  "};
        for (int i = 1; i <= 2001; ++i) {
            entries << QStringLiteral("1,D%1").arg(i);
            held << QStringLiteral("1 \\D%1").arg(i);
        }
        const QStringList paths = held.mid(1, 2000).replaceInStrings("1 ", "");
        agree("2001 paths in a block", TestBlock{.title = "Disc", .entries = entries}.lines(),
              {{}, held, {"ﾃﾞｨﾚｸﾄﾘ数が２０００個を超えました。(501)"}, paths, {"2015:501"}});
    }
    void readers_agree() {
        QFETCH(QByteArray, bytes);
        QFETCH(Readers, r);
        use_catalogue(dir.path(), {});
        write_bytes(G.DataFilePath, bytes);
        G.MaxDirCount = 3;
        expect_readers(r);
    }

    // A fifo is never read (it could be read for ever): like a file that cannot be opened.
    void not_a_regular_file() {
        use_catalogue(dir.path(), {});
        QFile::remove(G.DataFilePath);
        QCOMPARE(::mkfifo(QFile::encodeName(G.DataFilePath).constData(), 0600), 0);
        expect_readers({{"(310)"}, {}, {"(310)", "(505)"}, {}, {"failed"}});
        QFile::remove(G.DataFilePath);
    }

    // What the writer stores, each reader gives back: header fields (quotes, markers,
    // memo line breaks) and paths (commas and inner blanks in names, the root placeholder).
    void written_block_reads_back() {
        use_catalogue(dir.path(), {});
        QFile::remove(G.DataFilePath);
        G.HeaderTable.redim(G.MaxHeaderBlocks);
        const QStringList fields{
            "*01", "say \"hi\"", "one\r\ntwo\nthree", "1999", "5", "\"", "", "VOL 1", "q", ""};
        for (int f = 1; f <= 10; ++f)
            G.HeaderTable(1, f) = fields[f - 1];
        G.DirPaths = Array1<QString>{"\\", "\\A, B\\"};
        G.DirCount = 2;
        G.EntryNames = Array1<QString>{"A, B", "x  y", "ソ表"};
        G.EntryParentIndex = Array1<int16_t>{1, 2, 2};
        G.EntryCount = 3;
        int16_t result = 0;
        ScriptedSeam s;
        s.expect("(111)");
        s.expect("(105)");
        write_data(result);
        QCOMPARE(result, int16_t(1));
        CatalogueBlock block;
        QCOMPARE(read_catalogue_block(1, false, block), 1);
        for (int f = 1; f <= 10; ++f)
            QCOMPARE(block.fields[f - 1], f == 7 ? G.HeaderTable(1, 7) : fields[f - 1]);
        QCOMPARE(block.paths, (QStringList{"\\A, B", "\\A, B\\x  y", "\\A, B\\ソ表"}));
        QVERIFY2(s.satisfied(), s.report());
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
