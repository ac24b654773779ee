// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config_template.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// tobrin-cli's command line, and the configuration template the first start writes.
class TestCliHelp : public QObject {
    Q_OBJECT
    QTemporaryDir cwd;

    struct Run {
        int code;
        QByteArray out;
        QString err;
    };

    // A first word "tobrin" runs the desktop program, which must answer without a window
    // (initTestCase names a platform that does not exist).
    static Run run(QStringList args, const QString& cwd = QDir::tempPath()) {
        QProcess p;
        p.setWorkingDirectory(cwd);
        const bool gui = args.value(0) == u"tobrin";
        p.start(gui ? TOBRIN_GUI : TOBRIN_CLI, args.mid(gui ? 1 : 0));
        p.waitForFinished(60000);
        return {p.exitCode(), p.readAllStandardOutput(),
                QString::fromUtf8(p.readAllStandardError())};
    }

  private slots:
    // The folder holds a clean catalogue of 102 blocks; cap.cfg allows 101, none.cfg names a
    // missing catalogue, bad.cfg one with an eleventh header line.
    void initTestCase() {
        qputenv("QT_QPA_PLATFORM", "no-such-platform");
        QByteArray blocks;
        for (int b = 1; b <= 102; ++b)
            blocks += "*01\r\n\"t" + QByteArray::number(b) + "\"\r\n" +
                      QByteArray("\"\"\r\n").repeated(9) + "*02\r\n\\\r\n*03\r\n1,DOS\r\n";
        write_bytes(cwd.filePath("tobrin.dat"), blocks);
        write_bytes(cwd.filePath("cap.cfg"), "#62:101\r\n");
        write_bytes(cwd.filePath("none.cfg"), "#01:none.dat\r\n");
        write_bytes(cwd.filePath("bad.cfg"), "#01:bad.dat\r\n");
        write_bytes(cwd.filePath("bad.dat"), "*01\r\n" + QByteArray("\"\"\r\n").repeated(11));
    }

    // The command line as GNU tools read it: help and version on stdout, "--help" only where
    // it is an option, --option=value, unknown options named, and exit codes a script can
    // tell apart (0 done, 1 nothing found, 2 usage or no catalogue, 3 a capacity, 4 a fault).
    // out: how stdout starts; err: what stderr holds.
    void command_line_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char* name, const QStringList& args, int code,
                            const QByteArray& out = {}, const QString& err = {}) {
            QTest::newRow(name) << args << code << out << err;
        };
        row("--help", {"--help"}, 0, "Usage: tobrin-cli ");
        row("no command", {}, 2, {}, "\n  tobrin-cli search ");
        row("--version", {"--version"}, 0, "tobrin-cli " TOBRIN_VERSION "\n");
        row("desktop --version", {"tobrin", "--version"}, 0, "tobrin " TOBRIN_VERSION "\n");
        row("desktop --help", {"tobrin", "--help"}, 0, "Usage: tobrin [CONFIG]\n");
        for (const char* command :
             {"config", "walk", "register", "search", "blocks", "show", "check"})
            row(command, {command, "--help"}, 0,
                "Usage: tobrin-cli " + QByteArray(command) + " [options]");
        row("-h", {"check", "-h"}, 0, "Usage: ");
        row("after other options", {"walk", "--prune", "--help"}, 0, "Usage: ");
        row("a search word after --", {"search", "--", "--help"}, 1);
        row("an option's value", {"register", "--title", "--help", "--drive", "1"}, 2);
        row("the configuration's path", {"check", "--config", "--help"}, 0);
        row("--option=value", {"search", "--preset=2", "--show=headers", "t7", "t"}, 0);
        row("unknown option", {"search", "--bogus", "x"}, 2, {},
            "tobrin-cli: unknown option '--bogus'");
        row("a flag given a value", {"show", "--sort=1", "1"}, 2);
        row("--template takes no other word", {"config", "--template", "--config", "x"}, 2);
        row("stopped at a capacity", {"search", "--config=cap.cfg", "dos"}, 3, {},
            "見出し数が１０１個を超えました。(301)");
        row("stopped at a fault", {"blocks", "--config", "bad.cfg"}, 4);
        for (const QStringList& args :
             {QStringList{"search", "x"}, {"blocks"}, {"show", "1"}, {"check"}})
            row(qPrintable("no catalogue: " + args[0]), args + QStringList{"--config", "none.cfg"},
                2, {}, "tobrin-cli: no catalogue ");
    }
    void command_line() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        const Run r = run(args, cwd.path());
        QCOMPARE(r.code, code);
        QVERIFY2(r.out.startsWith(out), r.out.left(200).constData());
        QCOMPARE(r.out.startsWith("Usage: "), out.startsWith("Usage: "));
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
    }

    // The template changes nothing: read as it is, or with every default line put into
    // force, the state equals the built-in one, without message 071. Every character has a
    // code page 932 form.
    void template_reads_back() {
        QTemporaryDir dir;
        const Run builtIn = run({"config"}, dir.path());
        QVERIFY(builtIn.err.contains("(071)"));
        const QByteArray bytes = run({"config", "--template"}).out;
        QVERIFY(bytes.endsWith("\r\n") && !bytes.contains('?'));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        QByteArray inForce;
        for (const QByteArray& line : bytes.split('\n'))
            inForce += (line.startsWith(";#") ? line.mid(1) : line) + '\n';
        QVERIFY(inForce.count("\n#") > 50);
        for (const QByteArray& file : {bytes, inForce}) {
            write_bytes(dir.filePath("tobrin.cfg"), file);
            const Run r = run({"config"}, dir.path());
            QCOMPARE(r.err, QString());
            QCOMPARE(r.out, builtIn.out);
        }
    }

    // The first start writes the template only in ~/Tobrin (or through a link to it), without
    // an argument, and never over a configuration that is there.
    void first_start() {
        const QByteArray written = run({"config", "--template"}).out;
        QTemporaryDir home;
        make_dirs(home.path(), {"Tobrin", "other"});
        QFile::link(home.filePath("Tobrin"), home.filePath("link"));
        const QString cfg = home.filePath("Tobrin/tobrin.cfg");
        QVERIFY(!write_first_config(home.filePath("other"), home.path(), QString()));
        QVERIFY(!write_first_config(home.filePath("Tobrin"), home.path(), "my.cfg"));
        QVERIFY(!QFile::exists(home.filePath("other/tobrin.cfg")) && !QFile::exists(cfg));
        for (const char* where : {"Tobrin", "link"}) {
            QFile::remove(cfg);
            QVERIFY(write_first_config(home.filePath(where), home.path(), QString()));
            QCOMPARE(read_bytes(cfg), written);
        }
        write_bytes(cfg, "#05:12\r\n");
        QVERIFY(!write_first_config(home.filePath("Tobrin"), home.path(), QString()));
        QCOMPARE(read_bytes(cfg), QByteArray("#05:12\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliHelp)
#include "tst_cli_help.moc"
