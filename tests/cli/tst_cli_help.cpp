// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config_template.h"
#include "core/startup.h"
#include "core/state.h"
#include "scripted_seam.h"
#include "test_env.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// tobrin-cli's help against what its commands accept and what its manual page says, and
// the configuration template against the built-in state.
class TestCliHelp : public QObject {
    Q_OBJECT

    struct Run {
        int code;
        QByteArray out;
        QString err;
    };

    static Run run(const QStringList& args, const QString& cwd = QDir::tempPath(),
                   const QString& program = QStringLiteral(TOBRIN_CLI)) {
        QProcess p;
        p.setWorkingDirectory(cwd);
        // A window could not open: the desktop program must answer without one.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "no-such-platform");
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(60000);
        return {p.exitCode(), p.readAllStandardOutput(),
                QString::fromUtf8(p.readAllStandardError())};
    }

    static QSet<QString> options_in(const QString& text) {
        QSet<QString> names;
        static const QRegularExpression re("--([a-z][a-z0-9-]*)");
        for (const auto& m : re.globalMatch(text))
            names.insert(m.captured(1));
        return names;
    }

    static QString manual() {
        QFile f(QStringLiteral(TOBRIN_MANUAL));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

  private slots:
    // The commands the program's help lists are those the usage lists.
    void program_help() {
        const Run help = run({"--help"});
        QCOMPARE(help.code, 0);
        const QString text = QString::fromUtf8(help.out);
        QSet<QString> listed;
        const QString commands =
            text.section(QStringLiteral("Commands:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
        for (const QString& line : commands.split(u'\n'))
            if (line.startsWith(QLatin1String("  "))) listed.insert(line.section(u' ', 2, 2));
        const Run bare = run({});
        QCOMPARE(bare.code, 2);
        QSet<QString> usage;
        static const QRegularExpression re("\n  tobrin-cli ([a-z]+)");
        for (const auto& m : re.globalMatch(bare.err))
            usage.insert(m.captured(1));
        QCOMPARE(listed, usage);
        QCOMPARE(listed.size(), 7);
        QCOMPARE(run({"--version"}).out, QByteArray("tobrin-cli " TOBRIN_VERSION "\n"));
        QCOMPARE(run({"--version"}, QDir::tempPath(), TOBRIN_GUI).out,
                 QByteArray("tobrin " TOBRIN_VERSION "\n"));
        const Run guiHelp = run({"--help"}, QDir::tempPath(), TOBRIN_GUI);
        QCOMPARE(guiHelp.code, 0);
        QVERIFY(guiHelp.out.startsWith("Usage: tobrin [CONFIG]\n"));
    }

    // extra: words that make the command run without walking or registering anything
    // ("--drive 1" is refused after the options are read).
    void command_help_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("extra");
        QTest::newRow("config") << "config" << QStringList{};
        QTest::newRow("walk") << "walk" << QStringList{"--drive", "1"};
        QTest::newRow("register") << "register" << QStringList{"--drive", "1"};
        QTest::newRow("search") << "search" << QStringList{"word"};
        QTest::newRow("blocks") << "blocks" << QStringList{};
        QTest::newRow("show") << "show" << QStringList{"1"};
        QTest::newRow("check") << "check" << QStringList{};
    }
    // The options of "COMMAND --help" are those of its usage line, the command accepts each
    // of them, and the manual page names each of them under the command.
    void command_help() {
        QFETCH(QString, command);
        QFETCH(QStringList, extra);
        const Run help = run({command, "--help"});
        QCOMPARE(help.code, 0);
        const QString text = QString::fromUtf8(help.out);
        QVERIFY2(text.startsWith("Usage: tobrin-cli " + command + " [options]"), qPrintable(text));
        QSet<QString> helped = options_in(text);
        helped.remove("help");

        const Run bad = run({command, "--no-such-option"});
        QCOMPARE(bad.code, 2);
        const QString usage = bad.err.section(QStringLiteral("usage: tobrin-cli "), 1);
        QCOMPARE(options_in(usage), helped);

        QTemporaryDir cwd;
        for (const QString& option : helped) {
            if (option == "template") continue; // takes no other word; checked below
            QStringList args{command, "--" + option};
            // The value, as the help names it: <headers|dirs|all> takes its first choice.
            const auto m =
                QRegularExpression("--" + QRegularExpression::escape(option) + " <([^|>]+)")
                    .match(text);
            if (m.hasMatch()) args << (m.captured(1) == "N" ? "1" : m.captured(1));
            const Run r = run(args + extra, cwd.path());
            QVERIFY2(!r.err.contains("usage:"), qPrintable(args.join(' ') + ": " + r.err));
        }

        const QString page = manual();
        // The command's subsection, up to the next subsection or section; "\-" is a dash.
        QString section = page.section(".SS \"" + command, 1);
        QVERIFY2(!section.isEmpty(), qPrintable(command));
        section = section.left(
            section.indexOf(QRegularExpression("^\\.S[SH] ", QRegularExpression::MultilineOption)));
        QSet<QString> inPage =
            options_in(section.replace(QLatin1String("\\-"), QLatin1String("-")));
        inPage.remove("config"); // named once for every command
        helped.remove("config");
        QCOMPARE(inPage, helped);
    }

    // The command line as GNU tools read it: "--help" asks for help only where it is an
    // option, --option=value, unknown options named, and exit codes a script can tell
    // apart. The folder holds a clean catalogue of 102 blocks; cap.cfg allows 101,
    // none.cfg names a missing catalogue, bad.cfg one with an eleventh header line.
    void command_line_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("helped");
        QTest::addColumn<QString>("err"); // what stderr holds, when not empty
        const auto row = [](const char* name, const QStringList& args, int code,
                            bool helped = false, const QString& err = QString()) {
            QTest::newRow(name) << args << code << helped << err;
        };
        row("-h", {"check", "-h"}, 0, true);
        row("after other options", {"walk", "--prune", "--help"}, 0, true);
        row("a search word after --", {"search", "--", "--help"}, 1);
        row("an option's value", {"register", "--title", "--help", "--drive", "1"}, 2);
        row("the configuration's path", {"check", "--config", "--help"}, 0);
        row("--option=value", {"search", "--preset=2", "--show=headers", "t7", "t"}, 0);
        row("unknown option", {"search", "--bogus", "x"}, 2, false,
            "tobrin-cli: unknown option '--bogus'");
        row("a flag given a value", {"show", "--sort=1", "1"}, 2);
        row("stopped at a capacity", {"search", "--config=cap.cfg", "dos"}, 3, false,
            "見出し数が１０１個を超えました。(301)");
        row("stopped at a fault", {"blocks", "--config", "bad.cfg"}, 4);
        for (const QStringList& args :
             {QStringList{"search", "x"}, {"blocks"}, {"show", "1"}, {"check"}})
            row(qPrintable(args[0]), args + QStringList{"--config", "none.cfg"}, 2, false,
                "tobrin-cli: no catalogue ");
    }
    void command_line() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(bool, helped);
        QFETCH(QString, err);
        QTemporaryDir cwd;
        QByteArray blocks;
        for (int b = 1; b <= 102; ++b)
            blocks += "*01\r\n\"t" + QByteArray::number(b) + "\"\r\n" +
                      QByteArray("\"\"\r\n").repeated(9) + "*02\r\n\\\r\n*03\r\n1,DOS\r\n";
        write_bytes(cwd.filePath("tobrin.dat"), blocks);
        write_bytes(cwd.filePath("cap.cfg"), "#62:101\r\n");
        write_bytes(cwd.filePath("none.cfg"), "#01:none.dat\r\n");
        write_bytes(cwd.filePath("bad.cfg"), "#01:bad.dat\r\n");
        write_bytes(cwd.filePath("bad.dat"), "*01\r\n" + QByteArray("\"\"\r\n").repeated(11));
        const Run r = run(args, cwd.path());
        QCOMPARE(r.code, code);
        QCOMPARE(r.out.startsWith("Usage: "), helped);
        if (!err.isEmpty()) QVERIFY2(r.err.contains(err), qPrintable(r.err));
    }

