// The deletion screen over the acquisition screen: what it shows, the selection rule
// after a deletion, the placeholder, going back, and an unreadable directory (401), which
// returns to the acquisition screen with the list intact.
#include "../ui/gui_fixture.h"
#include "acquire/del_dir.h"
#include <QLabel>
#include <QPlainTextEdit>

class TstDelDirScreen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    QListWidget* acquired() { return control<QListWidget>(ScreenSearchDir, "List1"); }
    QString question() { return control<QPlainTextEdit>(ScreenDelDir, "Text1")->toPlainText(); }

    void acquire(const QStringList& dirs) {
        env.make_disc(dirs);
        env.start();
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
    }

    // Opens del_dir on List1 row `row` by a double-click, as the user does.
    void open_row(int row) {
        const QRect r = acquired()->visualItemRect(acquired()->item(row));
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
        for (const char* f : {"DOS/b.txt", "DOS/A.EXE", "DOS/.hidden"})
            touch(env.on_disc(QString::fromLatin1(f)));
        open_row(0);
        QCOMPARE(question(), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\DOS]を削除しますか。"));
        // Names only: no subdirectory, no hidden file.
        QCOMPARE(item_texts(control<QListWidget>(ScreenDelDir, "File1")),
                 QStringList({"A.EXE", "b.txt"}));
        QVERIFY(!click(ScreenSearchDir, "Command3")); // the acquisition screen waits
        QVERIFY(click(ScreenDelDir, "Command2"));     // 戻 る
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(G.EntryCount, int16_t(3));
    }

    void deletionSelectsTheNextEntry_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selected");
        const QStringList xyz{"X", "Y", "Z"};
        QTest::addRow("first of three") << xyz << 0 << QStringList{"\\Y", "\\Z"} << 0;
        QTest::addRow("middle of three") << xyz << 1 << QStringList{"\\X", "\\Z"} << 1;
        QTest::addRow("last of three") << xyz << 2 << QStringList{"\\X", "\\Y"} << 1;
        QTest::addRow("the only entry") << QStringList{"X"} << 0 << QStringList{"\\"} << 0;
    }
    void deletionSelectsTheNextEntry() {
        QFETCH(QStringList, dirs);
        QFETCH(int, row);
        QFETCH(QStringList, after);
        QFETCH(int, selected);
        acquire(dirs);
        open_row(row);
        QVERIFY(click(ScreenDelDir, "Command3"));
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(item_texts(acquired()), after);
        QCOMPARE(acquired()->currentRow(), selected);
    }

    // A drive without subdirectories lists the root alone; its question names the root.
    void placeholderAsksAboutTheRoot() {
        acquire({});
        touch(env.on_disc("root.txt"));
        QCOMPARE(item_texts(acquired()), QStringList({"\\"}));
        QCOMPARE(control<QLabel>(ScreenSearchDir, "Label1_1")->text(),
                 QStringLiteral("取得結果 (ダブルクリックでファイル表示)"));
        QVERIFY(!control(ScreenSearchDir, "Command5")->isEnabled()); // nothing to prune
        open_row(0);
        QCOMPARE(question(), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\]を削除しますか。"));
        QCOMPARE(control<QListWidget>(ScreenDelDir, "File1")->count(), 1);
    }

    void unreadableDirectoryReturnsWithTheListIntact() {
        acquire({"GONE", "KEPT"});
        QDir(env.on_disc("GONE")).removeRecursively(); // vanished since the walk
        seam.expect("(401)");
        open_row(0);
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ディレクトリをアクセスできません。(401)\r\n\r\n"
                                "ﾃﾞｨﾚｸﾄﾘ取得画面に戻ります。"));
        settle();
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(item_texts(acquired()), QStringList({"\\GONE", "\\KEPT"}));
        QVERIFY(control(ScreenSearchDir, "Command5")->isEnabled()); // usable again
    }

    void exitAnsweredNoReturnsToTheAcquisition() {
        acquire({"X"});
        open_row(0);
        seam.expect("(001)", AnswerNo);
        QVERIFY(click(ScreenDelDir, "Command1"));
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(G.EntryCount, int16_t(1));
    }
};

QTEST_MAIN(TstDelDirScreen)
#include "tst_del_dir_screen.moc"
