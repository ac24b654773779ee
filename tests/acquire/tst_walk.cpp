#include "acquire/walk.h"
#include "core/codepage.h"
#include "scripted_seam.h"
#include "walk_fixture.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {
const QString Msg203Tail = QStringLiteral("]のアクセスができません。(203)");

// Runs an action whenever the walk yields, so a test can change the tree mid-walk.
class MidWalkSeam : public ScriptedSeam {
  public:
    std::function<void(MidWalkSeam&)> onYield;
    void yield() override {
        ScriptedSeam::yield();
        if (onYield) onYield(*this);
    }
};

int16_t walk_q() {
    G.DirCount = 0;
    G.EntryCount = 0;
    int16_t k = -1;
    ListSubDirs(QStringLiteral("q:\\"), k);
    return k;
}
} // namespace

class TestWalk : public QObject {
    Q_OBJECT
  private slots:
    void init() { ListProgressIntervalMs = 50; }

    void subdirectories_first_then_depth() {
        DriveQ q;
        make_dirs(q.root(), {"B/B1", "A/A2", "A/A1/deep"});
        touch(q.path("A/file.txt"));
        ScriptedSeam seam;
        QCOMPARE(walk_q(), int16_t(1));
        QCOMPARE(display_lines(),
                 (QStringList{"\\A", "\\B", "\\A\\A1", "\\A\\A2", "\\A\\A1\\deep", "\\B\\B1"}));
        QCOMPARE(parent_slots(), (QStringList{"\\", "\\A\\", "\\A\\A1\\", "\\B\\"}));
        QCOMPARE(entry_display_line(5), QStringLiteral("\\A\\A1\\deep"));
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(seam.label1History.first().endsWith(QStringLiteral("\r\n\r\n\\")));
    }

