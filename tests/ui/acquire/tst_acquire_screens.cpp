// SPDX-License-Identifier: GPL-3.0-or-later
// The acquisition screen and its deletion screen, driven as a user does: the drive list,
// acquisition and pruning, the held list, the deletion screen's question, files and buttons
// with the selection and the focus after it, and the messages 201, 203 and 401.
#include "core/platform.h"
#include "gui_fixture.h"

class TstAcquireScreens : public GuiTest {
    Q_OBJECT

    QListWidget* list() { return control<QListWidget>(ScreenSearchDir, "List1"); }
    QString status() { return text_of(ScreenSearchDir, "Label1_1"); }
    void acquire() {
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
    }

  private slots:
    void init() {
        // A: a file, A1 empty, A2 with a file; B holds only B1 (with a file), so B counts
        // as empty; C holds a file; the hidden .h is empty.
        env.make_disc({"A/A1", "A/A2", "B/B1", "C", ".h"},
                      {"A/a.txt", "A/A2/x.txt", "B/B1/y.txt", "C/c.txt"});
        env.start();
        G.BeepEnabled = 1;
    }
    void cleanup() { end_test(); }

    // The drive list names each letter's directory. The walk gives the sorted list with its
    // summary (a long name shown whole and copied) and two beeps; pruning drops what holds no
    // file. ﾒｲﾝﾒﾆｭｰ answered No stays; back on the screen later the list is still there,
    // until a registration.
    void acquireAndPrune() {
        const QString wide = QStringLiteral("\\C\\") + QString(200, u'n');
        QVERIFY(QDir(env.disc.path()).mkpath("C/" + QString(200, u'n')));
        open_screen(ScreenSearchDir);
        auto* drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        QCOMPARE(drive->currentText(), QStringLiteral("q: ") + env.disc.path());
        QVERIFY(click(ScreenSearchDir, "Command3"));
        check_row_whole_and_copied(list(), 7, wide);
        QCOMPARE(item_texts(list()),
                 QStringList({"\\.h", "\\A", "\\A\\A1", "\\A\\A2", "\\B", "\\B\\B1", "\\C", wide}));
        QCOMPARE(status(), QStringLiteral("取得結果 [上位Path:4 / 下位Path:8]\n"
                                          " （ダブルクリックでディレクトリ内ファイル名表示）"));
        QCOMPARE(seam.beeps, 2);
        QVERIFY(click(ScreenSearchDir, "Command5"));
        QCOMPARE(item_texts(list()), QStringList({"\\A", "\\A\\A2", "\\B\\B1", "\\C"}));
        QVERIFY(status().contains(QStringLiteral(" / 下位Path:4]")));
        seam.expect("メインメニューに戻ってもよいですか。(002)", AnswerNo);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        seam.expect("(002)", AnswerYes);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        QVERIFY(click(ScreenMenu1, "Command1"));
        QCOMPARE(list()->count(), 4);
        G.ProgressFlags = 0;
        screen_instance(ScreenSearchDir)->unload();
        settle();
        open_screen(ScreenSearchDir);
        QCOMPARE(list()->count(), 0);
        drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        drive->setCurrentIndex(drive->findData(QStringLiteral("c")));
        QCOMPARE(G.CurrentDrive, QStringLiteral("c"));
    }

