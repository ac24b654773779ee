// The main menu: buttons from the registration state, registering from the menu (102,
// 103), the forced-search question, and the whole registration by mouse and keyboard from
// the menu to the bytes of tobrin.dat.
#include "../ui/gui_fixture.h"
#include "core/codepage.h"
#include "ui/placeholder.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
QPushButton* button(int i) {
    return control<QPushButton>(ScreenMenu1, QStringLiteral("Command%1").arg(i));
}
// The catalogue as written, with the registration time (line 8) checked and replaced.
QStringList catalogue_lines(const QString& path) {
    QStringList lines;
    read_cp932_lines(path, lines);
    static const QRegularExpression stamp(
        QStringLiteral("^\"\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\"$"));
    if (lines.size() > 7 && stamp.match(lines.at(7)).hasMatch()) lines[7] = QStringLiteral("TIME");
    return lines;
}
} // namespace

class TstMenu1Screen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

  private slots:
    void init() {
        QFile::remove(env.dat());
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
        QTest::addRow("nothing pending, no catalogue") << 0 << 1 << 1 << 0 << "" << false;
        QTest::addRow("nothing pending, catalogue") << 0 << 1 << 1 << 1 << "" << false;
        QTest::addRow("acquired") << 1 << 3 << 7 << 1 << "見出し入力" << true;
        QTest::addRow("acquired nothing: no parent") << 1 << 0 << 7 << 1 << "" << true;
        QTest::addRow("acquired nothing: no entry") << 1 << 3 << 0 << 1 << "" << true;
        QTest::addRow("header only") << 2 << 0 << 0 << 1 << "見出し修正" << false;
        QTest::addRow("both") << 3 << 3 << 7 << 0 << "見出し修正" << true;
    }
    void buttonsFollowTheRegistrationState() {
        QFETCH(int, flags);
        QFETCH(int, dirs);
        QFETCH(int, entries);
        QFETCH(int, dataFile);
        QFETCH(QString, headerCaption);
        QFETCH(bool, registerShown);
        G.ProgressFlags = static_cast<int16_t>(flags);
        G.DirCount = static_cast<int16_t>(dirs);
        G.EntryCount = static_cast<int16_t>(entries);
        G.DataFileState = static_cast<int16_t>(dataFile);
        ScreenWindow* m = open_screen(ScreenMenu1);
        QCOMPARE(m->windowTitle(), QStringLiteral("Tobrin  Ver.1.8a    メインメニュー"));
        QCOMPARE(button(2)->isVisible(), !headerCaption.isEmpty());
        if (!headerCaption.isEmpty()) QCOMPARE(button(2)->text(), headerCaption);
        QCOMPARE(button(4)->isVisible(), registerShown);
        QCOMPARE(button(5)->isEnabled(), dataFile == 1);
        QCOMPARE(button(5)->text(),
                 dataFile ? QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ検索") : QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ無し"));
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
        G.HeaderViewFromSearch = 1; // a search's header view must not leak into the entry
        open_screen(ScreenMenu1);
        QVERIFY(click(ScreenMenu1, button));
        QVERIFY(!screen_instance(ScreenMenu1));
        QCOMPARE(G.CurrentScreen, int16_t(target));
        if (target == ScreenHeaderInput) QCOMPARE(G.HeaderViewFromSearch, int16_t(0));
    }

    void registerWithoutAcquisition() {
        G.ProgressFlags = 2;
        open_screen(ScreenMenu1);
        button(4)->show(); // hidden for this state; the rule still holds behind it
        seam.expect("ﾃﾞｨﾚｸﾄﾘ検索未実施です。(102)");
        QTest::mouseClick(button(4), Qt::LeftButton);
        QVERIFY(!QFile::exists(env.dat()));
    }

    // Answered No nothing is written; answered Yes the block gets empty headers, never
    // what an earlier registration or search left, with the volume label and drive.
    void registerWithoutHeader() {
        G.ProgressFlags = 1;
        hold_one_entry();
        for (int k = 1; k <= 10; ++k)
            G.HeaderTable(1, k) = QStringLiteral("OLD%1").arg(k);
        G.VolumeLabel = QStringLiteral("DISC7");
        open_screen(ScreenMenu1);
        seam.expect("見出しが未入力です。(103)", AnswerNo);
        QVERIFY(click(ScreenMenu1, "Command4"));
        QCOMPARE(seam.shown.first().text,
                 QStringLiteral("見出しが未入力です。(103)\r\nこのまま継続しますか。\r\n\r\n"
                                "　　　はい　・・・　登録する。\r\n"
                                "　　　いいえ・・・　登録しない。"));
        QVERIFY(!QFile::exists(env.dat()));
        seam.expect("(103)", AnswerYes);
        seam.expect("(111)");
        seam.expect("(105)");
        QVERIFY(click(ScreenMenu1, "Command4"));
        QCOMPARE(catalogue_lines(env.dat()),
                 QStringList({"*01", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "\"\"", "TIME",
                              "\"DISC7\"", "\"q\"", "\"\"", "*02", "\\", "*03", "1,A"}));
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QVERIFY(button(4)->isHidden() && button(5)->isEnabled());
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
        QCOMPARE(G.ProgressFlags, int16_t(answer == AnswerYes ? 0 : 3));
        QCOMPARE(bool(screen_instance(ScreenSearchData)), answer == AnswerYes);
    }

    // Acquisition of a pinned directory, pruning, deleting one directory, header entry
    // with the publisher fill, confirmation and registration, then the file's bytes.
    void registerADiscEndToEnd() {
        // EMPTY is pruned; TOOLS\OLD is deleted by hand.
        env.make_disc({"DOCS", "EMPTY", "TOOLS/BIN", "TOOLS/OLD"},
                      {"DOCS/read.me", "TOOLS/t.exe", "TOOLS/BIN/b.com", "TOOLS/OLD/o.txt"});
        env.start({QStringLiteral("#13:4")});
        G.MagazineCount = 2;
        G.MagazineTitles = Array1<QString>{"Sample Disc", "Other"};
        G.MagazinePublishers = Array1<QString>{"Example Press", ""};
        open_screen(ScreenMenu1);
        button(1)->setFocus();
        QTest::keyClick(button(1), Qt::Key_Return); // ﾃﾞｨﾚｸﾄﾘ取得
        settle();
        QVERIFY(click(ScreenSearchDir, "Command3")); // 取得開始
        auto* list = control<QListWidget>(ScreenSearchDir, "List1");
        QCOMPARE(list->count(), 5);
        QVERIFY(click(ScreenSearchDir, "Command5")); // prune
        QCOMPARE(list->count(), 4);
        list->setFocus();
        list->setCurrentRow(3); // \TOOLS\OLD
        QTest::keyClick(list, Qt::Key_Return);
        settle();
        QVERIFY(click(ScreenDelDir, "Command3"));    // ﾃﾞｨﾚｸﾄﾘ 削 除
        QVERIFY(click(ScreenSearchDir, "Command1")); // 次 へ

        pick(control<QComboBox>(ScreenHeaderInput, "Combo1_1"), 0);
        auto* memo = control<QPlainTextEdit>(ScreenHeaderInput, "Text1_1");
        type_into(memo, QStringLiteral("first line"));
        QTest::keyClick(memo, Qt::Key_Return);
        type_into(memo, QStringLiteral("second line"));
        control<QComboBox>(ScreenHeaderInput, "Combo1_3")->setEditText(QStringLiteral("1999"));
        control<QComboBox>(ScreenHeaderInput, "Combo1_4")->setEditText(QStringLiteral("5"));
        type_into(control<QLineEdit>(ScreenHeaderInput, "Text1_2"), QStringLiteral("メモ"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3")); // 次 へ
        seam.expect("登録しますか。", AnswerYes);
        seam.expect("(111)");
        seam.expect("(105)");
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 登録
        QVERIFY(screen_instance(ScreenMenu1));
        QCOMPARE(G.ProgressFlags, int16_t(0));

        const QStringList lines = catalogue_lines(env.dat());
        QCOMPARE(lines, QStringList({"*01", "\"Sample Disc\"", "\"Example Press\"",
                                     "\"first line$RET$$LF$second line\"", "\"1999\"", "\"5\"",
                                     "\"メモ\"", "TIME", "\"\"", "\"q\"", "\"\"", "*02", "\\",
                                     "\\TOOLS\\", "*03", "1,DOCS", "1,TOOLS", "2,BIN"}));
        // Byte-exact: CP932, CR LF after every line; the backup (BackupMode 4) is a copy.
        const QByteArray bytes = read_bytes(env.dat());
        QVERIFY(bytes.contains("\r\n\"\x83\x81\x83\x82\"\r\n") && bytes.endsWith("2,BIN\r\n"));
        QCOMPARE(bytes.count("\r\n"), 18);
        QCOMPARE(read_bytes(env.backup()), bytes);
    }
};

QTEST_MAIN(TstMenu1Screen)
#include "tst_menu1_screen.moc"
