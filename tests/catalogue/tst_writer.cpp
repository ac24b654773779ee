// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue writer and the escape of text code page 932 cannot hold.
#include "catalogue/escape.h"
#include "catalogue/writer.h"
#include "child_process.h"
#include "core/codepage.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QByteArray Stamp = "1999/05/12 10:30:00";
const QByteArray WorkedExample =
    "*01\r\n\"Sample Disc\"\r\n\"Example Press\"\r\n\"first line$RET$$LF$second line\"\r\n"
    "\"1999\"\r\n\"5\"\r\n\"memo\"\r\n\"1999/05/12 10:30:00\"\r\n\"MYDISC\"\r\n\"q\"\r\n\"\"\r\n"
    "*02\r\n\\\r\n\\TOOLS\\\r\n*03\r\n1,DOCS\r\n1,TOOLS\r\n2,BIN\r\n";

// The registration of the worked example, with catalogue and backup in a temporary directory.
struct Example {
    QTemporaryDir dir;
    Example() {
        fresh_state();
        G.CatalogueLockTimeoutMs = 200;
        G.DataDir = G.BackupDir = dir.path() + u'/';
        G.DataFilePath = G.DataDir + G.DataFileName;
        G.BackupFilePath = G.BackupDir + G.BackupFileName;
        G.HeaderTable.redim(G.MaxHeaderBlocks);
        int f = 0;
        for (const QString& text :
             QStringLiteral("Sample Disc|Example Press|first line\r\nsecond line|1999|"
                            "5|memo|データ登録時に設定します。|MYDISC|q")
                 .split(u'|'))
            G.HeaderTable(1, ++f) = text;
        G.DirPaths = Array1<QString>{"\\", "\\TOOLS\\"};
        G.DirCount = 2;
        G.EntryNames = Array1<QString>{"DOCS", "TOOLS", "BIN"};
        G.EntryParentIndex = Array1<int16_t>{1, 1, 2};
        G.EntryCount = 3;
        G.ProgressFlags = 3;
    }
};

// Puts a directory, a fifo or a symbolic link to `target` under `path`.
bool make_odd(const QString& kind, const QString& path, const QString& target) {
    if (kind == "dir") return QDir().mkdir(path);
    if (kind == "fifo") return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    return QFile::link(target, path);
}

// The reason message 106 gives: the platform's, in the user's language; 0 for a read-only file.
QString reason(int error) {
    if (error == 0) return QStringLiteral("データファイルが書込禁止となっています。");
    const QString platform = QString::fromLocal8Bit(std::strerror(error));
    return QStringLiteral("( Error Code %1  : %2）").arg(error).arg(platform);
}

bool present(const QString& path) {
    return QFileInfo(path).isSymLink() || QFileInfo::exists(path);
}

// "*01", one header line and part of the next: the block a killed append left.
const QByteArray Whole = "*01\r\n\"a\"\r\n";
const QByteArray Block = "*01\r\n\"torn\"\r\n";
const QByteArray Torn = Whole + Block.left(8);
} // namespace

