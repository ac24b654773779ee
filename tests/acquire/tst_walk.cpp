// SPDX-License-Identifier: GPL-3.0-or-later
// The walk of a drive into the acquired list, its sort, its pruning and single removals.
#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "archive_maker.h"
#include "catalogue/reader.h"
#include "catalogue/writer.h"
#include "core/codepage.h"
#include "core/platform.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using L = QStringList;
using Items = QList<ArchiveItem>;
const QByteArray Sofuto932("\x83\x5c\x83\x74\x83\x67"); // ソフト in code page 932

// Fresh tables of the given sizes, and drive q standing for `root`: a directory, or the
// image or archive file it names.
void pin_q(const QString& root, int16_t maxDirs = 1000, int16_t maxEntries = 1000) {
    fresh_state();
    G.DirPaths.redim(maxDirs);
    G.EntryNames.redim(maxEntries);
    G.EntryParentIndex.redim(maxEntries);
    G.DirCount = G.EntryCount = 0; // as a walk's caller sets them
    QTemporaryDir cfg;
    write_cp932_file(cfg.filePath("tobrin.cfg"), {"#40:q=" + root});
    platform_map_drives(cfg.filePath("tobrin.cfg"));
}

int16_t acquire() {
    int16_t k = -1;
    acquire_drive(u'q', k);
    return k;
}

// A temporary directory as drive q.
struct DriveQ {
    QTemporaryDir dir;
    QString path(const QString& rel = {}) const { return dir.filePath(rel); }
    QByteArray raw(const QByteArray& rel = {}) const {
        return QFile::encodeName(dir.path()) + '/' + rel;
    }
    explicit DriveQ(int16_t maxDirs = 1000, int16_t maxEntries = 1000) {
        pin_q(dir.path(), maxDirs, maxEntries);
    }
    // Names that are not UTF-8 are beyond QDir's reach.
    ~DriveQ() { std::filesystem::remove_all(raw().toStdString()); }
};

L display_lines() {
    L lines;
    for (int i = 1; i <= G.EntryCount; ++i)
        lines << entry_display_line(i);
    return lines;
}

// The deletion screen's list of a directory; "-" ends it when the directory cannot be read.
template <class Path> L file_names(const Path& dir) {
    bool readable = false;
    L names = directory_file_names(dir, readable);
    return readable ? names : names << "-";
}

