// The main menu: buttons from the registration state, registering from the menu (102,
// 103), the forced-search question, and both answers to the exit question.
#include "../ui/gui_fixture.h"
#include "core/codepage.h"
#include "ui/placeholder.h"
#include <QPushButton>

namespace {
// One acquired entry \A below the root, as a walk leaves it.
void hold_one_entry() {
    G.DirCount = 1;
    G.DirPaths(1) = QStringLiteral("\\");
    G.EntryCount = 1;
    G.EntryNames(1) = QStringLiteral("A");
    G.EntryParentIndex(1) = 1;
}

QStringList catalogue_lines(const QString& path) {
    QStringList lines;
    read_cp932_lines(path, lines);
    return lines;
}
} // namespace

class TstMenu1Screen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    QPushButton* button(int i) {
        return control<QPushButton>(ScreenMenu1, QStringLiteral("Command%1").arg(i));
    }

  private slots:
    void init() {
        QFile::remove(env.dat());
        QFile::remove(env.ini());
        QFile::remove(env.backup());
        seam.shown.clear();
        env.start();
        // The menu opens screen 3 by its code; a stand-in keeps these tests about the menu.
        register_screen(ScreenSearchData, [] {
            return new PlaceholderScreen(ScreenSearchData, QStringLiteral("search_data"));
        });
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void buttonsFollowTheRegistrationState_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("dirs");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("dataFile");
        QTest::addColumn<QString>("headerCaption"); // empty: hidden
        QTest::addColumn<bool>("registerShown");
        QTest::addColumn<bool>("searchEnabled");
        QTest::addRow("nothing pending, no catalogue") << 0 << 1 << 1 << 0 << "" << false << false;
        QTest::addRow("nothing pending, catalogue") << 0 << 1 << 1 << 1 << "" << false << true;
        QTest::addRow("acquired") << 1 << 3 << 7 << 1 << "見出し入力" << true << true;
        QTest::addRow("acquired nothing: no parent") << 1 << 0 << 7 << 1 << "" << true << true;
        QTest::addRow("acquired nothing: no entry") << 1 << 3 << 0 << 1 << "" << true << true;
        QTest::addRow("header only") << 2 << 0 << 0 << 1 << "見出し修正" << false << true;
        QTest::addRow("both") << 3 << 3 << 7 << 0 << "見出し修正" << true << false;
    }
    void buttonsFollowTheRegistrationState() {
        QFETCH(int, flags);
        QFETCH(int, dirs);
        QFETCH(int, entries);
        QFETCH(int, dataFile);
        QFETCH(QString, headerCaption);
        QFETCH(bool, registerShown);
        QFETCH(bool, searchEnabled);
        G.ProgressFlags = static_cast<int16_t>(flags);
        G.DirCount = static_cast<int16_t>(dirs);
        G.EntryCount = static_cast<int16_t>(entries);
        G.DataFileState = static_cast<int16_t>(dataFile);
        ScreenWindow* m = open_screen(ScreenMenu1);
        QCOMPARE(m->windowTitle(), QStringLiteral("Tobrin  Ver.1.8a    メインメニュー"));
        QVERIFY(button(1)->isVisible());
        QCOMPARE(button(1)->text(), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ取得"));
        QCOMPARE(button(3)->text(), QStringLiteral("終 了"));
        QCOMPARE(button(2)->isVisible(), !headerCaption.isEmpty());
        if (!headerCaption.isEmpty()) QCOMPARE(button(2)->text(), headerCaption);
        QCOMPARE(button(4)->isVisible(), registerShown);
        QCOMPARE(button(5)->isEnabled(), searchEnabled);
        QCOMPARE(button(5)->text(),
                 searchEnabled ? QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ検索") : QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ無し"));
    }

    void buttonsOpenTheirScreens_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("target");
        QTest::addRow("acquire") << 0 << "Command1" << int(ScreenSearchDir);
        QTest::addRow("header") << 2 << "Command2" << int(ScreenHeaderInput);
        QTest::addRow("search") << 0 << "Command5" << int(ScreenSearchData);
    }
    void buttonsOpenTheirScreens() {
        QFETCH(int, flags);
        QFETCH(QString, button);
        QFETCH(int, target);
        G.ProgressFlags = static_cast<int16_t>(flags);
        G.DataFileState = 1;
        G.HeaderViewFromSearch = 1;
        G.SelectedResultLine = QStringLiteral("old line");
        open_screen(ScreenMenu1);
        QVERIFY(click(ScreenMenu1, button));
        QVERIFY(!screen_instance(ScreenMenu1));
        QVERIFY(screen_instance(static_cast<int16_t>(target)));
        QCOMPARE(G.CurrentScreen, int16_t(target));
        if (button == QLatin1String("Command2")) {
            QCOMPARE(G.HeaderViewFromSearch, int16_t(0));
            QVERIFY(G.SelectedResultLine.isEmpty());
        }
    }

    void registerWithoutAcquisition() {
        G.ProgressFlags = 2;
        open_screen(ScreenMenu1);
        button(4)->show(); // hidden for this state; the rule still holds behind it
        seam.expect("ﾃﾞｨﾚｸﾄﾘ検索未実施です。(102)");
        QTest::mouseClick(button(4), Qt::LeftButton);
        QVERIFY(!QFile::exists(env.dat()));
    }

    void registerWithoutHeaderAnsweredNo() {
        G.ProgressFlags = 1;
        hold_one_entry();
        open_screen(ScreenMenu1);
        seam.expect("見出しが未入力です。(103)", AnswerNo);
        QVERIFY(click(ScreenMenu1, "Command4"));
        QVERIFY(!QFile::exists(env.dat()));
        QCOMPARE(G.ProgressFlags, int16_t(1));
        QVERIFY(button(4)->isVisible());
        const QString q = seam.shown.first().text;
        QCOMPARE(q, QStringLiteral("見出しが未入力です。(103)\r\nこのまま継続しますか。\r\n\r\n"
                                   "　　　はい　・・・　登録する。\r\n"
                                   "　　　いいえ・・・　登録しない。"));
        QVERIFY(seam.shown.first().yesNo);
    }

    void registerWithoutHeaderWritesEmptyHeaders() {
        G.ProgressFlags = 1;
        hold_one_entry();
        // What an earlier registration or search left must not reach the new block.
        for (int k = 1; k <= 10; ++k)
            G.HeaderTable(1, k) = QStringLiteral("OLD%1").arg(k);
        G.VolumeLabel = QStringLiteral("DISC7");
        G.CurrentDrive = QStringLiteral("q");
        open_screen(ScreenMenu1);
        seam.expect("(103)", AnswerYes);
        seam.expect("(111)");
        seam.expect("(105)");
        QVERIFY(click(ScreenMenu1, "Command4"));
        const QStringList lines = catalogue_lines(env.dat());
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines.mid(0, 7),
                 QStringList({"*01", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\""}));
        QVERIFY(
            QRegularExpression(QStringLiteral("^\"\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\"$"))
                .match(lines.at(7))
                .hasMatch());
        QCOMPARE(lines.mid(8),
                 QStringList({"\"DISC7\"", "\"q\"", "\"\"", "*02", "\\", "*03", "1,A"}));
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QVERIFY(button(2)->isHidden());
        QVERIFY(button(4)->isHidden());
        QVERIFY(button(5)->isEnabled());
    }

    void registerWithHeaderAsksNothing() {
        G.ProgressFlags = 3;
        hold_one_entry();
        for (int k = 1; k <= 10; ++k)
            G.HeaderTable(1, k).clear();
        G.HeaderTable(1, 1) = QStringLiteral("タイトル");
        open_screen(ScreenMenu1);
        seam.expect("(111)");
        seam.expect("(105)");
        QVERIFY(click(ScreenMenu1, "Command4"));
        QCOMPARE(catalogue_lines(env.dat()).value(1), QStringLiteral("\"タイトル\""));
        QCOMPARE(G.ProgressFlags, int16_t(0));
    }

    void forcedSearch_data() {
        QTest::addColumn<int>("answer");
        QTest::addRow("no") << int(AnswerNo);
        QTest::addRow("yes") << int(AnswerYes);
    }
    void forcedSearch() {
        QFETCH(int, answer);
        G.ProgressFlags = 3;
        hold_one_entry();
        G.DataFileState = 1;
        open_screen(ScreenMenu1);
        seam.expect("登録作業が完了していません。", static_cast<int16_t>(answer));
        QVERIFY(click(ScreenMenu1, "Command5"));
        QCOMPARE(
            seam.shown.first().text,
            QStringLiteral("登録作業が完了していません。検索を強行すれば取得したディレクトリ\r\n"
                           "と見出しデータが無効となります。検索を強行しますか。\r\n\r\n"
                           "　　　　　　[はい]　・・・　強行する。　　　　　　\r\n"
                           "　　　　　　[いいえ]・・・　メインメニューに戻る。\r\n"));
        if (answer == AnswerNo) {
            QCOMPARE(G.ProgressFlags, int16_t(3));
            QVERIFY(screen_instance(ScreenMenu1));
            QVERIFY(!screen_instance(ScreenSearchData));
        } else {
            QCOMPARE(G.ProgressFlags, int16_t(0));
            QVERIFY(!screen_instance(ScreenMenu1));
            QVERIFY(screen_instance(ScreenSearchData));
            // The stand-in search screen leads back to the menu.
            QVERIFY(click(ScreenSearchData, "Command4"));
            QVERIFY(screen_instance(ScreenMenu1));
        }
    }

    void exitAnsweredNo() {
        open_screen(ScreenMenu1);
        seam.expect("終了してよいですか。(001)", AnswerNo);
        QVERIFY(click(ScreenMenu1, "Command3"));
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(!QFile::exists(env.ini()));
    }

    void exitAnsweredYes() {
        write_bytes(env.dat(), QByteArray("*01\r\n"));
        env.start({QStringLiteral("#13:2")});
        QCOMPARE(G.BackupMode, int16_t(2));
        open_screen(ScreenMenu1);
        seam.expect("(001)", AnswerYes);
        bool ended = false;
        try {
            click(ScreenMenu1, "Command3");
        } catch (const Terminated&) {
            ended = true;
        }
        QVERIFY(ended);
        QVERIFY(read_bytes(env.ini()).startsWith("Tobrin  Ver.1.8a\r\n"));
        QCOMPARE(read_bytes(env.backup()), QByteArray("*01\r\n"));
    }
};

QTEST_MAIN(TstMenu1Screen)
#include "tst_menu1_screen.moc"
