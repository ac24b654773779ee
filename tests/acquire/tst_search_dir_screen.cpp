// The acquisition screen driven by clicks: the drive list, acquisition of a pinned
// directory, the placeholder, pruning, a failed walk, message 201, reopening with a held
// list, and the ways out.
#include "../ui/gui_fixture.h"
#include "acquire/search_dir.h"
#include "core/platform.h"
#include <QComboBox>
#include <QLabel>

class TstSearchDirScreen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    QStringList list_lines() { return item_texts(control<QListWidget>(ScreenSearchDir, "List1")); }
    QString status_text() { return control<QLabel>(ScreenSearchDir, "Label1_1")->text(); }
    const QString heldSummary = QStringLiteral("取得結果 [上位Path:3 / 下位Path:7]\n"
                                               " （ダブルクリックでディレクトリ内ファイル名表示）");

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
        QCOMPARE(drive->count(), G.DriveLetters.size());
        QCOMPARE(drive->currentText(), QStringLiteral("q: ") + env.disc.path());
        drive->setCurrentIndex(drive->findData(QStringLiteral("c")));
        QCOMPARE(G.CurrentDrive, QStringLiteral("c"));
    }

    void acquisitionSortsAndPruningDropsDirectoriesWithoutFiles() {
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
        QCOMPARE(list_lines(),
                 QStringList({"\\.h", "\\A", "\\A\\A1", "\\A\\A2", "\\B", "\\B\\B1", "\\C"}));
        QCOMPARE(status_text(), heldSummary);
        QCOMPARE(seam.beeps, 2);
        QVERIFY(click(ScreenSearchDir, "Command5"));
        QCOMPARE(list_lines(), QStringList({"\\A", "\\A\\A2", "\\B\\B1", "\\C"}));
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

    void reopeningShowsTheHeldList() {
        open_screen(ScreenSearchDir);
        QVERIFY(click(ScreenSearchDir, "Command3"));
        seam.expect("メインメニューに戻ってもよいですか。(002)", AnswerNo);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        QVERIFY(!screen_instance(ScreenMenu1));
        seam.expect("(002)", AnswerYes);
        QVERIFY(click(ScreenSearchDir, "Command4"));
        QVERIFY(click(ScreenMenu1, "Command1"));
        QCOMPARE(list_lines().size(), 7);
        QCOMPARE(status_text(), heldSummary);
        // After a registration the list is no longer held.
        G.ProgressFlags = 0;
        screen_instance(ScreenSearchDir)->unload();
        settle();
        open_screen(ScreenSearchDir);
        QVERIFY(list_lines().isEmpty());
    }

    void nextRecordsTheDriveWithoutAList() {
        open_screen(ScreenSearchDir);
        G.SavedSettings(20) = QStringLiteral("c");
        QVERIFY(click(ScreenSearchDir, "Command1"));
        QVERIFY(screen_instance(ScreenHeaderInput));
        QCOMPARE(G.SavedSettings(20), QStringLiteral("q"));
    }
};

QTEST_MAIN(TstSearchDirScreen)
#include "tst_search_dir_screen.moc"