class TestWriter : public QObject {
    Q_OBJECT
  private slots:
    // What a registration does to the catalogue and its backup (made after a registration).
    // Written: the worked example byte for byte, on a new file, through links to files
    // elsewhere, after a last line edited by hand, and in a folder the user cannot write (no
    // journal can be made there; the backup is rewritten in place). Refused: message 106 with
    // the platform's reason, and the catalogue as it was; a path that names no regular file is
    // a missing catalogue that cannot be made (111, then 106), and a new catalogue that cannot
    // be filled is removed again. Writes stop part way in a child under a file-size limit, so
    // they fail for every user.
    void writes_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("before"); // empty: no catalogue yet
        QTest::addColumn<int>("error");         // -1 written; 0 the read-only text; or errno
        const QByteArray old = QByteArray("*01\r\n\"old\"\r\n").repeated(50);
        QTest::newRow("new catalogue") << "plain" << QByteArray() << -1;
        QTest::newRow("last line end lost") << "plain" << WorkedExample.chopped(2) << -1;
        QTest::newRow("last line ends in a lone CR") << "plain" << WorkedExample.chopped(1) << -1;
        QTest::newRow("links to files elsewhere") << "link" << old << -1;
        QTest::newRow("dangling links") << "link" << QByteArray() << -1;
        QTest::newRow("link to a read-only backup: 020") << "link-ro" << old << -1;
        QTest::newRow("folder the user cannot write") << "shared" << old << -1;
        QTest::newRow("read-only file") << "read-only" << old << 0;
        QTest::newRow("write fails half way") << "plain" << old << EFBIG;
        QTest::newRow("a new catalogue cannot be filled") << "plain" << QByteArray() << EFBIG;
        QTest::newRow("another copy is appending") << "locked" << old << EBUSY;
        QTest::newRow("directory") << "dir" << QByteArray() << EISDIR;
        QTest::newRow("fifo") << "fifo" << QByteArray() << EINVAL;
    }
    void writes() {
        QFETCH(QString, how);
        QFETCH(QByteArray, before);
        QFETCH(int, error);
        Example ex;
        QTemporaryDir elsewhere;
        const bool linked = how.startsWith("link"), odd = how == "dir" || how == "fifo";
        const QString real = linked ? elsewhere.filePath("real.dat") : G.DataFilePath;
        const QString backup = linked ? elsewhere.filePath("bak") : G.BackupFilePath;
        const mode_t mode = how == "shared" ? 0666 : 0604,
                     backupMode = how == "link-ro" ? 0444 : mode;
        if (!before.isEmpty()) {
            write_bytes(real, before);
            write_bytes(backup, "old");
            ::chmod(QFile::encodeName(real).constData(), mode);
            ::chmod(QFile::encodeName(backup).constData(), backupMode);
        }
        if (linked)
            QVERIFY(QFile::link(real, G.DataFilePath) && QFile::link(backup, G.BackupFilePath));
        if (odd) QVERIFY(make_odd(how, G.DataFilePath, {}));
        if (how == "read-only") QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        QFile other(G.DataFilePath);
        if (how == "locked")
            QVERIFY(other.open(QIODevice::ReadOnly) &&
                    ::flock(other.handle(), LOCK_EX | LOCK_NB) == 0);
        G.BackupMode = 4;
        const auto attempt = [&] {
            ScriptedSeam seam;
            if (before.isEmpty())
                seam.expect("データファイル[" + G.DataFilePath +
                            QStringLiteral("]が見つかりません。(111)\r\n\r\n新規作成します。"));
            const QString catalogue = "データファイル[" + G.DataDir + "tobrin.dat]";
            if (error < 0) seam.expect(catalogue + QStringLiteral("を書き込み完了しました。(105)"));
            if (error >= 0)
                seam.expect(catalogue + QStringLiteral("を書き込めません。(106)\r\n\r\n") +
                            reason(error) +
                            QStringLiteral("\r\n\r\nデータの書き込みを中断します。"));
            if (how == "link-ro") seam.expect("(020)");
            int16_t result = -1;
            write_data(result);
            const bool done = result == (error < 0) && G.ProgressFlags == (error < 0 ? 0 : 3);
            return done && seam.satisfied() ? 0 : 1;
        };
        // A folder only nobody cannot write; a write that stops part way in a child.
        if (how == "shared") QFile::setPermissions(ex.dir.path(), QFile::Permissions(0x5555));
        const int code =
            how == "shared"
                ? run_in_child([&] { return drop_root() ? attempt() : ChildCannotSetUp; })
            : error == EFBIG ? run_in_child(attempt, before.size() + 40)
                             : attempt();
        QFile::setPermissions(ex.dir.path(), QFile::Permissions(0x7700));
        if (code == ChildCannotSetUp) QSKIP("cannot become nobody");
        QCOMPARE(code, 0);
        const QStringList both{"tobrin.$$$", "tobrin.dat"};
        QCOMPARE(
            QDir(ex.dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
            error < 0 || !before.isEmpty() ? both
            : odd                          ? QStringList{"tobrin.dat"}
                                           : QStringList());
        const QByteArray after = odd ? QByteArray() : read_bytes(real);
        QCOMPARE(read_bytes(backup), error >= 0 || how == "link-ro"
                                         ? QByteArray(before.isEmpty() ? "" : "old")
                                         : after);
        if (error >= 0) {
            QCOMPARE(after, before);
            return;
        }
        const qsizetype at = after.size() - WorkedExample.size() + WorkedExample.indexOf(Stamp);
        QVERIFY(QDateTime::fromString(after.mid(at, 19), "yyyy/MM/dd HH:mm:ss").isValid());
        const QByteArray lineEnd = before.isEmpty() || before.endsWith('\n') ? ""
                                   : before.endsWith('\r')                   ? "\n"
                                                                             : "\r\n";
        QCOMPARE(after.left(at) + Stamp + after.mid(at + 19), before + lineEnd + WorkedExample);
        if (!linked) return;
        QVERIFY(QFileInfo(G.DataFilePath).isSymLink() && QFileInfo(G.BackupFilePath).isSymLink());
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), (QStringList{"bak", "real.dat"}));
    }

    // A journal left behind is acted on under the lock at start-up and before a registration
    // only where it proves the tail is its own torn block: then the tail is cut (112). Any
    // other journal is moved aside (113) and the catalogue stays byte for byte. A run that
    // writes nothing (config, check) only says what will happen.
    void journal_left_behind_data() {
        QTest::addColumn<QString>("next"); // startup, write, or locked (start-up, lock held)
        QTest::addColumn<QString>("kind"); // what lies under the journal's name
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message"); // 112, 113 or none
        const QByteArray own = journal_for(Whole, Block);
        const auto row = [](const char* name, const char* next, const char* kind,
                            const QByteArray& journal, const QByteArray& file,
                            const char* message) {
            QTest::newRow(name) << next << kind << journal << file << message;
        };
        row("own torn block, start-up", "startup", "file", own, Torn, "112");
        row("own torn block, next registration", "write", "file", own, Torn, "112");
        row("own whole block not yet confirmed", "startup", "file", own, Whole + Block, "112");
        row("own, nothing appended yet", "startup", "file", own, Whole, "");
        row("a bare length (stale)", "write", "file", "10\r\n", Torn, "113");
        row("another file of the same length", "startup", "file",
            journal_for(QByteArray(Whole).replace('a', 'b'), Block), Torn, "113");
        row("file grown past the block", "startup", "file", own, Whole + Block + Whole, "113");
        row("file shorter than the length", "startup", "file", own, Block.left(8), "113");
        row("tail not the block", "write", "file", own, Whole + "*01\r\n\"xx", "113");
        row("read-only file", "startup", "read-only", own, Torn, "113");
        row("journal cut short", "startup", "file", own.chopped(1), Torn, "113");
        row("without its last line end", "startup", "file", journal_for(Whole, {}).chopped(2),
            Whole, "113");
        row("its copy of the block altered past the tail", "startup", "file", own.chopped(1) + "X",
            Torn, "113");
        row("garbage, an earlier one set aside", "startup", "aside", "\x01garbage", Torn, "113");
        row("link to an own journal", "write", "link", own, Torn, "113");
        row("dangling link", "write", "dangling", {}, Torn, "113");
        row("fifo", "startup", "fifo", {}, Torn, "113");
        row("directory", "write", "dir", {}, Torn, "113");
        row("another copy holds the lock: left alone", "locked", "file", own, Torn, "");
    }
    void journal_left_behind() {
        QFETCH(QString, next);
        QFETCH(QString, kind);
        QFETCH(QByteArray, journal);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        Example ex;
        G.CatalogueLockTimeoutMs = 100;
        QTemporaryDir elsewhere;
        const QString journalPath = G.DataFilePath + ".journal", target = elsewhere.filePath("j");
        write_bytes(G.DataFilePath, file);
        const bool plain = kind == "file" || kind == "read-only" || kind == "aside";
        if (plain || kind == "link") write_bytes(plain ? journalPath : target, journal);
        if (!plain) QVERIFY(make_odd(kind, journalPath, target));
        if (kind == "aside") write_bytes(journalPath + ".unmatched", "earlier");
        if (kind == "read-only") QFile::setPermissions(G.DataFilePath, QFile::ReadOwner);
        QFile other(G.DataFilePath);
        QVERIFY(other.open(QIODevice::ReadOnly));
        if (next == "locked") QCOMPARE(::flock(other.handle(), LOCK_EX | LOCK_NB), 0);
        const QString cfg = ex.dir.filePath("tobrin.cfg");
        write_cp932_file(cfg, {"#02:" + ex.dir.path()});
        ScriptedSeam seam;
        // A start that writes nothing, and a look at the journal: nothing changes.
        startup(cfg);
        const QString outlook = journal_outlook();
        QCOMPARE(read_bytes(G.DataFilePath), file);
        QVERIFY(present(journalPath));
        const char* says = message == "112"   ? "取り除きます"
                           : message == "113" ? ".unmatched"
                           : next == "locked" ? "書き込み中"
                                              : "削除します";
        QVERIFY2(outlook.contains(QString::fromUtf8(says)), qPrintable(outlook));

        const QString aside = journalPath + (kind == "aside" ? ".unmatched.2" : ".unmatched");
        if (message == "112")
            seam.expect("データファイル[" + G.DataFilePath +
                        QStringLiteral("]に前回中断された登録の書きかけのデータがあったため、取り除"
                                       "きました。(112)\r\n\r\nその登録は行われていません。もう"
                                       "一度登録してください。"));
        if (message == "113")
            seam.expect("[" + journalPath + "]はデータファイル[" + G.DataFilePath +
                        QStringLiteral("]の中断された登録の記録と一致しないため、使いませんでした"
                                       "。(113)\r\n\r\n[") +
                        aside +
                        QStringLiteral("]に名前を変えて残しました。\r\n\r\nデータファイルは何も変"
                                       "更していません。データファイルが壊れていないかは tobrin-"
                                       "cli check で確かめられます。"));
        const QByteArray kept = message == "112" ? Whole : file;
        if (next == "write") {
            seam.expect("(105)");
            int16_t result = 0;
            write_data(result);
            QCOMPARE(result, int16_t(1));
            const QByteArray lineEnd = kept.endsWith('\n') ? "" : "\r\n";
            QCOMPARE(read_bytes(G.DataFilePath), kept + lineEnd + encode_catalogue_block());
        } else {
            recover_catalogue();
            QCOMPARE(read_bytes(G.DataFilePath), kept);
        }
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(present(journalPath), next == "locked");
        QCOMPARE(present(aside), message == "113");
        if (kind == "link") QCOMPARE(read_bytes(target), journal);
        QCOMPARE(QFile::exists(target), kind == "link");
    }

    // A registration killed (SIGKILL) at a random point: a child appends blocks until it is
    // killed, after a random delay or as soon as the file shows a block half written. The
    // next start or registration leaves whole blocks only, without the one being written, and
    // says so (112) when that one was torn.
    void killed_append_data() {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("midWrite");
        for (const bool midWrite : {false, true})
            for (int i = 1; i <= 2; ++i)
                for (const char* next : {"startup", "write"})
                    QTest::addRow("%s kill %d, %s", midWrite ? "mid-write" : "random", i, next)
                        << next << midWrite;
    }
    void killed_append() {
        QFETCH(QString, next);
        QFETCH(bool, midWrite);
        Example ex;
        // About 1.6 MB a block: many pages, so a kill lands inside a block, and quick enough
        // for a build with sanitizers.
        G.EntryCount = G.MaxEntryCount = 8000;
        G.EntryNames.redim(G.MaxEntryCount);
        G.EntryParentIndex.redim(G.MaxEntryCount);
        for (int i = 1; i <= G.MaxEntryCount; ++i) {
            G.EntryNames(i) = QString(200, QChar(u'a' + i % 26));
            G.EntryParentIndex(i) = int16_t(1 + i % 2);
        }
        G.HeaderTable(1, 7) = registration_stamp(QDateTime::currentDateTime());
        const QByteArray reference = encode_catalogue_block();
        const qsizetype size = reference.size(),
                        stampAt = reference.indexOf(G.HeaderTable(1, 7).toLatin1());
        const pid_t pid = ::fork();
        for (int16_t result = 0; pid == 0;)
            write_data(result);
        QVERIFY(pid > 0);
        QElapsedTimer waited;
        waited.start();
        while (midWrite && QFileInfo(G.DataFilePath).size() % size == 0 &&
               waited.elapsed() < 5000) {
        }
        if (!midWrite) QTest::qSleep(100 + QRandomGenerator::global()->bounded(400));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const qint64 killedAt = QFileInfo(G.DataFilePath).size();

        // A torn block is always reported; a whole one may or may not be (silently, then).
        std::unique_ptr<ScriptedSeam> seam;
        if (killedAt % size != 0) {
            seam = std::make_unique<ScriptedSeam>();
            seam->expect("(112)");
            if (next == "write") seam->expect("(105)");
        }
        int16_t result = 1;
        if (next == "startup") recover_catalogue();
        if (next == "write") write_data(result);
        QCOMPARE(result, int16_t(1));
        if (seam) QVERIFY2(seam->satisfied(), seam->report());
        const QByteArray bytes = read_bytes(G.DataFilePath);
        QCOMPARE(bytes.size() % size, 0);
        const qint64 blocks = bytes.size() / size - (next == "write" ? 1 : 0);
        QVERIFY(blocks == killedAt / size || blocks == killedAt / size - 1);
        for (qint64 b = 0; b < bytes.size() / size; ++b) {
            const QByteArray block = bytes.mid(b * size, size);
            QVERIFY(block.left(stampAt) == reference.left(stampAt));
            QVERIFY(block.mid(stampAt + 19) == reference.mid(stampAt + 19));
        }
        QVERIFY(!QFile::exists(G.DataFilePath + ".journal"));
    }

    // written: the writer stores `text` as `stored` (which survives the code page); otherwise
    // `stored` comes from elsewhere and any "&#N;" the writer would not produce is text as typed.
    void stored_text_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("written");
        const QString cp932 = QStringLiteral("\\DOS\\ﾂｰﾙ 表示①ⅰ～, \"q\" &amp; #1 R&");
        QTest::newRow("code page 932 text unchanged") << cp932 << cp932 << true;
        QTest::newRow("no code page form; an emoji is one code point")
            << QStringLiteral("café\U0001F600") << u"caf&#233;&#128512;"_qs << true;
        QTest::newRow("line breaks") << u"a\r\nb"_qs << u"a&#13;&#10;b"_qs << true;
        QTest::newRow("existing references keep their meaning")
            << u"&#233;&&##&#"_qs << u"&#38;#233;&&#38;##&#38;#"_qs << true;
        QTest::newRow("name bytes that decode to nothing")
            << QString(u"x"_qs + QChar(0xDC81) + QChar(0xDCFF)) << u"x&#56449;&#56575;"_qs << true;
        QTest::newRow("the highest code point")
            << QStringLiteral("\U0010FFFF") << u"&#1114111;"_qs << true;
        QTest::newRow("backslash of a name, ampersand before #")
            << u"a\\b&#1"_qs << u"a&#92;b&#38;#1"_qs << false;
        QTest::newRow("an older catalogue's 〜 −") << u"〜−"_qs << u"&#12316;&#8722;"_qs << false;
        for (const char* t :
             {"&#;", "&#12", "&#x41;", "&#1114112;", "&#12345678;", "&#-1;", "a&#b;", "&#", "&",
              "Tom&#39;s", "R&#38;D", "&#65;&#12354;", "&#0233;&#013;"})
            QTest::newRow(t) << QString::fromUtf8(t) << QString::fromUtf8(t) << false;
    }
    void stored_text() {
        QFETCH(QString, text);
        QFETCH(QString, stored);
        QFETCH(bool, written);
        if (written) QCOMPARE(escape_for_catalogue(text), stored);
        if (written) QCOMPARE(decode_cp932(encode_cp932(stored)), stored);
        QCOMPARE(unescape_catalogue(stored), text);
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