    // Row `row` opened by Enter in the list (the first line is chosen already) or a
    // double-click shows its question and files (names only: no subdirectory, no hidden
    // file); the acquisition screen waits. 戻 る, 削 除 or the close box give it back with
    // the keys in the list, never in the drive list (a stray arrow key leaves the drive), the
    // next entry chosen after a deletion.
    void deletionScreen_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("button"); // empty: the close box
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selected");
        const QStringList dirs{"DOS/TOOLS", "X", "Y"};
        const QStringList all{"\\DOS", "\\DOS\\TOOLS", "\\X", "\\Y"};
        const auto row = [](const char* name, const QStringList& dirs, int row, const char* button,
                            const QStringList& after, int selected) {
            QTest::newRow(name) << dirs << row << QString(button) << after << selected;
        };
        row("戻 る", dirs, 0, "Command2", all, 0);
        row("close box", dirs, 2, "", all, 2);
        row("削除 the last", dirs, 3, "Command3", all.mid(0, 3), 2);
        row("the root placeholder", {}, 0, "Command2", {"\\"}, 0);
    }
    void deletionScreen() {
        QFETCH(QStringList, dirs);
        QFETCH(int, row);
        QFETCH(QString, button);
        QFETCH(QStringList, after);
        QFETCH(int, selected);
        env.make_disc(dirs, dirs.isEmpty() ? QStringList{"A.EXE"}
                                           : QStringList{"DOS/A.EXE", "DOS/b.txt", "DOS/.hidden"});
        acquire();
        if (dirs.isEmpty()) {
            QCOMPARE(status(), QStringLiteral("取得結果 (ダブルクリックでファイル表示)"));
            QVERIFY(!control(ScreenSearchDir, "Command5")->isEnabled()); // nothing to prune
        }
        if (row == 0) {
            list()->setFocus();
            QTest::keyClick(list(), Qt::Key_Return);
            settle();
        } else {
            open_row(list(), row);
        }
        const QString name = list()->currentItem()->text();
        QCOMPARE(text_of(ScreenDelDir, "Text1"),
                 QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[%1]を削除しますか。").arg(name));
        if (row == 0) // \DOS or the root
            QCOMPARE(item_texts(control<QListWidget>(ScreenDelDir, "File1")).join(u'|'),
                     dirs.isEmpty() ? "A.EXE" : "A.EXE|b.txt");
        QVERIFY(!click(ScreenSearchDir, "Command3")); // the acquisition screen waits
        QVERIFY(button.isEmpty() ? screen_instance(ScreenDelDir)->close()
                                 : click(ScreenDelDir, button));
        settle();
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(item_texts(list()), after);
        QCOMPARE(list()->currentRow(), selected);
        QWidget* f = focus_after_activation(screen_instance(ScreenSearchDir));
        QVERIFY(f && f->objectName() == "List1");
        QTest::keyClick(f, Qt::Key_Up);
        QTest::keyClick(f, Qt::Key_Down);
        QCOMPARE(G.CurrentDrive, QStringLiteral("q"));
    }

    // An unknown drive falls back to the current one (201); a directory gone since the walk
    // (401) returns to the acquisition screen with the list intact; a walk that fails (203)
    // leaves for the menu.
    void messages() {
        G.CurrentDrive = QStringLiteral("x");
        seam.expect("ドライブ [x]をアクセスできません。(201)");
        open_screen(ScreenSearchDir);
        QCOMPARE(G.CurrentDrive, QString(drive_of_path(QDir::currentPath())));
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ドライブ [x]をアクセスできません。(201)\r\n\r\n"
                                "ドライブをカレントドライブ [") +
                     G.CurrentDrive + QStringLiteral("]に変更します。"));
        G.CurrentDrive = QStringLiteral("q");
        env.make_disc({"GONE", "KEPT"});
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QDir(env.disc.filePath("GONE")).removeRecursively();
        seam.expect("(401)");
        open_row(list(), 0);
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ディレクトリをアクセスできません。(401)\r\n\r\n"
                                "ﾃﾞｨﾚｸﾄﾘ取得画面に戻ります。"));
        settle();
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(item_texts(list()), QStringList({"\\GONE", "\\KEPT"}));
        QVERIFY(control(ScreenSearchDir, "Command5")->isEnabled()); // usable again
        QDir(env.disc.path()).removeRecursively();                  // the medium is taken out
        seam.expect("(203)");
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QVERIFY(!screen_instance(ScreenSearchDir) && !screen_instance(ScreenDispStatus));
        QVERIFY(screen_instance(ScreenMenu1)->isEnabled());
    }
};

QTEST_MAIN(TstAcquireScreens)
#include "tst_acquire_screens.moc"
