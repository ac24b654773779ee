#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "scripted_seam.h"
#include "walk_fixture.h"
#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

namespace {
// Keeps every text written to the total label.
class LabelSeam : public ScriptedSeam {
  public:
    QStringList totals;
    void progress_label(int label, const QString& text) override {
        ScriptedSeam::progress_label(label, text);
        if (label == 3 && !text.isEmpty()) totals << text;
    }
};

// Fills the list directly: slots, then (slot, name) pairs in walk order.
void set_list(const QStringList& slots_, const QList<QPair<int, QString>>& entries) {
    G.DirCount = int16_t(slots_.size());
    for (int i = 0; i < slots_.size(); ++i)
        G.DirPaths(i + 1) = slots_[i];
    G.EntryCount = int16_t(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        G.EntryParentIndex(i + 1) = int16_t(entries[i].first);
        G.EntryNames(i + 1) = entries[i].second;
    }
}

// The quadratic reference the fast sort must match: insertion by exchanges, lower-cased
// display line, code-unit comparison, equal keys never exchanged.
QStringList insertion_sorted(QList<QPair<int, QString>> e, const QStringList& slots_) {
    auto key = [&](const QPair<int, QString>& x) {
        return (slots_[x.first - 1] + x.second).toLower();
    };
    for (int i = 1; i < e.size(); ++i)
        for (int j = i - 1; j >= 0; --j)
            if (key(e[j + 1]) < key(e[j])) e.swapItemsAt(j, j + 1);
    QStringList out;
    for (const auto& x : e)
        out << slots_[x.first - 1] + x.second;
    return out;
}
} // namespace

class TestEntryList : public QObject {
    Q_OBJECT
  private slots:
    void init() { ListProgressIntervalMs = 50; }

    void sort_order_data() {
        QTest::addColumn<QStringList>("slots_");
        QTest::addColumn<QStringList>("names"); // "slot|name", walk order
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("case does not count")
            << QStringList{"\\"} << QStringList{"1|Bin", "1|app"} << QStringList{"\\app", "\\Bin"};
        QTest::newRow("equal keys keep walk order")
            << QStringList{"\\"} << QStringList{"1|ABC", "1|b", "1|abc", "1|Abc"}
            << QStringList{"\\ABC", "\\abc", "\\Abc", "\\b"};
        QTest::newRow("backslash between digits and letters")
            << QStringList{"\\", "\\DOS\\"} << QStringList{"1|DOSX", "2|TOOLS", "1|DOS1", "1|DOS"}
            << QStringList{"\\DOS", "\\DOS1", "\\DOS\\TOOLS", "\\DOSX"};
        QTest::newRow("code units, not locale")
            << QStringList{"\\"} << QStringList{"1|b", "1|_a", "1|Z", "1|~", "1|é", "1|ｱ", "1|ア"}
            << QStringList{"\\_a", "\\b", "\\Z", "\\~", "\\é", "\\ア", "\\ｱ"};
    }
    void sort_order() {
        QFETCH(QStringList, slots_);
        QFETCH(QStringList, names);
        QFETCH(QStringList, sorted);
        DriveQ q;
        QList<QPair<int, QString>> entries;
        for (const QString& n : names)
            entries.append({n.section(u'|', 0, 0).toInt(), n.section(u'|', 1)});
        set_list(slots_, entries);
        LabelSeam seam;
        sort_entries();
        QCOMPARE(display_lines(), sorted);
        QCOMPARE(parent_slots(), slots_);
        QCOMPARE(seam.totals, QStringList{" / " + QString::number(names.size())});
        if (names.size() > 1) QCOMPARE(seam.labels[1], QString::number(names.size()));
        QVERIFY(seam.label1History.first().startsWith(
            QStringLiteral("データのソーティング中です。\r\nしばらくお待ちください。")));
    }

    void sort_matches_insertion_sort_on_random_lists() {
        DriveQ q;
        const QStringList alphabet{"a", "A", "b", "B", "1", "_", "\\", ".", "ｶ", "か", "é", "Z"};
        QRandomGenerator rng(1234);
        for (int round = 0; round < 20; ++round) {
            QStringList slots_{"\\"};
            for (int s = 0; s < 4; ++s)
                slots_ << "\\" + alphabet[rng.bounded(alphabet.size())] + "\\";
            QList<QPair<int, QString>> entries;
            const int n = 1 + rng.bounded(60);
            for (int i = 0; i < n; ++i) {
                QString name;
                for (int c = rng.bounded(1, 4); c > 0; --c)
                    name += alphabet[rng.bounded(alphabet.size())];
                entries.append({1 + rng.bounded(slots_.size()), name});
            }
            set_list(slots_, entries);
            ScriptedSeam seam;
            sort_entries();
            QCOMPARE(display_lines(), insertion_sorted(entries, slots_));
        }
    }

