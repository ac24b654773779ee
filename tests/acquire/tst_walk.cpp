// SPDX-License-Identifier: GPL-3.0-or-later
// The walk of a drive into the acquired list, its sort, its pruning and single removals.
#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "catalogue/escape.h"
#include "catalogue/reader.h"
#include "catalogue/writer.h"
#include "core/codepage.h"
#include "core/platform.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "search/search_run.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using L = QStringList;
const QString Msg203Tail = QStringLiteral("]のアクセスができません。(203)");

// A temporary directory pinned as drive q, with tables of the given sizes.
struct DriveQ {
    QTemporaryDir dir;
    QString path(const QString& rel = {}) const { return dir.filePath(rel); }
    int16_t acquire() {
        int16_t k = -1;
        acquire_drive(u'q', k);
        return k;
    }
    explicit DriveQ(int16_t maxDirs = 1000, int16_t maxEntries = 1000) {
        fresh_state();
        G.DirPaths.redim(maxDirs);
        G.EntryNames.redim(maxEntries);
        G.EntryParentIndex.redim(maxEntries);
        G.DirCount = G.EntryCount = 0; // as a walk's caller sets them
        QTemporaryDir cfgDir;
        write_cp932_file(cfgDir.filePath("tobrin.cfg"), {"#40:q=" + dir.path()});
        platform_map_drives(cfgDir.filePath("tobrin.cfg"));
    }
};

L display_lines() {
    L lines;
    for (int i = 1; i <= G.EntryCount; ++i)
        lines << entry_display_line(i);
    return lines;
}

// Keeps every total shown, and runs an action whenever the work yields (to change the
// tree mid-walk).
class WalkSeam : public ScriptedSeam {
  public:
    L totals;
    std::function<void()> onYield;
    void progress_label(int label, const QString& text) override {
        ScriptedSeam::progress_label(label, text);
        if (label == 3 && !text.isEmpty()) totals << text;
    }
    void yield() override {
        ScriptedSeam::yield();
        if (onYield) onYield();
    }
};
} // namespace

class TestWalk : public QObject {
    Q_OBJECT
  private slots:
    void walk_order_hidden_links_mounts_and_odd_names() {
        DriveQ q;
        make_dirs(q.path(), {"B/B1", "A/A2", "A/A1", ".h/in", "M", QStringLiteral("café")});
        touch(q.path("A/file.txt"));
        QVERIFY(QFile::link(q.path("A"), q.path("linkToA")));
        QVERIFY(QFile::link(q.path(), q.path("A/loop")));
        QCOMPARE(::mkfifo(QFile::encodeName(q.path("fifo")).constData(), 0644), 0);
        // A name that is not UTF-8 at all must still be recorded and walked into.
        const QByteArray raw = QFile::encodeName(q.path()) + "/x\xff";
        QCOMPARE(::mkdir(raw.constData(), 0755), 0);
        QCOMPARE(::mkdir((raw + "/in").constData(), 0755), 0);
        const QString x = QStringLiteral("\\x") + QChar(0xDCFF); // the byte kept
        // A file system mounted inside the drive is recorded but not entered.
        const QByteArray m = QFile::encodeName(q.path("M"));
        const bool mounted = ::mount("tobrin-test", m.constData(), "tmpfs", 0, nullptr) == 0;
        make_dirs(q.path("M"), {"in"});
        ScriptedSeam seam;
        int16_t k = -1;
        ListSubDirs(QStringLiteral("q:\\"), k);
        if (mounted) ::umount(m.constData());
        QCOMPARE(k, int16_t(1));
        // A directory's subdirectories when it is listed, recursion afterwards.
        L expected{"\\.h",    "\\A",      "\\B",     "\\M",     QStringLiteral("\\café"),
                   x,         "\\.h\\in", "\\A\\A1", "\\A\\A2", "\\B\\B1",
                   x + "\\in"};
        if (!mounted) expected.insert(10, "\\M\\in");
        QCOMPARE(display_lines(), expected);
        QCOMPARE(G.DirPaths(G.DirCount), x + "\\");
        QVERIFY(seam.label1History.first().endsWith(QStringLiteral("\r\n\r\n\\")));
        ::rmdir((raw + "/in").constData());
        ::rmdir(raw.constData());
        // The rest held; the mount point is a plain directory without root.
        if (!mounted) QSKIP("a mount inside the drive needs root: not walked past one");
    }