    // The template changes nothing: read as it is, or with every default line put into
    // force, the state equals the built-in one, without message 071.
    void template_reads_back() {
        QTemporaryDir dir;
        const Run builtIn = run({"config"}, dir.path());
        QVERIFY(builtIn.err.contains("(071)"));
        const Run printed = run({"config", "--template"}, dir.path());
        QCOMPARE(printed.code, 0);
        const QByteArray bytes = printed.out;
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        QVERIFY(!bytes.contains('?')); // every character has a code page 932 form

        QByteArray inForce;
        for (const QByteArray& line : bytes.split('\n')) {
            const bool defaultLine = line.startsWith(";#");
            inForce += (defaultLine ? line.mid(1) : line) + '\n';
        }
        QVERIFY(inForce.count("\n#") > 50);
        for (const QByteArray& file : {bytes, inForce}) {
            write_bytes(dir.filePath("tobrin.cfg"), file);
            const Run r = run({"config"}, dir.path());
            QCOMPARE(r.err, QString());
            QCOMPARE(r.out, builtIn.out);
        }
        QCOMPARE(run({"config", "--template", "--config", "x"}).code, 2);
    }

    // The first start writes the template only in ~/Tobrin, without an argument, and
    // never over a configuration that is there.
    void first_start_data() {
        QTest::addColumn<QString>("cwd"); // below the temporary home
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("written");
        QTest::newRow("menu start") << "Tobrin"
                                    << "" << false << true;
        QTest::newRow("through a link") << "link"
                                        << "" << false << true;
        QTest::newRow("configuration named") << "Tobrin"
                                             << "my.cfg" << false << false;
        QTest::newRow("configuration there") << "Tobrin"
                                             << "" << true << false;
        QTest::newRow("another folder") << "other"
                                        << "" << false << false;
        QTest::newRow("the home itself") << "."
                                         << "" << false << false;
    }
    void first_start() {
        QFETCH(QString, cwd);
        QFETCH(QString, argument);
        QFETCH(bool, existing);
        QFETCH(bool, written);
        QTemporaryDir home;
        QDir(home.path()).mkpath("Tobrin");
        QDir(home.path()).mkpath("other");
        QFile::link(home.filePath("Tobrin"), home.filePath("link"));
        const QString cfg = QDir(home.filePath(cwd)).filePath("tobrin.cfg");
        if (existing) write_bytes(cfg, "#05:12\r\n");
        QCOMPARE(write_first_config(home.filePath(cwd), home.path(), argument), written);
        const QByteArray want = written    ? run({"config", "--template"}).out
                                : existing ? QByteArray("#05:12\r\n")
                                           : QByteArray();
        QCOMPARE(read_bytes(cfg), want);
    }

    // The window title names the version the package and --version carry.
    void title_version() {
        QTemporaryDir dir;
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        fresh_state();
        ScriptedSeam seam;
        seam.expect("(071)");
        startup(QString(), false);
        QDir::setCurrent(before);
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(G.WindowTitle, QStringLiteral("Tobrin  Ver." TOBRIN_VERSION));
    }
};

QTEST_GUILESS_MAIN(TestCliHelp)
#include "tst_cli_help.moc"