    void prune_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("totals");
        QTest::newRow("two consecutive empty entries take two passes")
            << QStringList{"A", "B", "C"} << QStringList{"C/f"} << QStringList{"\\C"}
            << QStringList{" / 3", " / 2", " / 1"};
        QTest::newRow("only subdirectories counts as empty")
            << QStringList{"A/A1"} << QStringList{"A/A1/f"} << QStringList{"\\A\\A1"}
            << QStringList{" / 2", " / 1"};
        QTest::newRow("nothing to remove: one pass")
            << QStringList{"A", "B"} << QStringList{"A/f", "B/.hidden"} << QStringList{"\\A", "\\B"}
            << QStringList{" / 2"};
        QTest::newRow("all empty ends with the placeholder")
            << QStringList{"A", "B/B1"} << QStringList{} << QStringList{"\\"}
            << QStringList{" / 3", " / 1"};
    }
    void prune() {
        QFETCH(QStringList, dirs);
        QFETCH(QStringList, files);
        QFETCH(QStringList, left);
        QFETCH(QStringList, totals);
        DriveQ q;
        make_dirs(q.root(), dirs);
        for (const QString& f : files)
            touch(q.path(f));
        LabelSeam seam;
        int16_t k = 0;
        acquire_drive(u'q', k);
        QCOMPARE(k, int16_t(1));
        seam.totals.clear();
        prune_entries();
        QCOMPARE(display_lines(), left);
        QCOMPARE(seam.totals, totals);
        QCOMPARE(seam.progressShows, 2);
        QCOMPARE(seam.progressHides, 2);
        QCOMPARE(seam.labels, (QStringList{QString(), QString(), QString()}));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void prune_matches_removal_in_place_on_random_lists() {
        QRandomGenerator rng(99);
        for (int round = 0; round < 10; ++round) {
            DriveQ q;
            QStringList names;
            QSet<QString> withFiles;
            for (int i = 0; i < 40; ++i) {
                const QString n = QStringLiteral("d%1").arg(i, 2, 10, QChar(u'0'));
                names << n;
                make_dirs(q.root(), {n});
                if (rng.bounded(3) == 0) {
                    touch(q.path(n + "/f"));
                    withFiles << n;
                }
            }
            // The passes with removal in place, as a user of the old program saw them.
            QStringList ref = names;
            int previous = int(ref.size()) + 1;
            while (previous != ref.size()) {
                const int start = int(ref.size());
                for (int i = 0; i < start && i < ref.size(); ++i)
                    if (!withFiles.contains(ref[i])) ref.removeAt(i);
                previous = start;
            }
            ScriptedSeam seam;
            int16_t k = 0;
            acquire_drive(u'q', k);
            prune_entries();
            QStringList got;
            for (int i = 1; i <= G.EntryCount; ++i)
                got << G.EntryNames(i);
            if (ref.isEmpty()) ref << QString();
            QCOMPARE(got, ref);
        }
    }

    void prune_keeps_what_it_cannot_read() {
        DriveQ q;
        make_dirs(q.root(), {"A", "B", "C"});
        touch(q.path("C/f"));
        LabelSeam seam;
        int16_t k = 0;
        acquire_drive(u'q', k);
        QDir(q.path("B")).removeRecursively();
        // Pass 1 removes A (B moves into its place untested); pass 2 cannot read B, which
        // ends the pass with nothing removed.
        seam.expect(QStringLiteral("ディレクトリをアクセスできません。(202)"));
        prune_entries();
        QCOMPARE(display_lines(), (QStringList{"\\B", "\\C"}));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void acquisition() {
        DriveQ q;
        make_dirs(q.root(), {"b", "A/x"});
        G.ProgressFlags = 2;
        G.VolumeLabel = QStringLiteral("old");
        ScriptedSeam seam;
        int16_t k = 0;
        acquire_drive(u'Q', k);
        QCOMPARE(k, int16_t(1));
        QCOMPARE(G.CurrentDrive, QStringLiteral("q"));
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QCOMPARE(G.VolumeLabel, QString()); // a temporary directory is no volume of its own
        QCOMPARE(display_lines(), (QStringList{"\\A", "\\A\\x", "\\b"}));
        QCOMPARE(seam.beeps, 2);
        QCOMPARE(seam.progressShows, 1);
        QCOMPARE(seam.progressHides, 1);
        QCOMPARE(seam.label1History.first(),
                 QStringLiteral("ディレクトリを取得中です。\r\nしばらくお待ちください。"));
    }

    void acquisition_of_empty_drive_gives_placeholder() {
        DriveQ q;
        ScriptedSeam seam;
        int16_t k = 0;
        G.BeepEnabled = 0;
        acquire_drive(u'q', k);
        QCOMPARE(k, int16_t(1));
        QCOMPARE(display_lines(), QStringList{"\\"});
        QCOMPARE(seam.beeps, 0);
    }

    void failed_acquisition_keeps_flag_and_collected_list() {
        DriveQ q;
        DriveQ::size_lists(100, 2);
        make_dirs(q.root(), {"A", "B", "C"});
        ScriptedSeam seam;
        seam.expect(QStringLiteral("ドライブ[q:\\]のアクセスができません。(203)"));
        int16_t k = 1;
        acquire_drive(u'q', k);
        QCOMPARE(k, int16_t(0));
        QCOMPARE(G.ProgressFlags & 1, 1);
        QCOMPARE(G.EntryCount, int16_t(2));
        QCOMPARE(seam.beeps, 1); // the start beep only
        QCOMPARE(seam.progressHides, 1);
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entry_list.moc"
