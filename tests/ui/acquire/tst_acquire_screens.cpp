// SPDX-License-Identifier: GPL-3.0-or-later
// The acquisition screen and its deletion screen, driven as a user does: the drive list and
// image files, acquisition and pruning, the held list, the deletion screen's question, files
// and buttons with the selection and the focus after it, and the messages 201, 203 and 401.
#include "archive_maker.h"
#include "core/platform.h"
#include "gui_fixture.h"
#include "ui/acquire/search_dir.h"
#include <QMimeData>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        seam.shown.clear();
        // A: a file, A1 empty, A2 with a file; B holds only B1 (with a file), so B counts
        // as empty; C holds a file; the hidden .h is empty.
        env.make_disc({"A/A1", "A/A2", "B/B1", "C", ".h"},
                      {"A/a.txt", "A/A2/x.txt", "B/B1/y.txt", "C/c.txt"});
        env.start();
        G.BeepEnabled = 1;
    }
    void cleanup() { end_test(); }

    // The drive list names each letter's directory. While the walk runs neither the close box
    // nor another button does anything; then the sorted list with its summary, two beeps, and
    // pruning. ﾒｲﾝﾒﾆｭｰ answered No stays; back on the screen later the list is still there,
    // until a registration.
    void acquireAndPrune() {
        open_screen(ScreenSearchDir);
        auto* drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        QCOMPARE(drive->currentText(), QStringLiteral("q: ") + env.disc.path());
        int tries = 0;
        seam.onYield = [&] {
            ScreenWindow* s = screen_instance(ScreenSearchDir);
            if (!s || !operation_running()) return;
            ++tries;
            s->close();
            QVERIFY(!click(ScreenSearchDir, "Command2"));
        };
        QVERIFY(click(ScreenSearchDir, "Command3"));
        seam.onYield = nullptr;
        QVERIFY(tries > 0 && screen_instance(ScreenSearchDir)->isVisible());
        QCOMPARE(item_texts(list()),
                 QStringList({"\\.h", "\\A", "\\A\\A1", "\\A\\A2", "\\B", "\\B\\B1", "\\C"}));
        QCOMPARE(status(), QStringLiteral("取得結果 [上位Path:3 / 下位Path:7]\n"
                                          " （ダブルクリックでディレクトリ内ファイル名表示）"));
        QCOMPARE(seam.beeps, 2);
        QVERIFY(click(ScreenSearchDir, "Command5"));
        QCOMPARE(item_texts(list()), QStringList({"\\A", "\\A\\A2", "\\B\\B1", "\\C"}));
        QVERIFY(status().startsWith(QStringLiteral("取得結果 [上位Path:3 / 下位Path:4]")));
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

    // An image chosen through the drive list's last entry, or dropped on the screen, takes
    // the first free letter for this run and is acquired like a drive; a cancelled choice
    // keeps the drive.
    void imageFile_data() {
        QTest::addColumn<bool>("dropped");
        QTest::newRow("chosen in the file dialog") << false;
        QTest::newRow("dropped on the screen") << true;
    }
    void imageFile() {
        QFETCH(bool, dropped);
        QTemporaryDir images;
        const QString iso = images.filePath("disc.iso");
        QVERIFY(make_archive(iso, "iso", {{"CD/SUB/f", "1"}, {"CD/g", "2"}}, "volume-id=CD1"));
        open_screen(ScreenSearchDir);
        auto* drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        QCOMPARE(drive->itemText(drive->count() - 1), QStringLiteral("イメージファイル..."));
        QString answer;
        SearchDirScreen::ChooseImageFile = [&](QWidget*) { return answer; };
        drive->setCurrentIndex(drive->count() - 1);
        QCOMPARE(G.CurrentDrive + drive->currentData().toString(), QStringLiteral("qq"));
        answer = iso;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(iso)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        if (dropped) QCoreApplication::sendEvent(screen_instance(ScreenSearchDir), &enter);
        if (dropped) QCoreApplication::sendEvent(screen_instance(ScreenSearchDir), &drop);
        if (!dropped) drive->setCurrentIndex(drive->count() - 1);
        QVERIFY(G.CurrentDrive != "q" && drive_is_image(G.CurrentDrive.at(0)));
        QCOMPARE(drive->currentText(), G.CurrentDrive + ": " + QFileInfo(iso).absoluteFilePath());
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QCOMPARE(item_texts(list()), QStringList({"\\CD", "\\CD\\SUB"}));
        QCOMPARE(G.VolumeLabel, QStringLiteral("CD1"));
        platform_map_drives(QString()); // the pin lasts for this run only
        seam.beeps = 0;
    }

    // Row `row` opened by Enter in the list (the first line is chosen already) or a
    // double-click shows its question and files (names only: no subdirectory, no hidden
    // file); the acquisition screen waits. 戻 る, 削 除 or the close box give it back with
    // the keys in the list, never in the drive list (a stray arrow key leaves the drive), the
    // next entry chosen after a deletion; the header records the drive the tree came from.
    void deletionScreen_data() {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("button"); // empty: the close box
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selected");
        const QStringList dirs{"DOS/TOOLS", "X", "Y"}, dos{"A.EXE", "b.txt"};
        const QStringList all{"\\DOS", "\\DOS\\TOOLS", "\\X", "\\Y"};
        const auto row = [](const char* name, const QStringList& dirs, int row, const char* button,
                            const QStringList& files, const QStringList& after, int selected) {
            QTest::newRow(name) << dirs << row << QString(button) << files << after << selected;
        };
        row("戻 る", dirs, 0, "Command2", dos, all, 0);
        row("close box", dirs, 2, "", {}, all, 2);
        row("削除 the middle", dirs, 2, "Command3", {}, {"\\DOS", "\\DOS\\TOOLS", "\\Y"}, 2);
        row("削除 the last", dirs, 3, "Command3", {}, all.mid(0, 3), 2);
        row("削除 the only entry", {"DOS"}, 0, "Command3", dos, {"\\"}, 0);
        row("the root placeholder", {}, 0, "Command2", {"A.EXE"}, {"\\"}, 0);
    }
    void deletionScreen() {
        QFETCH(QStringList, dirs);
        QFETCH(int, row);
        QFETCH(QString, button);
        QFETCH(QStringList, files);
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
        if (!files.isEmpty())
            QCOMPARE(item_texts(control<QListWidget>(ScreenDelDir, "File1")), files);
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
        QVERIFY(click(ScreenSearchDir, "Command1")); // 次 へ
        control<QComboBox>(ScreenHeaderInput, "Combo1_1")->setEditText(QStringLiteral("T"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(text_of(ScreenHeaderDisp, "Label2_9"), QStringLiteral("q"));
    }

    // Names as the disk spells them: the deletion screen opens the very directory.
    void deletionScreenOpensNamesThatAreNotUtf8() {
        const QByteArray dir = QFile::encodeName(env.disc.path()) + "/\x83\x5c\x83\x74\x83\x67";
        QCOMPARE(::mkdir(dir.constData(), 0755), 0); // ソフト in code page 932
        for (const QByteArray& f : {dir + "/\x95\x5c.txt", dir + "/a\xff", dir + "/b\\c"})
            QVERIFY(::close(::open(f.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        acquire();
        open_row(list(), int(item_texts(list()).indexOf(QStringLiteral("\\ソフト"))));
        QCOMPARE(text_of(ScreenDelDir, "Text1"),
                 QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\ソフト]を削除しますか。"));
        QCOMPARE(item_texts(control<QListWidget>(ScreenDelDir, "File1")),
                 QStringList({u"a"_qs + QChar(0xDCFF), u"b\\c"_qs, u"表.txt"_qs}));
        QVERIFY(click(ScreenDelDir, "Command2"));
        for (const QByteArray& f : {dir + "/\x95\x5c.txt", dir + "/a\xff", dir + "/b\\c"})
            ::unlink(f.constData());
        ::rmdir(dir.constData());
    }

    // A long path is shown whole and copied.
    void longLinesShownWholeAndCopied() {
        const QString name(200, u'n');
        env.make_disc({"A", name});
        acquire();
        check_row_whole_and_copied(list(), 1, u'\\' + name);
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
