// The acquisition screen driven by clicks: the drive list, acquisition of a pinned
// directory, the placeholder, pruning, a failed walk, message 201, reopening with a held
// list, and the ways out.
#include "../ui/gui_fixture.h"
#include "acquire/search_dir.h"
#include "core/platform.h"
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {
QStringList list_lines() {
    QStringList l;
    auto* list = control<QListWidget>(ScreenSearchDir, "List1");
    for (int i = 0; list && i < list->count(); ++i)
        l << list->item(i)->text();
    return l;
}
QString status_text() {
    return control<QLabel>(ScreenSearchDir, "Label1_1")->text();
}
} // namespace

class TstSearchDirScreen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    // A: a file and two subdirectories (A1 empty, A2 with a file); B holds only B1 (with a
    // file), so B counts as empty; C holds a file; the hidden .h is empty.
    void make_disc() {
        QDir(env.disc.path()).removeRecursively();
        QDir().mkpath(env.disc.path());
        make_dirs(env.disc.path(), {"A/A1", "A/A2", "B/B1", "C", ".h"});
        touch(env.on_disc("A/a.txt"));
        touch(env.on_disc("A/A2/x.txt"));
        touch(env.on_disc("B/B1/y.txt"));
        touch(env.on_disc("C/c.txt"));
    }

    void acquire() {
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
    }

  private slots:
    void init() {
        seam.shown.clear();
        make_disc();
        env.start();
        G.BeepEnabled = 1;
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void opensWithTheDriveList() {
        ScreenWindow* s = open_screen(ScreenSearchDir);
        QCOMPARE(s->windowTitle(), G.WindowTitle);
        QCOMPARE(G.CurrentScreen, int16_t(ScreenSearchDir));
        auto* drive = control<QComboBox>(ScreenSearchDir, "Drive1");
        QCOMPARE(drive->count(), G.DriveLetters.size());
        QCOMPARE(drive->currentText(), QStringLiteral("q: ") + env.disc.path());
        QCOMPARE(status_text(), QStringLiteral("\n取得結果"));
        QVERIFY(!control(ScreenSearchDir, "Command5")->isEnabled());
        QCOMPARE(control<QPushButton>(ScreenSearchDir, "Command1")->text(),
                 QStringLiteral("次 へ "));
        QCOMPARE(control<QLabel>(ScreenSearchDir, "Label1_0")->text(),
                 QStringLiteral("ﾃﾞｨﾚｸﾄﾘ取得ﾄﾞﾗｲﾌﾞ"));
        // Picking another drive makes it the one to acquire.
        const int c = drive->findData(QStringLiteral("c"));
        QVERIFY(c >= 0);
        drive->setCurrentIndex(c);
        QCOMPARE(G.CurrentDrive, QStringLiteral("c"));
    }

    void acquisitionListsTheSortedTree() {
        acquire();
        QCOMPARE(list_lines(),
                 QStringList({"\\.h", "\\A", "\\A\\A1", "\\A\\A2", "\\B", "\\B\\B1", "\\C"}));
        QCOMPARE(G.DirCount, int16_t(3));
        QCOMPARE(G.EntryCount, int16_t(7));
        QCOMPARE(status_text(),
                 QStringLiteral("取得結果 [上位Path:3 / 下位Path:7]\n"
                                " （ダブルクリックでディレクトリ内ファイル名表示）"));
        QVERIFY(G.ProgressFlags & 1);
        QVERIFY(control(ScreenSearchDir, "Command5")->isEnabled());
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
        QVERIFY(!operation_running());
        QVERIFY(seam.progressShows >= 1);
        QVERIFY(!screen_instance(ScreenDispStatus)); // the progress window is gone again
        QCOMPARE(seam.beeps, 2);
        QVERIFY(seam.label1History.contains(
            QStringLiteral("ディレクトリを取得中です。\r\nしばらくお待ちください。")));
    }

    void nothingElseWhileTheWalkRuns() {
        open_screen(ScreenSearchDir);
        int tries = 0;
        seam.onYield = [&] {
            ScreenWindow* s = screen_instance(ScreenSearchDir);
            if (!s || !operation_running()) return;
            ++tries;
            QVERIFY(!s->isEnabled());
            s->close(); // the close box
            QVERIFY(!click(ScreenSearchDir, "Command3"));
            QVERIFY(!click(ScreenSearchDir, "Command2"));
        };
        QVERIFY(click(ScreenSearchDir, "Command3"));
        seam.onYield = nullptr;
        QVERIFY(tries > 0);
        QVERIFY(screen_instance(ScreenSearchDir)->isVisible());
        QCOMPARE(G.EntryCount, int16_t(7));
    }

    void driveWithoutSubdirectories() {
        QDir(env.disc.path()).removeRecursively();
        QDir().mkpath(env.disc.path());
        touch(env.on_disc("only.txt"));
        acquire();
        QCOMPARE(list_lines(), QStringList({"\\"}));
        QCOMPARE(status_text(), QStringLiteral("取得結果 (ダブルクリックでファイル表示)"));
        QVERIFY(!control(ScreenSearchDir, "Command5")->isEnabled());
    }

    void pruningDropsDirectoriesWithoutFiles() {
        acquire();
        QVERIFY(click(ScreenSearchDir, "Command5"));
        QCOMPARE(list_lines(), QStringList({"\\A", "\\A\\A2", "\\B\\B1", "\\C"}));
        QCOMPARE(status_text(),
                 QStringLiteral("取得結果 [上位Path:3 / 下位Path:4]\n"
                                " （ダブルクリックでディレクトリ内ファイル名表示）"));
        QVERIFY(screen_instance(ScreenSearchDir)->isEnabled());
        QVERIFY(seam.label1History.contains(
            QStringLiteral("ファイル無しディレクトリ削除中です。\r\nしばらくお待ちください。")));
    }

    void failedWalkLeavesForTheMenu() {
        open_screen(ScreenSearchDir);
        QDir(env.disc.path()).removeRecursively(); // the medium is taken out
        seam.expect("(203)");
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QVERIFY(!screen_instance(ScreenSearchDir));
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(G.ProgressFlags & 1);
        QVERIFY(control(ScreenMenu1, "Command4")->isVisible());
        QVERIFY(control(ScreenMenu1, "Command2")->isHidden());
        QVERIFY(!operation_running());
        QVERIFY(!screen_instance(ScreenDispStatus));
        QVERIFY(screen_instance(ScreenMenu1)->isEnabled());
    }

    void unknownDriveFallsBackToTheCurrentOne() {
        G.CurrentDrive = QStringLiteral("x");
        seam.expect("ドライブ [x]をアクセスできません。(201)");
        open_screen(ScreenSearchDir);
        QCOMPARE(seam.shown.last().text,
                 QStringLiteral("ドライブ [x]をアクセスできません。(201)\r\n\r\n"
                                "ドライブをカレントドライブ [") +
                     G.CurrentDrive + QStringLiteral("]に変更します。"));
        QCOMPARE(G.CurrentDrive, QString(drive_of_path(QDir::currentPath())));
    }

    void reopeningShowsTheHeldList() {
        acquire();
        seam.expect("(002)", AnswerYes);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(click(ScreenMenu1, "Command1"));
        QCOMPARE(list_lines().size(), 7);
        QVERIFY(status_text().startsWith(QStringLiteral("取得結果 [上位Path:3 / 下位Path:7]")));
        QVERIFY(control(ScreenSearchDir, "Command5")->isEnabled());
        QCOMPARE(control<QComboBox>(ScreenSearchDir, "Drive1")->currentData().toString(),
                 QStringLiteral("q"));
        // After a registration the list is no longer held.
        G.ProgressFlags = 0;
        screen_instance(ScreenSearchDir)->unload();
        settle();
        open_screen(ScreenSearchDir);
        QVERIFY(list_lines().isEmpty());
        QVERIFY(!control(ScreenSearchDir, "Command5")->isEnabled());
    }

    void menuButtonAnsweredNoStays() {
        open_screen(ScreenSearchDir);
        seam.expect("メインメニューに戻ってもよいですか。(002)", AnswerNo);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        QVERIFY(screen_instance(ScreenSearchDir));
        QVERIFY(!screen_instance(ScreenMenu1));
    }

    void nextWorksWithoutAList() {
        G.CurrentDrive = QStringLiteral("q");
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command1"));
        QVERIFY(!screen_instance(ScreenSearchDir));
        QVERIFY(screen_instance(ScreenHeaderInput));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("q"));
    }

    void exitAnsweredNoKeepsTheDrive() {
        open_screen(ScreenSearchDir);
        G.SavedSettings(20) = QStringLiteral("c");
        seam.expect("(001)", AnswerNo);
        QVERIFY(click(ScreenSearchDir, "Command2"));
        QVERIFY(screen_instance(ScreenSearchDir));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("q"));
    }
};

QTEST_MAIN(TstSearchDirScreen)
#include "tst_search_dir_screen.moc"