    // The deletion screen's file list: ordinary files only, in an order that no locale
    // changes (case folded by character code, then the exact code).
    void file_names_filter_and_order_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << "C";
        QTest::newRow("sv_SE") << "sv_SE"; // collates v and w alike, and å after z
        QTest::newRow("ja_JP") << "ja_JP";
    }
    void file_names_filter_and_order() {
        QFETCH(QString, locale);
        const auto restore = qScopeGuard([was = QLocale()] { QLocale::setDefault(was); });
        QLocale::setDefault(QLocale(locale));
        DriveQ q;
        for (const char* f : {"b.txt", "a.txt", "A.txt", "B.txt", "c", "C", "_x", "Z", "w1", "v2",
                              ".hidden"})
            touch(q.path(f));
        touch(q.path(QStringLiteral("å")));
        make_dirs(q.path(), {"sub"});
        QVERIFY(QFile::link(q.path("a.txt"), q.path("link")));
        QCOMPARE(::mkfifo(QFile::encodeName(q.path("fifo")).constData(), 0644), 0);
        bool readable = false;
        const L byDrive = directory_file_names(QStringLiteral("q:\\"), readable);
        QVERIFY(readable);
        QCOMPARE(byDrive,
                 (L{"_x", "A.txt", "a.txt", "B.txt", "b.txt", "C", "c", "v2", "w1", "Z",
                    QStringLiteral("å")}));
        QCOMPARE(directory_file_names(QFile::encodeName(q.path()) + "/", readable), byDrive);
        QVERIFY(readable);
    }

    void file_names_of_what_cannot_be_listed_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a file") << "f";
        QTest::newRow("a link to a directory") << "linkToSub";
    }
    void file_names_of_what_cannot_be_listed() {
        QFETCH(QString, what);
        DriveQ q;
        make_dirs(q.path(), {"sub"});
        touch(q.path("sub/inside"));
        touch(q.path("f"));
        QVERIFY(QFile::link(q.path("sub"), q.path("linkToSub")));
        bool readable = true;
        QVERIFY(directory_file_names(QFile::encodeName(q.path(what)), readable).isEmpty());
        QVERIFY(!readable);
        readable = true;
        QVERIFY(directory_file_names(QStringLiteral("q:\\") + what, readable).isEmpty());
        QVERIFY(!readable);
    }

    void progress_text() {
        const QString forty = QStringLiteral("q:\\") + QString(36, u'x') + u'9';
        const QString a20(20, QChar(0x3042)); // two bytes each
        QCOMPARE(walk_progress_path("q:\\"), QStringLiteral("\\"));
        QCOMPARE(walk_progress_path(forty.left(31) + u'\\'), forty.left(31)); // 31 bytes kept
        QCOMPARE(walk_progress_path(forty + u'\\'), forty.right(31));
        // A cut inside a two-byte character keeps it whole: 32 bytes.
        QCOMPARE(walk_progress_path("q:\\" + a20 + u'\\'), a20.right(16));
    }

    // A directory that vanishes shows 203 and the walk goes on; a full table shows 203 once,
    // naming where it ran out, and ends the walk. A failed acquisition keeps its list unsorted.
    void walk_failures_data() {
        QTest::addColumn<QString>("cause"); // a directory that vanishes, or the table that fills
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("k");
        QTest::addColumn<L>("lines");
        QTest::newRow("a middle one vanishes")
            << "B"
            << "q:\\B\\" << 1 << L{"\\A", "\\A\\A1", "\\B", "\\C", "\\C\\C1", "\\C\\C1\\C2"};
        QTest::newRow("the last one started vanishes: k is 0")
            << "C"
            << "q:\\C\\" << 0 << L{"\\A", "\\B", "\\C", "\\A\\A1", "\\B\\B1"};
        QTest::newRow("parent slots full") << "slots"
                                           << "q:\\B\\" << 0 << L{"\\A", "\\B", "\\C", "\\A\\A1"};
        QTest::newRow("entries full") << "entries"
                                      << "q:\\" << 0 << L{"\\A", "\\B"};
    }
    void walk_failures() {
        QFETCH(QString, cause);
        QFETCH(QString, where);
        QFETCH(int, k);
        QFETCH(L, lines);
        DriveQ q{int16_t(cause == "slots" ? 2 : 100), int16_t(cause == "entries" ? 2 : 100)};
        make_dirs(q.path(), {"A/A1", "B/B1", "C/C1/C2"});
        // A vanishing directory is removed at a yield; a full table is met with the labels
        // not shown since the first directory, and the message brings them up to date.
        const int interval = std::exchange(G.ListProgressIntervalMs, cause.size() == 1 ? 0 : 1 << 30);
        const auto restore = qScopeGuard([&] { G.ListProgressIntervalMs = interval; });
        WalkSeam seam;
        seam.onYield = [&] {
            if (cause.size() == 1 && seam.labels[0].endsWith(QStringLiteral("q:\\A\\A1")))
                QDir(q.path(cause)).removeRecursively();
        };
        seam.expect("ドライブ[" + where + Msg203Tail +
                    QStringLiteral("\r\n\r\nデータの読み込みを中断します。"));
        QCOMPARE(q.acquire(), int16_t(k));
        QCOMPARE(display_lines(), lines);
        QCOMPARE(G.ProgressFlags, int16_t(1));
        QCOMPARE(seam.beeps, 1 + k); // a failed walk has the start beep only
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(seam.shown.last().labels[0].endsWith(walk_progress_path(where)));
    }

    void sort_order_data() {
        QTest::addColumn<L>("entries"); // walk order; "/" is the second parent slot "\DOS\"
        QTest::addColumn<L>("sorted");
        QTest::newRow("case does not count; equal keys keep walk order")
            << L{"ABC", "b", "abc", "Abc"} << L{"\\ABC", "\\abc", "\\Abc", "\\b"};
        QTest::newRow("backslash between digits and letters")
            << L{"DOSX", "/TOOLS", "DOS1", "DOS"} << L{"\\DOS", "\\DOS1", "\\DOS\\TOOLS", "\\DOSX"};
        QTest::newRow("code units, not locale")
            << L{"b", "_a", "Z", "~", "é", "ｱ", "ア"}
            << L{"\\_a", "\\b", "\\Z", "\\~", "\\é", "\\ア", "\\ｱ"};
    }
    // Hundreds of entries with one key keep the walk order: a short list keeps it under
    // an unstable sort too.
    void sort_keeps_walk_order_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("300 entries") << 300;
        QTest::newRow("900 entries") << 900;
    }
    void sort_keeps_walk_order() {
        QFETCH(int, count);
        DriveQ q;
        G.DirPaths = Array1<QString>{"\\"};
        G.DirCount = 1;
        G.EntryCount = int16_t(count);
        L xs, ys;
        for (int i = 1; i <= count; ++i) {
            // The case of ten letters spells i, so every name differs but not its key;
            // "x..." and "y..." alternate so that the sort has to move them.
            QString name = QStringLiteral("abcdefghij");
            for (int b = 0; b < 10; ++b)
                if (i >> b & 1) name[b] = name[b].toUpper();
            name.prepend(i % 2 ? u'y' : u'X');
            G.EntryNames(i) = name;
            G.EntryParentIndex(i) = 1;
            (i % 2 ? ys : xs) << u'\\' + name;
        }
        WalkSeam seam;
        sort_entries();
        QCOMPARE(display_lines(), xs + ys);
    }

    void sort_order() {
        QFETCH(L, entries);
        QFETCH(L, sorted);
        DriveQ q;
        G.DirPaths = Array1<QString>{"\\", "\\DOS\\"};
        G.DirCount = 2;
        G.EntryCount = int16_t(entries.size());
        for (int i = 1; i <= G.EntryCount; ++i) {
            G.EntryParentIndex(i) = entries[i - 1].startsWith(u'/') ? 2 : 1;
            G.EntryNames(i) = entries[i - 1].mid(G.EntryParentIndex(i) - 1);
        }
        WalkSeam seam;
        sort_entries();
        QCOMPARE(display_lines(), sorted);
        QCOMPARE(seam.totals, L{" / " + QString::number(entries.size())});
    }

    void prune_data() {
        QTest::addColumn<L>("dirs");
        // "@f": a dangling symbolic link f; "-d": d vanishes before the pruning (202)
        QTest::addColumn<L>("files");
        QTest::addColumn<L>("left");
        QTest::addColumn<L>("totals");
        QTest::addColumn<QString>("counter"); // the progress counter beside message 202
        QTest::newRow("two consecutive empty entries take two passes")
            << L{"A", "B", "C"} << L{"C/f"} << L{"\\C"} << L{" / 3", " / 2", " / 1"} << QString();
        QTest::newRow("only subdirectories counts as empty")
            << L{"A/A1"} << L{"A/A1/f"} << L{"\\A\\A1"} << L{" / 2", " / 1"} << QString();
        QTest::newRow("hidden files count: one pass")
            << L{"A", "B"} << L{"A/f", "B/.hidden"} << L{"\\A", "\\B"} << L{" / 2"} << QString();
        QTest::newRow("a link is a system file; a hidden one is not seen")
            << L{"H", "L"} << L{"@H/.lnk", "@L/lnk"} << L{"\\L"} << L{" / 2", " / 1"} << QString();
        QTest::newRow("a directory it cannot read ends the pass and stays")
            << L{"A", "B", "C"} << L{"C/f", "-B"} << L{"\\B", "\\C"} << L{" / 3", " / 2"}
            << "1 / 2";
        QTest::newRow("the counter stands at the directory it cannot read")
            << L{"A", "B", "C", "D"} << L{"A/f", "B/f", "-C", "D/f"}
            << L{"\\A", "\\B", "\\C", "\\D"} << L{" / 4"} << "3 / 4";
        QTest::newRow("no subdirectories: the placeholder stays")
            << L{} << L{} << L{"\\"} << L{" / 1"} << QString();
        QTest::newRow("all empty ends with the placeholder")
            << L{"A", "B/B1"} << L{} << L{"\\"} << L{" / 3", " / 1"} << QString();
    }
    void prune() {
        QFETCH(L, dirs);
        QFETCH(L, files);
        QFETCH(L, left);
        QFETCH(L, totals);
        QFETCH(QString, counter);
        DriveQ q;
        make_dirs(q.path(), dirs);
        for (const QString& f : files)
            if (f.startsWith(u'@'))
                QVERIFY(QFile::link("/nonexistent", q.path(f.mid(1))));
            else if (!f.startsWith(u'-'))
                touch(q.path(f));
        WalkSeam seam;
        q.acquire();
        for (const QString& f : files)
            if (f.startsWith(u'-')) {
                QDir(q.path(f.mid(1))).removeRecursively();
                seam.expect(QStringLiteral("ディレクトリをアクセスできません。(202)"));
            }
        seam.totals.clear();
        // The counter, shown only at the start, is brought up to date for the message.
        const int interval = std::exchange(G.ListProgressIntervalMs, 1 << 30);
        const auto restore = qScopeGuard([&] { G.ListProgressIntervalMs = interval; });
        prune_entries();
        for (const ScriptedSeam::Shown& m : seam.shown)
            QCOMPARE(m.labels[1] + m.labels[2], counter);
        QCOMPARE(display_lines(), left);
        QCOMPARE(seam.totals, totals);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // Names the disk holds that are not plain UTF-8 text: walked, pruned and opened by
    // their own bytes, written as the catalogue holds them and found again.
    void names_as_the_disk_spells_them_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("stored"); // the name in the catalogue
        QTest::addColumn<QString>("found");     // the path a search lists
        const QByteArray kana("\x83\x5c\x83\x74\x83\x67");
        QTest::newRow("cp932 kanji with a 5C trail byte")
            << kana << u"\\ソフト"_qs << kana << u"\\ソフト"_qs;
        QTest::newRow("cp932 half-width katakana")
            << QByteArray("\xb1\xb2") << u"\\ｱｲ"_qs << QByteArray("\xb1\xb2") << u"\\ｱｲ"_qs;
        const QString x = u"\\x"_qs + QChar(0xDCFF);
        QTest::newRow("neither UTF-8 nor cp932")
            << QByteArray("x\xff") << x << QByteArray("x&#56575;") << x;
        QTest::newRow("a backslash inside the name")
            << QByteArray("a\\b") << u"\\a\\b"_qs << QByteArray("a&#92;b") << u"\\a\\b"_qs;
    }
    void names_as_the_disk_spells_them() {
        QFETCH(QByteArray, raw);
        QFETCH(QString, shown);
        QFETCH(QByteArray, stored);
        QFETCH(QString, found);
        DriveQ q;
        const QByteArray root = QFile::encodeName(q.path());
        const QByteArray dir = root + '/' + raw;
        QCOMPARE(::mkdir(dir.constData(), 0755), 0);
        QCOMPARE(::mkdir((dir + "/sub").constData(), 0755), 0);
        touch(QFile::decodeName(root + "/Z/f"));
        touch(QFile::decodeName(root + "/Z/empty/.keep")); // hidden only: still a file
        const int fd = ::open((dir + "/file").constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        ScriptedSeam seam; // no 202: every directory opens
        QCOMPARE(q.acquire(), int16_t(1));
        QVERIFY(display_lines().contains(shown));
        QVERIFY(display_lines().contains(shown + QStringLiteral("\\sub")));
        prune_entries();
        L left = display_lines();
        QCOMPARE(left.size(), 3);
        const int at = int(left.indexOf(shown));
        QVERIFY(at >= 0 && left.contains("\\Z\\empty"));
        QCOMPARE(entry_local_path(at + 1), dir + '/');

        const QByteArray block = encode_catalogue_block();
        QVERIFY2(block.contains("\r\n1," + stored + "\r\n"), block.constData());
        QVERIFY2(block.contains("\r\n\\" + stored + "\\\r\n"), block.constData()); // parent line

        QTemporaryDir cat;
        G.DataDir = cat.path() + u'/';
        G.DataFileName = QStringLiteral("tobrin.dat");
        G.DataFilePath = G.DataDir + G.DataFileName;
        write_bytes(G.DataFilePath, block);
        const QString words[3] = {found.mid(1).left(3), {}, {}};
        SearchDisplay d;
        QVERIFY(run_string_search(words, 1, {.showHeaders = false, .showDirs = true}, d));
        QCOMPARE(d.entries.size(), 1);
        QCOMPARE(d.entries[0].text, found);
        QVERIFY2(seam.satisfied(), seam.report());
        ::rmdir((dir + "/sub").constData());
        ::unlink((dir + "/file").constData());
        ::rmdir(dir.constData());
    }

    // Sibling names that the catalogue would store alike: a code-page-932 twin of a UTF-8
    // name, and pairs that only Windows' conversion into code page 932 makes one. Each keeps
    // its own catalogue line, which gives back its own bytes on disk.
    void siblings_stored_alike_stay_apart_data() {
        QTest::addColumn<QByteArray>("one");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("cp932 twin")
            << QByteArray("\x83\x5c\x83\x74\x83\x67") << QByteArray("ソフト");
        QTest::newRow("〜 and ～") << QByteArray("z〜") << QByteArray("z～");
        QTest::newRow("− and －") << QByteArray("z−") << QByteArray("z－");
        QTest::newRow("‖ and ∥") << QByteArray("z‖") << QByteArray("z∥");
        QTest::newRow("¢ and ￠") << QByteArray("z¢") << QByteArray("z￠");
        QTest::newRow("— and ―") << QByteArray("z—") << QByteArray("z―");
    }
    void siblings_stored_alike_stay_apart() {
        QFETCH(QByteArray, one);
        QFETCH(QByteArray, other);
        DriveQ q;
        const QByteArray root = QFile::encodeName(q.path()) + '/';
        QCOMPARE(::mkdir((root + one).constData(), 0755), 0);
        QCOMPARE(::mkdir((root + other).constData(), 0755), 0);
        ScriptedSeam seam;
        q.acquire();
        QCOMPARE(G.EntryCount, int16_t(2));
        QSet<QByteArray> stored;
        for (const QByteArray& line : encode_catalogue_block().split('\n'))
            if (line.startsWith("1,")) {
                QString name;
                decode_catalogue_text(line.sliced(2).chopped(1), name);
                stored << disk_name_bytes(name);
            }
        QCOMPARE(stored, (QSet<QByteArray>{one, other}));
        ::rmdir((root + one).constData());
        ::rmdir((root + other).constData());
    }

    void removal() {
        DriveQ q;
        make_dirs(q.path(), {"A", "B", "C"});
        ScriptedSeam seam;
        q.acquire();
        for (int p : {0, 4, 2}) // 0 and 4 lie outside the list: they change nothing
            remove_entry(p);
        QCOMPARE(display_lines(), (L{"\\A", "\\C"}));
        remove_entry(2);
        remove_entry(1);
        QCOMPARE(display_lines(), L{"\\"}); // the root placeholder
        QCOMPARE(G.DirCount, int16_t(1));
    }
};

QTEST_GUILESS_MAIN(TestWalk)
#include "tst_walk.moc"