// The medium most image rows use: a file deep down beside ordinary, hidden and linked
// ones, a directory with a file, an empty one, a Japanese name and a hidden directory
// holding only a link.
Items medium(const QByteArray& japanese = QByteArray("ソフト")) {
    return {{"DOS/TOOLS/t.exe", "x"},
            {"DOS/TOOLS/U.txt", "u"},
            {"DOS/TOOLS/.hidden", "h"},
            {"DOS/TOOLS/lnk", {}, "t.exe"},
            {"DOS/TOOLS/" + japanese + ".txt", "j"},
            {"DOCS/readme.txt", "y"},
            {"empty/", {}},
            {japanese + "/f", "z"},
            {".h/", {}},
            {".h/l", {}, "../DOS"}};
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
    // One tree: subdirectories in name order, recursion afterwards, links, fifos and the
    // inside of a file system mounted in the drive left out; the deletion screen's files in
    // an order no locale changes (case folded by character code, then the exact code; Swedish
    // collates v and w alike, and å after z); removals of single entries.
    void walk_list_and_remove() {
        const auto restore = qScopeGuard([was = QLocale()] { QLocale::setDefault(was); });
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        DriveQ q;
        make_dirs(q.path(), {"B/B1", "A/A2", "A/A1", ".h/in", "M", "café"});
        for (const char* f :
             {"b.txt", "a.txt", "A.txt", "B.txt", "c", "C", "_x", "Z", "w1", "v2", ".f", "å"})
            touch(q.path(f));
        QVERIFY(QFile::link(q.path("A"), q.path("linkToA")));
        QVERIFY(QFile::link(q.path("a.txt"), q.path("link")));
        QVERIFY(QFile::link(q.path(), q.path("A/loop")));
        QCOMPARE(::mkfifo(q.raw("fifo").constData(), 0644), 0);
        const bool mounted =
            ::mount("tobrin-test", q.raw("M").constData(), "tmpfs", 0, nullptr) == 0;
        make_dirs(q.path("M"), {"in"});
        ScriptedSeam seam;
        int16_t k = -1;
        ListSubDirs(QStringLiteral("q:\\"), k);
        QCOMPARE(k, int16_t(1));
        if (mounted) ::umount(q.raw("M").constData());
        L walked{"\\.h",     "\\A",     "\\B",     "\\M",    "\\café",
                 "\\.h\\in", "\\A\\A1", "\\A\\A2", "\\B\\B1"};
        QCOMPARE(display_lines(), mounted ? walked : walked << "\\M\\in");
        QVERIFY(seam.label1History.first().endsWith(QStringLiteral("\r\n\r\n\\")));
        const L files{"_x", "A.txt", "a.txt", "B.txt", "b.txt", "C", "c", "v2", "w1", "Z", "å"};
        QCOMPARE(file_names(QStringLiteral("q:\\")), files);
        QCOMPARE(file_names(q.raw()), files);
        for (const int p : {0, G.EntryCount + 1, 2}) // only 2 lies inside the list
            remove_entry(p);
        walked.removeAt(1);
        QCOMPARE(display_lines(), walked);
        for (int i = G.EntryCount; i > 0; --i)
            remove_entry(1);
        QCOMPARE(display_lines(), L{"\\"}); // the root placeholder
        QCOMPARE(G.DirCount, int16_t(1));
        if (!mounted) QSKIP("a mount inside the drive needs root: not walked past one");
    }

    void progress_text() {
        const QString forty = QStringLiteral("q:\\") + QString(36, u'x') + u'9';
        const QString a20(20, QChar(0x3042)); // two bytes each
        QCOMPARE(walk_progress_path("q:\\"), QStringLiteral("\\"));
        QCOMPARE(walk_progress_path(forty + u'\\'), forty.right(31));
        // A cut inside a two-byte character keeps it whole: 32 bytes.
        QCOMPARE(walk_progress_path("q:\\" + a20 + u'\\'), a20.right(16));
    }

    // A directory that vanishes shows 203 and the walk goes on; a full table shows 203 once,
    // naming where it ran out, and ends the walk. A failed acquisition keeps its list unsorted.
    void walk_failures_data() {
        QTest::addColumn<QString>("cause"); // a directory that vanishes, or the table that fills
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("where");
        QTest::addColumn<L>("lines");
        QTest::newRow("a middle one vanishes")
            << "B" << 1 << "q:\\B\\" << L{"\\A", "\\A\\A1", "\\B", "\\C", "\\C\\C1", "\\C\\C1\\C2"};
        QTest::newRow("the last one started vanishes")
            << "C" << 0 << "q:\\C\\" << L{"\\A", "\\B", "\\C", "\\A\\A1", "\\B\\B1"};
        QTest::newRow("parent slots full")
            << "slots" << 0 << "q:\\B\\" << L{"\\A", "\\B", "\\C", "\\A\\A1"};
        QTest::newRow("entries full") << "entries" << 0 << "q:\\" << L{"\\A", "\\B"};
    }
    void walk_failures() {
        QFETCH(QString, cause);
        QFETCH(int, k);
        QFETCH(QString, where);
        QFETCH(L, lines);
        DriveQ q{int16_t(cause == "slots" ? 2 : 100), int16_t(cause == "entries" ? 2 : 100)};
        make_dirs(q.path(), {"A/A1", "B/B1", "C/C1/C2"});
        // A vanishing directory is removed at a yield; a full table is met with the labels
        // not shown since the first directory, and the message brings them up to date.
        G.ListProgressIntervalMs = cause.size() == 1 ? 0 : 1 << 30;
        WalkSeam seam;
        seam.onYield = [&] {
            if (cause.size() == 1 && seam.labels[0].endsWith(QStringLiteral("q:\\A\\A1")))
                QDir(q.path(cause)).removeRecursively();
        };
        seam.expect(
            "ドライブ[" + where +
            QStringLiteral("]のアクセスができません。(203)\r\n\r\nデータの読み込みを中断します。"));
        QCOMPARE(acquire(), int16_t(k));
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
        // Hundreds of one key keep the walk order (a short list keeps it under an unstable
        // sort too): the case of the letters spells i, and "X…" and "y…" alternate.
        L entries, xs, ys;
        for (int i = 1; i <= 300; ++i) {
            QString name = QString::number(i + 512, 2).replace(u'0', u'a').replace(u'1', u'A');
            entries << name.prepend(i % 2 ? u'y' : u'X');
            (i % 2 ? ys : xs) << u'\\' + name;
        }
        QTest::newRow("300 equal keys keep walk order") << entries << xs + ys;
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
        acquire();
        for (const QString& f : files)
            if (f.startsWith(u'-')) {
                QDir(q.path(f.mid(1))).removeRecursively();
                seam.expect(QStringLiteral("ディレクトリをアクセスできません。(202)"));
            }
        seam.totals.clear();
        // The counter, shown only at the start, is brought up to date for the message.
        G.ListProgressIntervalMs = 1 << 30;
        prune_entries();
        for (const ScriptedSeam::Shown& m : seam.shown)
            QCOMPARE(m.labels[1] + m.labels[2], counter);
        QCOMPARE(display_lines(), left);
        QCOMPARE(seam.totals, totals);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // Sibling names the catalogue would store alike: a code-page-932 twin of a UTF-8 name,
    // and a pair that only Windows' conversion into code page 932 makes one. Each keeps its
    // own catalogue line, which gives back its own bytes on disk, and opens its own directory.
    void siblings_stored_alike_stay_apart_data() {
        QTest::addColumn<QByteArray>("one");
        QTest::addColumn<QByteArray>("other");
        QTest::newRow("cp932 twin") << Sofuto932 << QByteArray("ソフト");
        QTest::newRow("〜 and ～") << QByteArray("z〜") << QByteArray("z～");
    }
    void siblings_stored_alike_stay_apart() {
        QFETCH(QByteArray, one);
        QFETCH(QByteArray, other);
        DriveQ q;
        for (const QByteArray& name : {one, other}) {
            QCOMPARE(::mkdir(q.raw(name).constData(), 0755), 0);
            QCOMPARE(::close(::open(q.raw(name + "/f").constData(), O_CREAT | O_WRONLY, 0644)), 0);
        }
        ScriptedSeam seam; // no 202
        QCOMPARE(acquire(), int16_t(1));
        prune_entries();
        QSet<QByteArray> stored;
        for (const QByteArray& line : encode_catalogue_block().split('\n'))
            if (line.startsWith("1,")) {
                QString name;
                decode_catalogue_text(line.sliced(2).chopped(1), name);
                stored << disk_name_bytes(name);
            }
        QCOMPARE(stored, (QSet<QByteArray>{one, other}));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // Images and archives as drives: the walk, the label, the deletion screen's list, and
    // pruning, whose block is byte for byte the one of the same tree extracted on disk.
    void image_walk_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<Items>("items");
        QTest::addColumn<L>("walked"); // "-" after the entries pruning takes away
        QTest::addColumn<QString>("label");
        QTest::addColumn<L>("files");         // the deletion screen's list of \DOS\TOOLS
        QTest::addColumn<QByteArray>("held"); // by the catalogue block
        // The link in .h is a "system" file: .h keeps it, as on disk.
        const L all{"\\.h", "\\DOCS", "\\DOS-", "\\DOS\\TOOLS", "\\empty-", "\\ソフト"};
        const L files{"t.exe", "U.txt", "ソフト.txt"};
        const QByteArray sofuto = "\r\n1," + Sofuto932 + "\r\n"; // its 5C byte no separator
        QTest::newRow("iso: Rock Ridge") << "iso" << medium() << all << "MAG_CD" << files << sofuto;
        QTest::newRow("iso: Joliet, its label")
            << "iso-joliet" << Items{{"DOS/TOOLS/t.exe", "x"}, {"ソフト/f", "z"}, {"empty/", {}}}
            << L{"\\DOS-", "\\DOS\\TOOLS", "\\empty-", "\\ソフト"} << "ソフト集 1999年 DOS/V"
            << L{"t.exe"} << sofuto;
        QTest::newRow("iso: ISO 9660 names only")
            << "iso-plain" << Items{{"DOS/TOOLS/T.EXE", "x"}, {"EMPTY/", {}}}
            << L{"\\DOS-", "\\DOS\\TOOLS", "\\EMPTY-"} << "MAG_CD" << L{"T.EXE"} << QByteArray();
        QTest::newRow("zip: UTF-8 flag") << "zip-utf8" << medium() << all << "" << files << sofuto;
        QTest::newRow("zip: cp932 names")
            << "zip-raw" << medium(Sofuto932) << all << "" << files << sofuto;
        QTest::newRow("tar") << "tar" << medium() << all << "" << files << sofuto;
        const QString x = u"\\x"_qs + QChar(0xDCFF);
        QTest::newRow("tar: a hidden hard link is a file; odd names")
            << "tar"
            << Items{{"d/f", "x"}, {"h/.l", {}, "d/f", true}, {"x\xff/in/g", "3"}, {"a\\b/f", "5"}}
            << L{"\\a\\b", "\\d", "\\h", x + "-", x + "\\in"} << "" << L{"-"}
            << QByteArray("\\x&#56575;\\\r\n*03\r\n1,a&#92;b\r\n");
        QTest::newRow("tar.gz, directories implied by file paths")
            << "tar.gz" << Items{{"a/b/c/f", "x"}} << L{"\\a-", "\\a\\b-", "\\a\\b\\c"} << ""
            << L{"-"} << QByteArray();
    }
    void image_walk() {
        QFETCH(QString, format);
        QFETCH(Items, items);
        QFETCH(L, walked);
        QFETCH(QString, label);
        QFETCH(L, files);
        QFETCH(QByteArray, held);
        L pruned;
        for (QString& w : walked)
            if (w.endsWith(u'-'))
                w.chop(1);
            else
                pruned << w;
        DriveQ q;
        const QString file = q.path("medium.img");
        QVERIFY(make_archive(file, format, items,
                             format.startsWith("iso") ? "volume-id=MAG_CD" : QByteArray()));
        // The Joliet label (all sixteen characters) differs from the primary one: it is shown.
        if (label.startsWith(u'ソ')) QVERIFY(set_joliet_label(file, label));
        pin_q(file);
        ScriptedSeam seam;
        QVERIFY(drive_answers(u'q'));
        QCOMPARE(acquire(), int16_t(1));
        QCOMPARE(display_lines(), walked);
        QCOMPARE(G.VolumeLabel, label);
        QCOMPARE(file_names(QStringLiteral("q:\\DOS\\TOOLS")), files);
        prune_entries();
        QCOMPARE(display_lines(), pruned);
        const QByteArray block = encode_catalogue_block();
        QVERIFY2(block.contains(held), block.constData());
        // Chosen on the search screen, an image takes a free letter, listed in order.
        G.DriveLetters = QStringLiteral("z");
        const QChar letter = pin_image_for_run(file);
        QCOMPARE(G.DriveLetters, QString(letter) + u'z');
        QVERIFY(extract_archive(file, q.path("tree")));
        pin_q(q.path("tree"));
        QCOMPARE(acquire(), int16_t(1));
        prune_entries();
        QCOMPARE(encode_catalogue_block(), block);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // What stops a walk: an archive cut short or damaged, an entry outside the tree, more
    // directories than the tables hold, a file that holds no entry. The walk keeps what it
    // read and fails (k = 0) with message 203. "every cut": the archive cut at each offset
    // gives the whole tree or message 203, never a part of it.
    void damaged_and_hostile_archives_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("named"); // in message 203, "%1" for the archive; or "every cut"
        QTest::addColumn<L>("kept");
        QTemporaryDir dir;
        auto archive = [&](const char* format, const Items& items) {
            return make_archive(dir.filePath("a"), format, items) ? read_bytes(dir.filePath("a"))
                                                                  : "";
        };
        const QByteArray big(20000, 'x'), iso = archive("iso", medium());
        const Items abc{{"A/f", "1"}, {"B/f", "2"}, {"C/f", "3"}};
        QTest::newRow("tar cut inside a file's data")
            << archive("tar", {{"A/f", big}, {"B/f", big}, {"C/f", big}}).left(23072)
            << "%1:" << L{"\\A", "\\B"};
        // libarchive takes a cut at a block boundary for the end of the archive.
        QTest::newRow("tar cut between two entries")
            << archive("tar", abc).left(2048) << "%1:アーカイブが途中で切れています"
            << L{"\\A", "\\B"};
        const QByteArray zip = archive("zip-raw", abc);
        QTest::newRow("zip whose second central directory header is garbled")
            << QByteArray(zip).replace(zip.indexOf("PK\x01\x02", zip.indexOf("PK\x01\x02") + 4), 4,
                                       "JUNK")
            << "%1:zipのセントラルディレクトリが2番目" << L{"\\A"};
        QTest::newRow("iso cut at half its length")
            << iso.left(iso.size() / 2) << "%1:イメージが途中で切れています"
            << L{"\\.h", "\\DOCS", "\\DOS", "\\empty", "\\ソフト", "\\DOS\\TOOLS"}; // unsorted
        QTest::newRow("iso cut inside its volume descriptors")
            << iso.left(36000) << "%1:ISO 9660のボリューム記述子が欠けています" << L{};
        QTest::newRow("iso cut inside its system area")
            << iso.left(3000) << "%1:読み取れる項目がひとつもありません" << L{};
        for (const int n : {512, 10240, 1 << 20})
            QTest::addRow("%d zero bytes", n)
                << QByteArray(n, '\0') << "%1:読み取れる項目がひとつもありません" << L{};
        QTest::newRow("an entry climbing out with ..")
            << archive("tar", {{"A/f", "1"}, {"../x/f", "2"}, {"C/f", "3"}}) << "%1:../x/f]"
            << L{"\\A"};
        QTest::newRow("an absolute path")
            << archive("zip-raw", {{"A/f", "1"}, {"/abs/f", "2"}}) << "%1:/abs/f]" << L{"\\A"};
        // As many entries as a zip64 directory holds, against a table of 1,000.
        Items many;
        L first;
        for (int i = 0; i < 100000; ++i)
            many << ArchiveItem{QByteArray::number(100000 + i) + '/', {}};
        for (int i = 0; i < 1000; ++i)
            first << "\\" + QString::number(100000 + i);
        QTest::newRow("100,000 directories in a zip64")
            << archive("zip-raw", many) << "q:\\]" << first;
        QTest::newRow("no archive at all") << QByteArray(3000, 'j') << "q:\\]" << L{};
        for (const char* format : {"iso", "tar", "tar.gz", "zip-utf8"})
            QTest::addRow("%s cut anywhere", format)
                << archive(format, medium()) << "every cut"
                << L{"\\.h", "\\DOCS", "\\DOS", "\\DOS\\TOOLS", "\\empty", "\\ソフト"};
    }
    void damaged_and_hostile_archives() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, named);
        QFETCH(L, kept);
        QTemporaryDir dir;
        const QString file = dir.filePath("bad");
        // Every offset of a small archive; of a larger one each 512-byte block's first bytes,
        // its middle and its last byte (an ISO's sectors outside its descriptors by 2048).
        const bool iso = bytes.mid(32769, 5) == "CD001";
        for (qsizetype cut = 0; named == "every cut" && cut < bytes.size(); ++cut) {
            const qsizetype block = iso && (cut < 32768 || cut > 40960) ? 2048 : 512;
            const qsizetype at = cut % block;
            if (bytes.size() >= 4096 && at > 1 && at != 157 && at != block / 2 && at != block - 1)
                continue;
            // A new file each time: replacing one by truncation waits for the disk.
            const QString part = file + QString::number(cut);
            write_bytes(part, bytes.left(cut));
            pin_q(part);
            ScriptedSeam seam;
            seam.expect(QStringLiteral("(203)"));
            const int16_t k = acquire();
            const bool whole = k == 1 && seam.shown.isEmpty() && display_lines() == kept;
            QVERIFY2(
                whole || (k == 0 && seam.shown.size() == 1),
                qPrintable(QString("cut at %1: k %2, %3 lines").arg(cut).arg(k).arg(G.EntryCount)));
            QFile::remove(part);
        }
        if (named == "every cut") return;
        write_bytes(file, bytes);
        pin_q(file);
        ScriptedSeam seam;
        seam.expect("ドライブ[" + (named.contains("%1") ? named.arg(file) : named));
        QCOMPARE(acquire(), int16_t(0));
        QVERIFY(seam.shown.last().text.endsWith(
            QStringLiteral("のアクセスができません。(203)\r\n\r\nデータの読み込みを中断します。")));
        QCOMPARE(display_lines(), kept);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // An archive changed after the walk is read again for the pruning.
    void archive_replaced_before_pruning() {
        DriveQ q;
        QVERIFY(make_archive(q.path("a.tar"), "tar", {{"A/f", "1"}, {"B/", {}}}));
        pin_q(q.path("a.tar"));
        ScriptedSeam seam;
        QCOMPARE(acquire(), int16_t(1));
        ::usleep(10000);
        QVERIFY(make_archive(q.path("a.tar"), "tar", {{"A/", {}}, {"B/f", "1"}}));
        prune_entries();
        QCOMPARE(display_lines(), L{"\\B"});
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestWalk)
#include "tst_walk.moc"
