// SPDX-License-Identifier: GPL-3.0-or-later
// Images and archives as drives: the walk of their directory trees, pruning and the
// deletion screen's file list from their entries, the volume label, the same block as the
// extracted tree, and damaged, truncated and hostile archives.
#include "ui/acquire/del_dir.h"
#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "archive_maker.h"
#include "catalogue/writer.h"
#include "core/platform.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using L = QStringList;
using Items = QList<ArchiveItem>;
// Message 203 after the bracket that names the drive or the archive (and what is wrong).
const QString Msg203Tail =
    QStringLiteral("のアクセスができません。(203)\r\n\r\nデータの読み込みを中断します。");
const QByteArray Sofuto932("\x83\x5c\x83\x74\x83\x67"); // ソフト in code page 932

// The medium most rows use: a file deep down, a directory with a file, an empty one, a
// Japanese name and a hidden directory holding only a link.
Items medium(const QByteArray& japanese = QByteArray("ソフト")) {
    return {{"DOS/TOOLS/t.exe", "x"},
            {"DOCS/readme.txt", "y"},
            {"empty/", {}},
            {japanese + "/f", "z"},
            {".h/", {}},
            {".h/l", {}, "../DOS"}};
}

L display_lines() {
    L lines;
    for (int i = 1; i <= G.EntryCount; ++i)
        lines << entry_display_line(i);
    return lines;
}

// Fresh tables of the given capacity; `file` pinned as drive i.
void pin(const QString& file, int16_t capacity = 1000) {
    fresh_state();
    G.DirPaths.redim(capacity);
    G.EntryNames.redim(capacity);
    G.EntryParentIndex.redim(capacity);
    G.MaxDirCount = G.MaxEntryCount = capacity;
    platform_map_drives(QString());
    pin_image_drive(u'i', file);
}

int16_t acquire(QChar drive = u'i') {
    int16_t k = -1;
    acquire_drive(drive, k);
    return k;
}
} // namespace

