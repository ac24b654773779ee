// The deletion screen over the acquisition screen: what it shows, the selection rule
// after a deletion, the placeholder, going back, and an unreadable directory (401), which
// returns to the acquisition screen with the list intact.
#include "../ui/gui_fixture.h"
#include "acquire/del_dir.h"
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
QListWidget* acquired() {
    return control<QListWidget>(ScreenSearchDir, "List1");
}
QStringList acquired_lines() {
    QStringList l;
    for (int i = 0; i < acquired()->count(); ++i)
        l << acquired()->item(i)->text();
    return l;
}
} // namespace

class TstDelDirScreen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    void acquire(const QStringList& dirs) {
        QDir(env.disc.path()).removeRecursively();
        QDir().mkpath(env.disc.path());
        make_dirs(env.disc.path(), dirs);
        env.start();
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
    }

    // Opens del_dir on List1 row `row` by a double-click, as the user does.
    void open_row(int row) {
        QListWidgetItem* item = acquired()->item(row);
        QVERIFY(item);
        const QRect r = acquired()->visualItemRect(item);
        QTest::mouseClick(acquired()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(acquired()->viewport(), Qt::LeftButton, {}, r.center());
        settle();
    }

  private slots:
    void init() { seam.shown.clear(); }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void showsTheFilesOfTheChosenDirectory() {
        acquire({"DOS/TOOLS", "GAMES"});
        touch(env.on_disc("DOS/b.txt"));
        touch(env.on_disc("DOS/A.EXE"));
        touch(env.on_disc("DOS/.hidden"));
        open_row(0); // \DOS
        ScreenWindow* d = screen_instance(ScreenDelDir);
        QVERIFY(d && d->isVisible());
        QCOMPARE(G.SelectedDirIndex, int16_t(1));
        QCOMPARE(G.SelectedDirPath, QStringLiteral("q:\\DOS"));
        QCOMPARE(d->windowTitle(), G.WindowTitle);
        QCOMPARE(control<QPlainTextEdit>(ScreenDelDir, "Text1")->toPlainText(),
                 QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\DOS]を削除しますか。"));
        QCOMPARE(control<QLabel>(ScreenDelDir, "Label2")->text(), QStringLiteral("ﾌｧｲﾙﾘｽﾄ"));
        QCOMPARE(control<QPushButton>(ScreenDelDir, "Command3")->text(),
                 QStringLiteral("ﾃﾞｨﾚｸﾄﾘ\n 削 除"));
        auto* files = control<QListWidget>(ScreenDelDir, "File1");
        QStringList names;
        for (int i = 0; i < files->count(); ++i)
            names << files->item(i)->text();
        QCOMPARE(names, QStringList({"A.EXE", "b.txt"})); // no subdirectory, no hidden file
        // The acquisition screen waits underneath.
        QVERIFY(!screen_instance(ScreenSearchDir)->isEnabled());
        QVERIFY(!click(ScreenSearchDir, "Command3"));
        QVERIFY(click(ScreenDelDir, "Command2")); // 戻 る
        QVERIFY(!screen_instance(ScreenDelDir));
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(G.EntryCount, int16_t(3));
    }

    void enterOpensTheScreenToo() {
        acquire({"X", "Y"});
        acquired()->setFocus();
        acquired()->setCurrentRow(1);
        QTest::keyClick(acquired(), Qt::Key_Return);
        settle();
        QVERIFY(screen_instance(ScreenDelDir));
        QCOMPARE(G.SelectedDirIndex, int16_t(2));
        QCOMPARE(G.SelectedDirPath, QStringLiteral("q:\\Y"));
    }

    void deletionSelectsTheNextEntry_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selected");
        QTest::addRow("first of three")
            << QStringList{"X", "Y", "Z"} << 0 << QStringList{"\\Y", "\\Z"} << 0;
        QTest::addRow("middle of three")
            << QStringList{"X", "Y", "Z"} << 1 << QStringList{"\\X", "\\Z"} << 1;
        QTest::addRow("last of three")
            << QStringList{"X", "Y", "Z"} << 2 << QStringList{"\\X", "\\Y"} << 1;
        QTest::addRow("the only entry") << QStringList{"X"} << 0 << QStringList{"\\"} << 0;
    }
    void deletionSelectsTheNextEntry() {
        QFETCH(QStringList, dirs);
        QFETCH(int, row);
        QFETCH(QStringList, after);
        QFETCH(int, selected);
        acquire(dirs);
        const QString summary = control<QLabel>(ScreenSearchDir, "Label1_1")->text();
        open_row(row);
        QVERIFY(click(ScreenDelDir, "Command3"));
        QVERIFY(!screen_instance(ScreenDelDir));
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(acquired_lines(), after);
        QCOMPARE(acquired()->currentRow(), selected);
        // The summary keeps the counts shown before, until the next acquisition.
        QCOMPARE(control<QLabel>(ScreenSearchDir, "Label1_1")->text(), summary);
        QCOMPARE(int(G.DirCount), 1);
    }

    void placeholderAsksAboutTheRoot() {
        acquire({});
        touch(env.on_disc("root.txt"));
        open_row(0);
        QCOMPARE(G.SelectedDirPath, QStringLiteral("q:\\"));
        QCOMPARE(control<QPlainTextEdit>(ScreenDelDir, "Text1")->toPlainText(),
                 QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\]を削除しますか。"));
        QCOMPARE(control<QListWidget>(ScreenDelDir, "File1")->count(), 1);
    }

    void selectionOutOfRangeRemovesNothing() {
        acquire({"X", "Y"});
        open_row(1);
        G.SelectedDirIndex = 5;
        QVERIFY(click(ScreenDelDir, "Command3"));
        QVERIFY(screen_instance(ScreenDelDir));
        QCOMPARE(G.EntryCount, int16_t(2));
    }

    void unreadableDirectoryReturnsWithTheListIntact() {
        acquire({"GONE", "KEPT"});
        QDir(env.on_disc("GONE")).removeRecursively(); // vanished since the walk
        seam.expect("ディレクトリをアクセスできません。(401)");
        open_row(0);
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ディレクトリをアクセスできません。(401)\r\n\r\n"
                                "ﾃﾞｨﾚｸﾄﾘ取得画面に戻ります。"));
        settle();
        QVERIFY(!screen_instance(ScreenDelDir));
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(acquired_lines(), QStringList({"\\GONE", "\\KEPT"}));
        QCOMPARE(G.EntryCount, int16_t(2));
        QVERIFY(control(ScreenSearchDir, "Command5")->isEnabled()); // usable again
    }

    void exitFromTheDeletionScreen() {
        acquire({"X"});
        open_row(0);
        seam.expect("(001)", AnswerNo);
        QVERIFY(click(ScreenDelDir, "Command1"));
        QVERIFY(!screen_instance(ScreenDelDir));
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(G.EntryCount, int16_t(1));
    }
};

QTEST_MAIN(TstDelDirScreen)
#include "tst_del_dir_screen.moc"