    void hidden_kept_links_and_specials_left_out() {
        DriveQ q;
        QTemporaryDir outside;
        make_dirs(q.root(), {".hidden/in", "D/E", "v1.2"});
        make_dirs(outside.path(), {"X"});
        QVERIFY(QFile::link(q.path("D"), q.path("linkToD")));
        QVERIFY(QFile::link(outside.path(), q.path("linkOut")));
        QVERIFY(QFile::link(q.root(), q.path("D/loop")));
        QCOMPARE(::mkfifo(QFile::encodeName(q.path("fifo")).constData(), 0644), 0);
        ScriptedSeam seam;
        QCOMPARE(walk_q(), int16_t(1));
        QCOMPARE(display_lines(),
                 (QStringList{"\\.hidden", "\\D", "\\v1.2", "\\.hidden\\in", "\\D\\E"}));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void mount_point_recorded_not_descended() {
        DriveQ q;
        make_dirs(q.root(), {"M", "N/N1"});
        const QByteArray m = QFile::encodeName(q.path("M"));
        if (::mount("tobrin-test", m.constData(), "tmpfs", 0, nullptr) != 0)
            QSKIP("cannot mount a file system here");
        make_dirs(q.path("M"), {"inside"});
        ScriptedSeam seam;
        const int16_t k = walk_q();
        ::umount(m.constData());
        QCOMPARE(k, int16_t(1));
        QCOMPARE(display_lines(), (QStringList{"\\M", "\\N", "\\N\\N1"}));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void names_the_code_page_lacks_and_raw_bytes() {
        DriveQ q;
        make_dirs(q.root(), {QStringLiteral("café/sub")});
        // A name that is not UTF-8 at all must still be walked into.
        const QByteArray raw = QFile::encodeName(q.root()) + "/bad\xff";
        QCOMPARE(::mkdir(raw.constData(), 0755), 0);
        QCOMPARE(::mkdir((raw + "/child").constData(), 0755), 0);
        ScriptedSeam seam;
        QCOMPARE(walk_q(), int16_t(1));
        QCOMPARE(G.EntryCount, int16_t(4));
        QVERIFY(display_lines().contains(QStringLiteral("\\café\\sub")));
        QCOMPARE(display_lines().filter(QStringLiteral("\\child")).size(), 1);
        QVERIFY2(seam.satisfied(), seam.report());
        ::rmdir((raw + "/child").constData());
        ::rmdir(raw.constData());
    }

    void empty_root_and_placeholder() {
        DriveQ q;
        touch(q.path("only-a-file"));
        ScriptedSeam seam;
        QCOMPARE(walk_q(), int16_t(1));
        QCOMPARE(G.EntryCount, int16_t(0));
        QCOMPARE(G.DirCount, int16_t(0));
        install_root_placeholder();
        QCOMPARE(parent_slots(), QStringList{"\\"});
        QCOMPARE(G.EntryCount, int16_t(1));
        QCOMPARE(G.EntryNames(1), QString());
        QCOMPARE(G.EntryParentIndex(1), int16_t(1));
        QCOMPARE(entry_display_line(1), QStringLiteral("\\"));
    }

    void progress_text_data() {
        QTest::addColumn<QString>("subPath");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("bytes");
        const QString forty = QStringLiteral("q:\\") + QString(36, u'x') + QStringLiteral("9");
        QTest::newRow("root") << QStringLiteral("q:\\") << QStringLiteral("\\") << 1;
        QTest::newRow("trailing backslash dropped")
            << QStringLiteral("q:\\DOS\\TOOLS\\") << QStringLiteral("q:\\DOS\\TOOLS") << 12;
        QTest::newRow("exactly 31 kept") << QStringLiteral("q:\\") + QString(28, u'a') + u'\\'
                                         << QStringLiteral("q:\\") + QString(28, u'a') << 31;
        QTest::newRow("40 ASCII show their last 31") << forty + u'\\' << forty.right(31) << 31;
        QTest::newRow("cut inside a two-byte character gives 32")
            << QStringLiteral("q:\\") + QString(20, QChar(0x3042)) + u'\\'
            << QString(16, QChar(0x3042)) << 32;
        QTest::newRow("two-byte characters ending at 31")
            << QStringLiteral("q:\\") + QString(15, QChar(0x3042)) + QStringLiteral("c\\")
            << QString(15, QChar(0x3042)) + u'c' << 31;
        QTest::newRow("half-width katakana are one byte")
            << QStringLiteral("q:\\") + QString(40, QChar(0xFF71)) + u'\\'
            << QString(31, QChar(0xFF71)) << 31;
    }
    void progress_text() {
        QFETCH(QString, subPath);
        QFETCH(QString, shown);
        QFETCH(int, bytes);
        QCOMPARE(walk_progress_path(subPath), shown);
        QCOMPARE(cp932_byte_length(shown), bytes);
    }

    void directory_vanishing_mid_walk_data() {
        QTest::addColumn<QString>("vanishing");
        QTest::addColumn<int>("k");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("a middle one: the walk goes on")
            << "B" << 1 << QStringList{"\\A", "\\B", "\\C", "\\A\\A1", "\\C\\C1"};
        QTest::newRow("the last one started: k is 0")
            << "C" << 0 << QStringList{"\\A", "\\B", "\\C", "\\A\\A1", "\\B\\B1"};
    }
    void directory_vanishing_mid_walk() {
        QFETCH(QString, vanishing);
        QFETCH(int, k);
        QFETCH(QStringList, lines);
        DriveQ q;
        make_dirs(q.root(), {"A/A1", "B/B1", "C/C1"});
        ListProgressIntervalMs = 0;
        MidWalkSeam seam;
        seam.onYield = [&](MidWalkSeam& s) {
            if (s.labels[0].endsWith(QStringLiteral("q:\\A\\A1")))
                QDir(q.path(vanishing)).removeRecursively();
        };
        seam.expect(QStringLiteral("ドライブ[q:\\") + vanishing + u'\\' + Msg203Tail);
        QCOMPARE(walk_q(), int16_t(k));
        QCOMPARE(display_lines(), lines);
        QCOMPARE(G.HeaderBlockCount, int16_t(-1));
        QCOMPARE(G.ResultLineCount, -1);
        QVERIFY(seam.shown.first().text.endsWith(
            QStringLiteral("\r\n\r\nデータの読み込みを中断します。")));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void unreadable_root() {
        DriveQ q;
        QDir(q.root()).removeRecursively();
        ScriptedSeam seam;
        seam.expect(QStringLiteral("ドライブ[q:\\]のアクセスができません。(203)"));
        QCOMPARE(walk_q(), int16_t(0));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void full_table_ends_the_walk_with_one_message_data() {
        QTest::addColumn<int>("maxDirs");
        QTest::addColumn<int>("maxEntries");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("parent slots")
            << 2 << 100 << "q:\\B\\" << QStringList{"\\A", "\\B", "\\C", "\\A\\A1"};
        QTest::newRow("entries") << 100 << 2 << "q:\\" << QStringList{"\\A", "\\B"};
    }
    void full_table_ends_the_walk_with_one_message() {
        QFETCH(int, maxDirs);
        QFETCH(int, maxEntries);
        QFETCH(QString, where);
        QFETCH(QStringList, lines);
        DriveQ q;
        DriveQ::size_lists(int16_t(maxDirs), int16_t(maxEntries));
        make_dirs(q.root(), {"A/A1", "B/B1", "C/C1/C2"});
        ScriptedSeam seam;
        seam.expect(QStringLiteral("ドライブ[") + where + Msg203Tail);
        QCOMPARE(walk_q(), int16_t(0));
        QCOMPARE(display_lines(), lines);
        QVERIFY(G.DirCount <= maxDirs && G.EntryCount <= maxEntries);
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void has_files_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("j");
        QTest::newRow("empty") << QStringList{} << QStringList{} << QString() << 0;
        QTest::newRow("only subdirectories, even with files below")
            << QStringList{"S", ".T"} << QStringList{"S/f"} << QString() << 0;
        QTest::newRow("one file") << QStringList{} << QStringList{"f"} << QString() << 1;
        QTest::newRow("one hidden file") << QStringList{} << QStringList{".f"} << QString() << 1;
        QTest::newRow("a link counts as a system file")
            << QStringList{} << QStringList{} << "lnk" << 1;
        QTest::newRow("a hidden link is hidden and system: not seen")
            << QStringList{} << QStringList{} << ".lnk" << 0;
    }
    void has_files() {
        QFETCH(QStringList, dirs);
        QFETCH(QStringList, files);
        QFETCH(QString, link);
        QFETCH(int, j);
        DriveQ q;
        make_dirs(q.root(), QStringList{"P"} +
                                QStringList(dirs).replaceInStrings(QRegularExpression("^"), "P/"));
        for (const QString& f : files)
            touch(q.path("P/" + f));
        if (!link.isEmpty()) QVERIFY(QFile::link("/nonexistent", q.path("P/" + link)));
        ScriptedSeam seam;
        QString path = QStringLiteral("q:\\P");
        int16_t has = -1, pos = 3;
        ListSubFile(path, has, pos);
        QCOMPARE(has, int16_t(j));
        QCOMPARE(pos, int16_t(3));
        QCOMPARE(path, QStringLiteral("q:\\P\\"));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void has_files_probe_failure() {
        DriveQ q;
        G.EntryCount = 7;
        ScriptedSeam seam;
        seam.expect(QStringLiteral("ディレクトリをアクセスできません。(202)"));
        QString path = QStringLiteral("q:\\gone\\");
        int16_t has = 0, pos = 2;
        ListSubFile(path, has, pos);
        QCOMPARE(has, int16_t(1));
        QCOMPARE(pos, int16_t(8));
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void removal() {
        DriveQ q;
        make_dirs(q.root(), {"A", "B", "C"});
        ScriptedSeam seam;
        walk_q();
        remove_entry(0);
        remove_entry(4);
        QCOMPARE(display_lines(), (QStringList{"\\A", "\\B", "\\C"}));
        remove_entry(2);
        QCOMPARE(display_lines(), (QStringList{"\\A", "\\C"}));
        remove_entry(2);
        remove_entry(1);
        QCOMPARE(G.EntryCount, int16_t(1));
        QCOMPARE(G.DirCount, int16_t(1));
        QCOMPARE(entry_display_line(1), QStringLiteral("\\"));
    }
};

QTEST_GUILESS_MAIN(TestWalk)
#include "tst_walk.moc"
