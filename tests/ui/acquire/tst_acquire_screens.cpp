// SPDX-License-Identifier: GPL-3.0-or-later
// The acquisition screen and its deletion screen, driven by clicks: the drive list,
// acquisition of a pinned directory, pruning, a failed walk, message 201, reopening with a
// held list, the deletion screen's file list, the selection rule after a deletion, the
// root placeholder, and an unreadable directory (401), which returns to the acquisition
// screen with the list intact.
#include "gui_fixture.h"
#include "ui/acquire/del_dir.h"
#include "ui/acquire/search_dir.h"
#include "archive_maker.h"
#include "core/platform.h"
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TstAcquireScreens : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    QListWidget* list() { return control<QListWidget>(ScreenSearchDir, "List1"); }
    QString status_text() { return control<QLabel>(ScreenSearchDir, "Label1_1")->text(); }
    QString question() { return control<QPlainTextEdit>(ScreenDelDir, "Text1")->toPlainText(); }
    void acquire() {
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
    }
    // Opens del_dir on List1 row `row` by a double-click, as the user does.
    void open_row(int row) {
        const QRect r = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, r.center());
        settle();
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
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void driveListShowsEachLetterWithItsDirectory() {
        open_screen(ScreenSearchDir);
        auto* drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        QCOMPARE(drive->currentText(), QStringLiteral("q: ") + env.disc.path());
        drive->setCurrentIndex(drive->findData(QStringLiteral("c")));
        QCOMPARE(G.CurrentDrive, QStringLiteral("c"));
    }

    // An image chosen through the drive list's last entry, or dropped on the screen, takes
    // the first free letter for this run and is acquired like a drive; a cancelled choice
    // keeps the drive.
    void imageFileFromTheDriveListOrDropped_data() {
        QTest::addColumn<bool>("dropped");
        QTest::newRow("chosen in the file dialog") << false;
        QTest::newRow("dropped on the screen") << true;
    }
    void imageFileFromTheDriveListOrDropped() {
        QFETCH(bool, dropped);
        QTemporaryDir images;
        const QString iso = images.filePath("disc.iso");
        QVERIFY(make_archive(iso, "iso", {{"CD/SUB/f", "1"}, {"CD/g", "2"}}, "volume-id=CD1"));
        open_screen(ScreenSearchDir);
        auto* drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        const QString before = G.CurrentDrive;
        QString answer;
        SearchDirScreen::ChooseImageFile = [&](QWidget*) { return answer; };
        drive->setCurrentIndex(drive->count() - 1);
        QCOMPARE(G.CurrentDrive, before);
        QCOMPARE(drive->currentData().toString(), before);
        answer = iso;
        if (dropped) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(iso)});
            auto* screen = screen_instance(ScreenSearchDir);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(screen, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(screen, &drop);
        } else {
            drive->setCurrentIndex(drive->count() - 1);
        }
        const QChar letter = G.CurrentDrive.at(0);
        QVERIFY(G.CurrentDrive != before && drive_is_image(letter));
        QCOMPARE(drive->currentText(), G.CurrentDrive + ": " + QFileInfo(iso).absoluteFilePath());
        QCOMPARE(drive->itemText(drive->count() - 1), QStringLiteral("イメージファイル..."));
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QCOMPARE(item_texts(list()), QStringList({"\\CD", "\\CD\\SUB"}));
        QCOMPARE(G.VolumeLabel, QStringLiteral("CD1"));
        platform_map_drives(QString()); // the pin lasts for this run only
        seam.beeps = 0;
    }

    void acquisitionSortsAndPruningDropsDirectoriesWithoutFiles() {
        acquire();
        QCOMPARE(item_texts(list()),
                 QStringList({"\\.h", "\\A", "\\A\\A1", "\\A\\A2", "\\B", "\\B\\B1", "\\C"}));
        QCOMPARE(status_text(),
                 QStringLiteral("取得結果 [上位Path:3 / 下位Path:7]\n"
                                " （ダブルクリックでディレクトリ内ファイル名表示）"));
        QCOMPARE(seam.beeps, 2);
        QVERIFY(click(ScreenSearchDir, "Command5"));
        QCOMPARE(item_texts(list()), QStringList({"\\A", "\\A\\A2", "\\B\\B1", "\\C"}));
        QVERIFY(status_text().startsWith(QStringLiteral("取得結果 [上位Path:3 / 下位Path:4]")));
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
    }

    void nothingElseWhileTheWalkRuns() {
        open_screen(ScreenSearchDir);
        int tries = 0;
        seam.onYield = [&] {
            ScreenWindow* s = screen_instance(ScreenSearchDir);
            if (!s || !operation_running()) return;
            ++tries;
            s->close(); // the close box
            QVERIFY(!click(ScreenSearchDir, "Command2"));
        };
        QVERIFY(click(ScreenSearchDir, "Command3"));
        seam.onYield = nullptr;
        QVERIFY(tries > 0 && screen_instance(ScreenSearchDir)->isVisible());
    }

    void failedWalkLeavesForTheMenu() {
        open_screen(ScreenSearchDir);
        QDir(env.disc.path()).removeRecursively(); // the medium is taken out
        seam.expect("(203)");
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QVERIFY(!screen_instance(ScreenSearchDir) && !screen_instance(ScreenDispStatus));
        QVERIFY(screen_instance(ScreenMenu1)->isEnabled());
    }

    void unknownDriveFallsBackToTheCurrentOne() {
        G.CurrentDrive = QStringLiteral("x");
        seam.expect("ドライブ [x]をアクセスできません。(201)");
        open_screen(ScreenSearchDir);
        QCOMPARE(G.CurrentDrive, QString(drive_of_path(QDir::currentPath())));
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ドライブ [x]をアクセスできません。(201)\r\n\r\n"
                                "ドライブをカレントドライブ [") +
                     G.CurrentDrive + QStringLiteral("]に変更します。"));
    }

    // ﾒｲﾝﾒﾆｭｰ answered No stays; back on the screen later the list is still there,
    // until a registration.
    void reopeningShowsTheHeldList() {
        acquire();
        seam.expect("メインメニューに戻ってもよいですか。(002)", AnswerNo);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        seam.expect("(002)", AnswerYes);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        QVERIFY(click(ScreenMenu1, "Command1"));
        QCOMPARE(list()->count(), 7);
        QVERIFY(status_text().startsWith(QStringLiteral("取得結果 [上位Path:3 / 下位Path:7]")));
        G.ProgressFlags = 0;
        screen_instance(ScreenSearchDir)->unload();
        settle();
        open_screen(ScreenSearchDir);
        QCOMPARE(list()->count(), 0);
    }

    void deletionScreenShowsTheFilesAndGoesBack() {
        env.make_disc({"DOS/TOOLS", "GAMES"}, {"DOS/b.txt", "DOS/A.EXE", "DOS/.hidden"});
        acquire();
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

    // Names as the disk spells them: the deletion screen opens the very directory.
    void deletionScreenOpensNamesThatAreNotUtf8() {
        const QByteArray disc = QFile::encodeName(env.disc.path());
        const QByteArray kana = disc + "/\x83\x5c\x83\x74\x83\x67"; // ソフト, code page 932
        const QByteArray odd = disc + "/x\xff";
        for (const QByteArray& d : {kana, odd})
            QCOMPARE(::mkdir(d.constData(), 0755), 0);
        for (const QByteArray& f : {kana + "/\x95\x5c.txt", odd + "/a\xff", odd + "/b\\c"}) {
            const int fd = ::open(f.constData(), O_CREAT | O_WRONLY, 0644);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        acquire();
        const QStringList rows = item_texts(list());
        const int at = int(rows.indexOf(QStringLiteral("\\ソフト")));
        QVERIFY(at >= 0);
        open_row(at);
        QCOMPARE(question(), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\ソフト]を削除しますか。"));
        QCOMPARE(item_texts(control<QListWidget>(ScreenDelDir, "File1")),
                 QStringList{u"表.txt"_qs});
        QVERIFY(click(ScreenDelDir, "Command2"));
        open_row(int(rows.indexOf(QStringLiteral("\\x") + QChar(0xDCFF))));
        QCOMPARE(item_texts(control<QListWidget>(ScreenDelDir, "File1")),
                 QStringList({u"a"_qs + QChar(0xDCFF), u"b\\c"_qs}));
        QVERIFY(click(ScreenDelDir, "Command2"));
        for (const QByteArray& f : {kana + "/\x95\x5c.txt", odd + "/a\xff", odd + "/b\\c"})
            ::unlink(f.constData());
        ::rmdir(kana.constData());
        ::rmdir(odd.constData());
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
        env.make_disc(dirs);
        acquire();
        open_row(row);
        QVERIFY(click(ScreenDelDir, "Command3"));
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(item_texts(list()), after);
        QCOMPARE(list()->currentRow(), selected);
    }

    // Whenever the acquisition screen is enabled again the keyboard is back in the control
    // the user was in, never in the drive list: a stray arrow key leaves the drive, and the
    // header records the drive the tree came from.
    void focusComesBack_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("focus");
        QTest::newRow("deletion screen, 戻 る") << "Command2"
                                                << "List1";
        QTest::newRow("deletion screen, 削 除") << "Command3"
                                                << "List1";
        QTest::newRow("deletion screen, close box") << ""
                                                    << "List1";
        QTest::newRow("walk from the keyboard") << "walk"
                                                << "Command3";
    }
    void focusComesBack() {
        QFETCH(QString, how);
        QFETCH(QString, focus);
        acquire();
        ScreenWindow* s = screen_instance(ScreenSearchDir);
        if (how == "walk") {
            auto* start = control<QAbstractButton>(ScreenSearchDir, "Command3");
            start->setFocus();
            QTest::keyClick(start, Qt::Key_Space);
            settle();
        } else {
            list()->setFocus();
            QTest::keyClick(list(), Qt::Key_Return); // the first line is chosen already
            settle();
            QVERIFY(screen_instance(ScreenDelDir));
            QVERIFY(how.isEmpty() ? screen_instance(ScreenDelDir)->close()
                                  : click(ScreenDelDir, how));
            settle();
        }
        QWidget* f = focus_after_activation(s);
        QVERIFY(f);
        QCOMPARE(f->objectName(), focus);
        QTest::keyClick(f, Qt::Key_Up);
        QTest::keyClick(f, Qt::Key_Down);
        QCOMPARE(G.CurrentDrive, QStringLiteral("q"));
        QVERIFY(click(ScreenSearchDir, "Command1")); // 次 へ
        control<QComboBox>(ScreenHeaderInput, "Combo1_1")->setEditText(QStringLiteral("T"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(control<QLabel>(ScreenHeaderDisp, "Label2_9")->text(), QStringLiteral("q"));
    }

    // A long path is shown whole, the list scrolls sideways, Ctrl+C copies the line.
    void longLinesShownWholeAndCopied() {
        const QString name(200, u'n');
        env.make_disc({"A", name});
        acquire();
        QCOMPARE(list()->item(1)->text(), u'\\' + name);
        list()->setCurrentRow(1);
        const QRect r = list()->visualItemRect(list()->item(1));
        QVERIFY(r.width() >= list()->fontMetrics().horizontalAdvance(u'\\' + name));
        QVERIFY(list()->horizontalScrollBar()->maximum() > 0);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u'\\' + name);
    }

    // A drive without subdirectories lists the root alone; its question names the root.
    void placeholderAsksAboutTheRoot() {
        env.make_disc({}, {"root.txt"});
        acquire();
        QCOMPARE(item_texts(list()), QStringList({"\\"}));
        QCOMPARE(status_text(), QStringLiteral("取得結果 (ダブルクリックでファイル表示)"));
        QVERIFY(!control(ScreenSearchDir, "Command5")->isEnabled()); // nothing to prune
        open_row(0);
        QCOMPARE(question(), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[\\]を削除しますか。"));
        QCOMPARE(control<QListWidget>(ScreenDelDir, "File1")->count(), 1);
    }

    void unreadableDirectoryReturnsWithTheListIntact() {
        env.make_disc({"GONE", "KEPT"});
        acquire();
        QDir(env.on_disc("GONE")).removeRecursively(); // vanished since the walk
        seam.expect("(401)");
        open_row(0);
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ディレクトリをアクセスできません。(401)\r\n\r\n"
                                "ﾃﾞｨﾚｸﾄﾘ取得画面に戻ります。"));
        settle();
        QVERIFY(!screen_instance(ScreenDelDir) && screen_instance(ScreenSearchDir)->isEnabled());
        QCOMPARE(item_texts(list()), QStringList({"\\GONE", "\\KEPT"}));
        QVERIFY(control(ScreenSearchDir, "Command5")->isEnabled()); // usable again
    }
};

QTEST_MAIN(TstAcquireScreens)
#include "tst_acquire_screens.moc"