class TestImageWalk : public QObject {
    Q_OBJECT
  private slots:
    void walk_prune_and_label_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<Items>("items");
        QTest::addColumn<L>("walked");
        QTest::addColumn<L>("pruned");
        QTest::addColumn<QString>("label");
        const L all{"\\.h", "\\DOCS", "\\DOS", "\\DOS\\TOOLS", "\\empty", "\\ソフト"};
        // The link in .h is a "system" file: .h keeps it, as on disk.
        const L kept{"\\.h", "\\DOCS", "\\DOS\\TOOLS", "\\ソフト"};
        QTest::newRow("iso: Rock Ridge names") << "iso" << medium() << all << kept << "MAG_CD";
        QTest::newRow("iso: Joliet names, Joliet label")
            << "iso-joliet" << Items{{"DOS/TOOLS/t.exe", "x"}, {"ソフト/f", "z"}, {"empty/", {}}}
            << L{"\\DOS", "\\DOS\\TOOLS", "\\empty", "\\ソフト"} << L{"\\DOS\\TOOLS", "\\ソフト"}
            << "ソフト集 1999年 DOS/V";
        QTest::newRow("iso: ISO 9660 names only")
            << "iso-plain" << Items{{"DOS/TOOLS/T.EXE", "x"}, {"EMPTY/", {}}}
            << L{"\\DOS", "\\DOS\\TOOLS", "\\EMPTY"} << L{"\\DOS\\TOOLS"} << "MAG_CD";
        QTest::newRow("zip with the UTF-8 flag") << "zip-utf8" << medium() << all << kept << "";
        QTest::newRow("zip with code page 932 names")
            << "zip-raw" << medium(Sofuto932) << all << kept << "";
        QTest::newRow("tar") << "tar" << medium() << all << kept << "";
        QTest::newRow("tar: a hidden hard link is a file")
            << "tar" << Items{{"d/f", "x"}, {"h/.l", {}, "d/f", true}} << L{"\\d", "\\h"}
            << L{"\\d", "\\h"} << "";
        QTest::newRow("tar.gz, directories implied by file paths")
            << "tar.gz" << Items{{"a/b/c/f", "x"}} << L{"\\a", "\\a\\b", "\\a\\b\\c"}
            << L{"\\a\\b\\c"} << "";
    }
    void walk_prune_and_label() {
        QFETCH(QString, format);
        QFETCH(Items, items);
        QFETCH(L, walked);
        QFETCH(L, pruned);
        QFETCH(QString, label);
        QTemporaryDir dir;
        const QString file = dir.filePath("medium.img");
        QVERIFY(make_archive(file, format, items,
                             format.startsWith("iso") ? "volume-id=MAG_CD" : QByteArray()));
        // The Joliet label (all sixteen characters) differs from the primary one: it is shown.
        if (label.startsWith(u'ソ')) QVERIFY(set_joliet_label(file, label));
        pin(file);
        ScriptedSeam seam;
        QVERIFY(drive_answers(u'i'));
        QCOMPARE(acquire(), int16_t(1));
        QCOMPARE(display_lines(), walked);
        QCOMPARE(G.VolumeLabel, label);
        prune_entries();
        QCOMPARE(display_lines(), pruned);
        QVERIFY2(seam.satisfied(), seam.report());
        // Chosen on the search screen, an image takes a free letter, listed in order.
        G.DriveLetters = QStringLiteral("z");
        const QChar letter = pin_image_for_run(file);
        QCOMPARE(G.DriveLetters, QString(letter) + u'z');
    }

    // The deletion screen lists a directory's ordinary files from the archive: no hidden
    // files, no links, no subdirectories.
    void deletion_screen_file_list() {
        QTemporaryDir dir;
        const QString file = dir.filePath("a.zip");
        QVERIFY(make_archive(file, "zip-raw",
                             {{"D/b.txt", "1"},
                              {"D/A.txt", "2"},
                              {"D/.hidden", "3"},
                              {"D/sub/x", "4"},
                              {"D/lnk", {}, "b.txt"},
                              {"D/" + Sofuto932 + ".txt", "5"}}));
        pin(file);
        ScriptedSeam seam;
        QCOMPARE(acquire(), int16_t(1));
        bool readable = false;
        QCOMPARE(directory_file_names(entry_local_path(1), readable),
                 (L{"A.txt", "b.txt", "ソフト.txt"}));
        QVERIFY(readable);
        QCOMPARE(directory_file_names(QStringLiteral("i:\\D\\sub"), readable), L{"x"});
        QVERIFY(readable);
        directory_file_names(QStringLiteral("i:\\nothing"), readable);
        QVERIFY(!readable);
    }

    // The same tree as an archive and extracted on disk gives the same block, byte for byte.
    void archive_and_extracted_tree_give_the_same_block() {
        QTemporaryDir dir;
        const Items items{{"B/B1/f", "1"},     {"A/a", "2"},     {"A/A1/", {}},
                          {"x\xff/in/g", "3"}, {".h/f", "4"},    {Sofuto932 + "/s/g", "6"},
                          {"a\\b/f", "5"},     {"C/l", {}, "f"}, {"C/D/", {}}};
        const QString tree = dir.filePath("tree");
        // Extracted by bytes: names that are not UTF-8 must reach the disk unchanged.
        for (const ArchiveItem& item : items) {
            QByteArray p = QFile::encodeName(tree);
            ::mkdir(p.constData(), 0755);
            const QList<QByteArray> parts = item.path.split('/');
            for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
                p += '/' + parts[i];
                ::mkdir(p.constData(), 0755);
            }
            p += '/' + parts.last();
            if (!item.linkTo.isEmpty()) {
                QCOMPARE(::symlink(item.linkTo.constData(), p.constData()), 0);
            } else if (!item.path.endsWith('/')) {
                const int fd = ::open(p.constData(), O_CREAT | O_WRONLY, 0644);
                QVERIFY(fd >= 0);
                ::close(fd);
            }
        }
        const QString file = dir.filePath("tree.tar");
        QVERIFY(make_archive(file, "tar", items));
        QByteArray blocks[2];
        for (int pass = 0; pass < 2; ++pass) {
            pin(file);
            if (pass == 1) {
                write_cp932_file(dir.filePath("tobrin.cfg"), {"#40:i=" + tree});
                platform_map_drives(dir.filePath("tobrin.cfg"));
                QVERIFY(!drive_is_image(u'i'));
            }
            ScriptedSeam seam;
            QCOMPARE(acquire(), int16_t(1));
            prune_entries();
            G.HeaderTable.redim(1);
            G.HeaderTable(1, 1) = QStringLiteral("T");
            G.HeaderTable(1, 8) = G.VolumeLabel;
            G.HeaderTable(1, 9) = G.CurrentDrive;
            blocks[pass] = encode_catalogue_block();
            QVERIFY2(seam.satisfied(), seam.report());
        }
        QVERIFY(blocks[0].contains("\r\n\\" + Sofuto932 + "\\\r\n")); // its parent line
        QCOMPARE(blocks[0], blocks[1]);
        std::filesystem::remove_all(QFile::encodeName(tree).toStdString()); // names Qt cannot
    }

    // What stops a walk: an archive cut short or damaged, an entry outside the tree, more
    // directories than the tables hold, a file that holds no entry. The walk keeps what it
    // read and fails (k = 0). "every cut": the archive cut at each offset (each 512 bytes
    // and around, for an ISO) gives the whole tree or message 203, never a part of it.
    void damaged_and_hostile_archives_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<Items>("items");
        QTest::addColumn<QString>("harm");  // "cut N", "half", "zeros N", "garble", "every cut"
        QTest::addColumn<QString>("named"); // in message 203: "%1" stands for the archive
        QTest::addColumn<L>("kept");
        const QByteArray big(20000, 'x');
        const Items abc{{"A/f", "1"}, {"B/f", "2"}, {"C/f", "3"}};
        const L all{"\\.h", "\\DOCS", "\\DOS", "\\DOS\\TOOLS", "\\empty", "\\ソフト"};
        QTest::newRow("tar cut inside a file's data")
            << "tar" << Items{{"A/f", big}, {"B/f", big}, {"C/f", big}} << "cut 23072"
            << "%1:" << L{"\\A", "\\B"};
        // libarchive takes a cut at a block boundary for the end of the archive.
        QTest::newRow("tar cut between two entries")
            << "tar" << abc << "cut 2048"
            << "%1:アーカイブが途中で切れています" << L{"\\A", "\\B"};
        QTest::newRow("zip whose second central directory header is garbled")
            << "zip-raw" << abc << "garble"
            << "%1:zipのセントラルディレクトリが2番目" << L{"\\A"};
        QTest::newRow("iso cut at half its length")
            << "iso" << medium() << "half"
            << "%1:イメージが途中で切れています"
            << L{"\\.h", "\\DOCS", "\\DOS", "\\empty", "\\ソフト", "\\DOS\\TOOLS"}; // unsorted
        QTest::newRow("iso cut inside its volume descriptors")
            << "iso" << medium() << "cut 36000"
            << "%1:ISO 9660のボリューム記述子が欠けています" << L{};
        QTest::newRow("iso cut inside its system area")
            << "iso" << medium() << "cut 3000"
            << "%1:読み取れる項目がひとつもありません" << L{};
        for (const int n : {512, 10240, 1 << 20})
            QTest::addRow("%d zero bytes", n) << "" << Items{} << QString("zeros %1").arg(n)
                                              << "%1:読み取れる項目がひとつもありません" << L{};
        QTest::newRow("an entry climbing out with ..")
            << "tar" << Items{{"A/f", "1"}, {"../x/f", "2"}, {"C/f", "3"}} << ""
            << "%1:../x/f]" << L{"\\A"};
        QTest::newRow("an entry inside climbing out")
            << "zip-raw" << Items{{"A/../../x", "1"}} << ""
            << "%1:A/../../x]" << L{};
        QTest::newRow("an absolute path") << "zip-raw" << Items{{"A/f", "1"}, {"/abs/f", "2"}} << ""
                                          << "%1:/abs/f]" << L{"\\A"};
        Items many;
        for (int i = 0; i < 100000; ++i)
            many << ArchiveItem{QByteArray::number(100000 + i) + '/', {}};
        QTest::newRow("100,000 directories against a table of 1,000") << "zip-raw" << many << ""
                                                                      << "i:\\]" << L{};
        QTest::newRow("no archive at all") << "" << Items{} << ""
                                           << "i:\\]" << L{};
        for (const char* format : {"iso", "tar", "tar.gz", "zip-utf8"})
            QTest::addRow("%s cut anywhere", format) << format << medium() << "every cut"
                                                     << "" << all;
    }
    void damaged_and_hostile_archives() {
        QFETCH(QString, format);
        QFETCH(Items, items);
        QFETCH(QString, harm);
        QFETCH(QString, named);
        QFETCH(L, kept);
        QTemporaryDir dir;
        const QString file = dir.filePath("bad");
        if (format.isEmpty())
            write_bytes(file, harm.startsWith("zeros") ? QByteArray(harm.mid(6).toInt(), '\0')
                                                       : QByteArray(3000, 'j'));
        else
            QVERIFY(make_archive(file, format, items));
        QByteArray bytes = read_bytes(file);
        if (harm == "every cut") {
            // Every offset of a small archive; of a larger one each 512-byte block's first
            // bytes, its middle and its last byte (an ISO's sectors outside its descriptors
            // by 2048 bytes).
            auto tried = [&](qsizetype cut) {
                if (bytes.size() < 4096) return true;
                const qsizetype block =
                    format == "iso" && (cut < 32768 || cut > 40960) ? 2048 : 512;
                const qsizetype at = cut % block;
                return at <= 1 || at == 157 || at == block / 2 || at == block - 1;
            };
            for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
                if (!tried(cut)) continue;
                // A new file each time: replacing one by truncation waits for the disk.
                const QString part = file + QString::number(cut);
                write_bytes(part, bytes.left(cut));
                pin(part);
                ScriptedSeam seam;
                seam.expect(QStringLiteral("(203)"));
                const int16_t k = acquire();
                const bool whole = k == 1 && seam.shown.isEmpty() && display_lines() == kept;
                const bool refused = k == 0 && seam.shown.size() == 1;
                QVERIFY2(
                    whole || refused,
                    qPrintable(
                        QString("cut at %1: k %2, %3 lines").arg(cut).arg(k).arg(G.EntryCount)));
                QFile::remove(part);
            }
            return;
        }
        if (harm.startsWith("cut")) write_bytes(file, bytes.left(harm.mid(4).toInt()));
        if (harm == "half") write_bytes(file, bytes.left(bytes.size() / 2));
        if (harm == "garble") {
            const qsizetype second = bytes.indexOf("PK\x01\x02", bytes.indexOf("PK\x01\x02") + 4);
            QVERIFY(second > 0);
            bytes.replace(second, 4, "JUNK");
            write_bytes(file, bytes);
        }
        pin(file);
        ScriptedSeam seam;
        seam.expect("ドライブ[" + (named.contains("%1") ? named.arg(file) : named));
        QCOMPARE(acquire(), int16_t(0));
        QVERIFY(seam.shown.last().text.endsWith(Msg203Tail));
        if (items.size() == 100000)
            QCOMPARE(G.EntryCount, int16_t(1000));
        else
            QCOMPARE(display_lines(), kept);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // An archive changed after the walk is read again; one that is gone is a directory that
    // cannot be read (202), which keeps the entry.
    void archive_replaced_or_gone_before_pruning() {
        QTemporaryDir dir;
        const QString file = dir.filePath("a.tar");
        QVERIFY(make_archive(file, "tar", {{"A/f", "1"}, {"B/", {}}}));
        pin(file);
        ScriptedSeam seam;
        QCOMPARE(acquire(), int16_t(1));
        ::usleep(10000);
        QVERIFY(make_archive(file, "tar", {{"A/", {}}, {"B/f", "1"}}));
        prune_entries();
        QCOMPARE(display_lines(), L{"\\B"});
        QVERIFY(QFile::remove(file));
        seam.expect(QStringLiteral("(202)"));
        prune_entries();
        QCOMPARE(display_lines(), L{"\\B"});
        QVERIFY2(seam.satisfied(), seam.report());
    }
};

QTEST_GUILESS_MAIN(TestImageWalk)
#include "tst_image_walk.moc"
