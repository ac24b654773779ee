// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-cli walk and register, run as a user would run them.
#include "archive_maker.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString out, err; // of the last run

// Runs tobrin-cli beside a configuration pinning drive q to a small medium in `dir`.
int cli(const QTemporaryDir& dir, const QStringList& args, const QStringList& config = {}) {
    make_dirs(dir.filePath("med"), {"TOOLS/BIN", "DOCS", "empty"});
    touch(dir.filePath("med/DOCS/readme.txt"));
    touch(dir.filePath("med/TOOLS/BIN/tool"));
    write_cp932_file(dir.filePath("tobrin.cfg"),
                     QStringList{"#40:q=" + dir.filePath("med")} + config);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(TOBRIN_CLI), args);
    p.waitForFinished(60000);
    out = QString::fromUtf8(p.readAllStandardOutput());
    err = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
}
} // namespace

class TestCliRegister : public QObject {
    Q_OBJECT
  private slots:
    void walk() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir, {"walk", "--drive", "q"}), 0);
        QCOMPARE(out, "\\DOCS\n\\empty\n\\TOOLS\n\\TOOLS\\BIN\nDirCount\t2\nEntryCount\t4\n");
        cli(dir, {"walk", "--drive", "q", "--prune"});
        QCOMPARE(out, "\\DOCS\n\\TOOLS\\BIN\nDirCount\t2\nEntryCount\t2\n");
        QCOMPARE(cli(dir, {"walk", "--drive", "x"}), 1);
        QVERIFY(err.contains(QStringLiteral("ドライブ[x:\\]のアクセスができません。(203)")));
        QCOMPARE(cli(dir, {"walk", "--drive", "qq"}), 2);
    }

    // Names that are not plain UTF-8 text, and names holding line breaks and tabs, through
    // walk, prune, register and search: one result per line, each found as it was shown.
    void names_as_the_disk_spells_them() {
        QTemporaryDir dir;
        const QByteArray med = QFile::encodeName(dir.filePath("med"));
        QVERIFY(QDir().mkpath(dir.filePath("med")));
        const QByteArray kana("\x83\x5c\x83\x74\x83\x67"); // ソフト in code page 932
        for (const QByteArray& name : {kana, QByteArray("x\xff"), QByteArray("a\\b"),
                                       QByteArray("l1\nl2\tt"), kana + "/sub"})
            QCOMPARE(::mkdir((med + '/' + name).constData(), 0755), 0);
        for (const QByteArray& file : {kana + "/f", QByteArray("x\xff/f"), QByteArray("a\\b/f"),
                                       QByteArray("l1\nl2\tt/f")}) {
            const int fd = ::open((med + '/' + file).constData(), O_CREAT | O_WRONLY, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        QCOMPARE(cli(dir, {"walk", "--drive", "q", "--prune"}), 0);
        const QString lines = QStringLiteral("\\a\\b\n\\DOCS\n\\l1&#10;l2&#9;t\n"
                                             "\\TOOLS\\BIN\n\\x&#56575;\n\\ソフト\n");
        QCOMPARE(out, lines + "DirCount\t3\nEntryCount\t6\n");
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "T", "--prune"}), 0);
        const QByteArray dat = read_bytes(dir.filePath("tobrin.dat"));
        for (const QByteArray& line : {"\\" + kana + "\\", "1," + kana, QByteArray("1,a&#92;b"),
                                       QByteArray("1,x&#56575;"), QByteArray("1,l1&#10;l2\tt")})
            QVERIFY2(dat.contains("\r\n" + line + "\r\n"), line.constData());
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "ソフト"}), 0);
        QCOMPARE(out, "1\t\\ソフト\n");
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "a\\b"}), 0);
        QCOMPARE(out, "1\t\\a\\b\n");
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "l1"}), 0);
        QCOMPARE(out, "1\t\\l1&#10;l2&#9;t\n");
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "x"}), 0);
        QCOMPARE(out, "1\t\\x&#56575;\n");
        for (const QByteArray& name : {kana + "/f", QByteArray("x\xff/f")})
            ::unlink((med + '/' + name).constData());
        for (const QByteArray& name : {kana + "/sub", kana, QByteArray("x\xff")})
            ::rmdir((med + '/' + name).constData());
    }

    // A catalogue written elsewhere keeps its "&#N;" text as typed.
    void literal_references_searched_as_stored() {
        QTemporaryDir dir;
        write_cp932_file(dir.filePath("tobrin.dat"),
                         {"*01", "\"Tom&#39;s R&#38;D\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"",
                          "\"1999/05/12 10:30:00\"", "\"\"", "\"q\"", "\"\"", "*02", "\\", "*03",
                          "1,Tom&#39;s"});
        QCOMPARE(cli(dir, {"search", "&#39;"}), 0);
        QCOMPARE(out, "-1\tTom&#39;s R&#38;D  \n1\t\\Tom&#39;s\n");
        QCOMPARE(cli(dir, {"search", "Tom's"}), 1);
    }

    void register_appends_one_block() {
        QTemporaryDir dir;
        // Year and month alone are no header: nothing is written.
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--year", "1999"}), 1);
        QVERIFY(!QFile::exists(dir.filePath("tobrin.dat")));
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "Sample Disc", "--publisher",
                           "Example Press", "--memo", "first line\nsecond line", "--year", "1999",
                           "--month", "5", "--header6", "memo", "--prune"}),
                 0);
        QVERIFY(err.contains(QStringLiteral("(111)")) && err.contains(QStringLiteral("(105)")));
        QStringList lines =
            QString::fromLatin1(read_bytes(dir.filePath("tobrin.dat"))).split("\r\n");
        lines[7] = QStringLiteral("STAMP");
        QCOMPARE(lines.join(u'|'), "*01|\"Sample Disc\"|\"Example Press\"|"
                                   "\"first line$RET$$LF$second line\"|\"1999\"|\"5\"|\"memo\"|"
                                   "STAMP|\"\"|\"q\"|\"\"|*02|\\|\\TOOLS\\|*03|1,DOCS|2,BIN|");

        // A catalogue folder given by drive letter: every command opens the file register wrote.
        QVERIFY(QDir().mkpath(dir.filePath("store/DATA")));
        const QStringList byLetter{"#02:r:\\DATA", "#40:r=" + dir.filePath("store")};
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "Lettered"}, byLetter), 0);
        QVERIFY(read_bytes(dir.filePath("store/DATA/tobrin.dat")).contains("\"Lettered\""));
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "bin"}, byLetter), 0);
        QCOMPARE(out, "1\t\\TOOLS\\BIN\n");
        QCOMPARE(cli(dir, {"show", "1"}, byLetter), 0);
        QVERIFY(out.startsWith("1\tLettered\n") && out.endsWith("\\TOOLS\\BIN\n"));
        QCOMPARE(cli(dir, {"check"}, byLetter), 0);
    }

    // Images and archives registered from the command line, by --image and by a key-40 pin,
    // found by search; a hostile archive or a file of zeros writes nothing.
    void images_and_archives_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("pinned"); // by key 40 rather than --image
        QTest::addColumn<QString>("label");
        QTest::newRow("iso by --image") << "iso" << false << "MAGAZINE_1999";
        QTest::newRow("zip by key 40") << "zip-raw" << true << "";
    }
    void images_and_archives() {
        QFETCH(QString, format);
        QFETCH(bool, pinned);
        QFETCH(QString, label);
        QTemporaryDir dir;
        const QString image = dir.filePath("disc 1.img");
        QVERIFY(make_archive(image, format,
                             {{"TOOLS/BIN/tool", "x"}, {"DOCS/readme.txt", "y"}, {"empty/", {}}},
                             format == "iso" ? "volume-id=MAGAZINE_1999" : QByteArray()));
        const QStringList by = pinned ? QStringList{} : QStringList{"--image", image};
        const QStringList config = pinned ? QStringList{"#40:i=" + image} : QStringList{};
        QCOMPARE(cli(dir, QStringList{"walk", "--drive", "i", "--prune"} + by, config), 0);
        QCOMPARE(out, "\\DOCS\n\\TOOLS\\BIN\nDirCount\t2\nEntryCount\t2\n");
        if (pinned) {
            QCOMPARE(cli(dir, {"config"}, config), 0);
            QVERIFY(out.contains("Drive[i]\t" + image + "\n"));
        }
        QCOMPARE(cli(dir, QStringList{"register", "--drive", "i", "--title", "Disc"} + by, config),
                 0);
        const QStringList lines =
            QString::fromLatin1(read_bytes(dir.filePath("tobrin.dat"))).split("\r\n");
        QCOMPARE(lines.mid(8, 2), (QStringList{'"' + label + '"', "\"i\""}));
        QCOMPARE(cli(dir, {"search", "--show", "dirs", "bin"}, config), 0);
        QCOMPARE(out, "1\t\\TOOLS\\BIN\n");

        // An entry that climbs out of the tree: message 203 and nothing written.
        QVERIFY(make_archive(image, "tar", {{"A/f", "1"}, {"../../etc/x", "2"}}));
        const QByteArray before = read_bytes(dir.filePath("tobrin.dat"));
        QCOMPARE(cli(dir, QStringList{"register", "--drive", "i", "--title", "Evil"} + by, config),
                 1);
        QVERIFY(err.contains("ドライブ[" + image + ":../../etc/x]のアクセスができません。(203)"));
        QCOMPARE(read_bytes(dir.filePath("tobrin.dat")), before);
        // Nor is a file of zeros, which libarchive reads as an empty tar, an empty medium.
        write_bytes(image, QByteArray(10240, '\0'));
        QCOMPARE(cli(dir, QStringList{"register", "--drive", "i", "--title", "Zero"} + by, config),
                 1);
        QVERIFY(err.contains("ドライブ[" + image + ":読み取れる項目がひとつもありません]"));
        QCOMPARE(read_bytes(dir.filePath("tobrin.dat")), before);
        QCOMPARE(cli(dir, {"walk", "--image", image}), 2); // --image needs --drive
    }

    // A file name with a NUL byte is a bad configuration line (071): reading stops there and
    // the registration goes to the default catalogue, leaving nothing else behind.
    void control_character_in_the_file_name() {
        QTemporaryDir dir;
        QCOMPARE(cli(dir, {"register", "--drive", "q", "--title", "T"},
                     {u"#01:a"_qs + QChar(0) + u"b"_qs}),
                 0);
        QVERIFY(err.contains(QStringLiteral("(071)")) && err.contains(QStringLiteral("(105)")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 (QStringList{"tobrin.cfg", "tobrin.dat"}));
    }
};

QTEST_GUILESS_MAIN(TestCliRegister)
#include "tst_cli_register.moc"
