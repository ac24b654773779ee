// SPDX-License-Identifier: GPL-3.0-or-later
// The scan split into parts over threads, and the scan that reads every block whole,
// against the single scan: random catalogues (faults, caps, odd line ends) and random
// queries give the same results, the same messages, the same header table and the same
// parent lines left behind. Names ending in "*01" tempt the splitter to cut inside a line.
#include "fuzz_support.h"
#include "search/read_data.h"
#include "search/search_run.h"
#include "test_catalogue.h"
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QStringList Names{"DOS",  "dos", "ＤＯＳ", "Win95", "ゲーム", "ｹﾞｰﾑ", "v1.0",  "a,b", "tools",
                        "DOSV", "x1",  "&#233;", "表",    "ソフト", "BIN",  "dosv9", "a*01"};

QString pick(QRandomGenerator& r, const QStringList& from) {
    return from[int(r.bounded(from.size()))];
}

// A catalogue of random blocks; now and then a line that a reader stops at.
QByteArray random_catalogue(QRandomGenerator& r, bool faults) {
    QStringList lines;
    if (r.bounded(4) == 0) lines = QStringList{"*03", "1,before"};
    const int blocks = 1 + int(r.bounded(40));
    for (int b = 0; b < blocks; ++b) {
        TestBlock t{.title = pick(r, Names),
                    .year = QString::number(1990 + r.bounded(10)),
                    .volume = pick(r, Names),
                    .entries = {}};
        const int parents = 1 + int(r.bounded(6));
        for (int p = 1; p < parents; ++p)
            t.parents << t.parents[int(r.bounded(p))] + pick(r, Names) + u'\\';
        const int entries = int(r.bounded(12));
        for (int e = 0; e < entries; ++e)
            t.entries << QString::number(1 + r.bounded(parents)) + u',' + pick(r, Names);
        QStringList l = t.lines();
        // Anywhere, or among the subdirectory lines (read even where no name can match).
        if (faults && r.bounded(12) == 0) {
            const int at = r.bounded(2) ? 1 + int(r.bounded(l.size()))
                                        : int(l.size() - r.bounded(entries + 1));
            l.insert(at, pick(r, {"no comma", ",x", "99,x", "\"eleventh\"", "1e400,x"}));
        }
        lines << l;
    }
    QTemporaryDir d;
    write_cp932_file(d.filePath("c"), lines);
    QByteArray bytes = read_bytes(d.filePath("c"));
    return r.bounded(5) == 0 ? bytes.replace("\r\n", "\r") : bytes;
}
} // namespace

class TestParallelScan : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void same_outcome_split_or_not() {
        QRandomGenerator r(20261206);
        const QStringList words{"dos",     "DOS",     "ｹﾞｰﾑ", "*dos*", "DOS?V*",
                                "[a-c]*#", "*[z-a]*", "\\",   "*\\*",  "b",
                                "x1",      "é",       "*",    "ｿﾌﾄ",   "zz"};
        for (int round = 0; round < 300; ++round) {
            fresh_state();
            use_catalogue(dir.path(), {});
            write_bytes(G.DataFilePath, random_catalogue(r, round % 2));
            // Small tables, so that the caps stop scans too.
            G.MaxHeaderBlocks = 5 + int(r.bounded(40));
            G.MaxResultLines = 3 + int(r.bounded(60));
            G.MaxDirCount = 2 + int(r.bounded(6));
            const QString w[3] = {pick(r, words), r.bounded(2) ? pick(r, words) : QString(),
                                  r.bounded(3) ? QString() : pick(r, words)};
            const QString flags = QStringList{"ud", "d", "c", "w*", "*", "h", "hu"}[r.bounded(7)];
            const int preset = 1 + int(r.bounded(w[2].isEmpty() ? 2 : 6));
            SearchOptions whole = options(flags);
            whole.skipBlocks = false;
            // Many parts, each of a block or a few.
            const SearchOutcome single = search_outcome(w, preset, options(flags), false, 64);
            const SearchOutcome split = search_outcome(w, preset, options(flags), true, 64);
            const SearchOutcome unskipped = search_outcome(w, preset, whole, r.bounded(2), 64);
            QVERIFY2(single == split && single == unskipped, qPrintable(QString::number(round)));
        }
    }
};

QTEST_GUILESS_MAIN(TestParallelScan)
#include "tst_parallel_scan.moc"
