// Header entry and header confirmation, driven by their controls: presets, the publisher
// fill, the date preset, configured captions, the all-blank rule, re-editing a stored
// entry, the registration question, and the view mode the search screen opens.
#include "../ui/gui_fixture.h"
#include "register/header_disp.h"
#include "ui/placeholder.h"
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
QComboBox* combo(int i) {
    return control<QComboBox>(ScreenHeaderInput, QStringLiteral("Combo1_%1").arg(i));
}
QPlainTextEdit* memo() {
    return control<QPlainTextEdit>(ScreenHeaderInput, "Text1_1");
}
QLineEdit* header6() {
    return control<QLineEdit>(ScreenHeaderInput, "Text1_2");
}
QString label(int16_t screen, const QString& name) {
    return control<QLabel>(screen, name)->text();
}
QString field_shown(int k) {
    return label(ScreenHeaderDisp, QStringLiteral("Label2_%1").arg(k));
}
} // namespace

class TstHeaderScreens : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

  private slots:
    void init() {
        seam.shown.clear();
        QFile::remove(env.dat());
        env.start();
        G.MagazineCount = 3;
        G.MagazineTitles = Array1<QString>{"月刊ALPHA", "BETA WORLD", "GAMMA"};
        G.MagazinePublishers = Array1<QString>{"アルファ社", "", "ガンマ出版"};
        G.VolumeLabel = QStringLiteral("VOL1");
        G.ProgressFlags = 1;
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void freshEntryPresetsTodayAndConfiguredCaptions() {
        G.HeaderLabelCaptions = Array1<QString>{"雑誌名", "", "", "巻号"};
        open_screen(ScreenHeaderInput);
        QCOMPARE(combo(1)->count(), 3);
        QVERIFY(combo(1)->currentText().isEmpty() && combo(2)->currentText().isEmpty());
        QCOMPARE(combo(3)->currentText(), QString::number(QDate::currentDate().year()));
        QCOMPARE(combo(4)->currentText(), QString::number(QDate::currentDate().month()));
        QCOMPARE(label(ScreenHeaderInput, "Label1_1"), QStringLiteral("雑誌名"));
        QCOMPARE(label(ScreenHeaderInput, "Label1_2"),
                 QStringLiteral("見出し２")); // blank: default
        QCOMPARE(label(ScreenHeaderInput, "Label1_4"), QStringLiteral("巻号"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(label(ScreenHeaderDisp, "Label1_4"), QStringLiteral("巻号"));
    }

    void pickingATitleFillsItsPublisher() {
        open_screen(ScreenHeaderInput);
        type_into(combo(2)->lineEdit(), QStringLiteral("手入力社"));
        pick(combo(1), 1); // BETA WORLD has no publisher: what was typed stays
        QCOMPARE(combo(2)->currentText(), QStringLiteral("手入力社"));
        pick(combo(1), 2);
        QCOMPARE(combo(2)->currentText(), QStringLiteral("ガンマ出版"));
        // Typing a title brings nothing, and is not added to the list.
        combo(1)->lineEdit()->clear();
        combo(2)->lineEdit()->clear();
        type_into(combo(1)->lineEdit(), QStringLiteral("月刊ALPHA"));
        QVERIFY(combo(2)->currentText().isEmpty());
        QCOMPARE(combo(1)->count(), 3);
    }

    void nextStoresTheEntryAndCorrectionReopensIt() {
        open_screen(ScreenHeaderInput);
        pick(combo(1), 0);
        type_into(memo(), QStringLiteral("一行目"));
        QTest::keyClick(memo(), Qt::Key_Return);
        type_into(memo(), QStringLiteral("二行目"));
        combo(3)->setEditText(QStringLiteral("1999"));
        combo(4)->setEditText(QStringLiteral("5"));
        type_into(header6(), QStringLiteral("第3号"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QVERIFY(!screen_instance(ScreenHeaderInput));
        QCOMPARE(G.ProgressFlags, int16_t(3));
        const QStringList stored{"月刊ALPHA", "アルファ社", "一行目\r\n二行目",           "1999",
                                 "5",         "第3号",      "データ登録時に設定します。", "VOL1",
                                 "q"};
        for (int k = 1; k <= 9; ++k)
            QCOMPARE(G.HeaderTable(1, k), stored.at(k - 1));
        QCOMPARE(field_shown(9), QStringLiteral("q"));
        QCOMPARE(control<QPlainTextEdit>(ScreenHeaderDisp, "Text1")->toPlainText(),
                 QStringLiteral("一行目\n二行目"));
        QVERIFY(control(ScreenHeaderDisp, "Command4")->isHidden()); // no directories yet
        // 修 正 reopens the entry with the stored year and month, not today's.
        QVERIFY(click(ScreenHeaderDisp, "Command3"));
        QCOMPARE(combo(3)->currentText(), QStringLiteral("1999"));
        QCOMPARE(combo(4)->currentText(), QStringLiteral("5"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("一行目\n二行目"));
        // Blanking every field keeps what was stored.
        header6()->clear();
        memo()->clear();
        combo(1)->lineEdit()->clear();
        combo(2)->lineEdit()->clear();
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(field_shown(6), QStringLiteral("第3号"));
    }

    void allBlankStoresNothing() {
        open_screen(ScreenHeaderInput);
        QVERIFY(click(ScreenHeaderInput, "Command1_3")); // year and month alone do not count
        QCOMPARE(G.ProgressFlags, int16_t(1));
        for (int k : {1, 2, 4, 5, 6, 7, 8, 9})
            QVERIFY2(field_shown(k).isEmpty(), qPrintable(field_shown(k)));
        // 登録 without a header asks nothing, writes nothing and returns to the menu.
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(!QFile::exists(env.dat()));
    }

    void memoEditsAreUndone() {
        G.ProgressFlags = 3;
        G.HeaderTable(1, 3) = QStringLiteral("メモ");
        open_screen(ScreenHeaderDisp);
        auto* text = control<QPlainTextEdit>(ScreenHeaderDisp, "Text1");
        text->setFocus();
        QTest::keyClicks(text, QStringLiteral("xyz"));
        QTest::keyClick(text, Qt::Key_Backspace);
        QCOMPARE(text->toPlainText(), QStringLiteral("メモ"));
        QCOMPARE(G.HeaderTable(1, 3), QStringLiteral("メモ"));
    }

    void registrationAnsweredNoKeepsTheWork() {
        G.ProgressFlags = 3;
        hold_one_entry();
        G.HeaderTable(1, 1) = QStringLiteral("T");
        open_screen(ScreenHeaderDisp);
        seam.expect("登録しますか。", AnswerNo);
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        QCOMPARE(seam.shown.first().text,
                 QStringLiteral("            登録しますか。\r\n\r\n"
                                "   はい　・・・　登録する。\r\n"
                                "   いいえ・・・　メインメニューに戻る。"));
        QVERIFY(!screen_instance(ScreenHeaderDisp));
        QVERIFY(control(ScreenMenu1, "Command4")->isVisible());
        QVERIFY(!QFile::exists(env.dat()));
        QCOMPARE(G.ProgressFlags, int16_t(3));
    }

    void headerWithoutTreeIsNotWritten() {
        G.ProgressFlags = 2;
        G.HeaderTable(1, 1) = QStringLiteral("T");
        open_screen(ScreenHeaderDisp);
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(!QFile::exists(env.dat()));
    }

    void viewMode_data() {
        QTest::addColumn<int>("headerOnly");
        QTest::addColumn<int>("blockSearch");
        QTest::addColumn<bool>("directoriesOffered");
        QTest::addRow("string search") << 0 << 0 << true;
        QTest::addRow("header-only string search") << 1 << 0 << false;
        QTest::addRow("header-only block search") << 1 << 1 << true;
    }
    void viewMode() {
        QFETCH(int, headerOnly);
        QFETCH(int, blockSearch);
        QFETCH(bool, directoriesOffered);
        G.HeaderTable.redim(3);
        for (int k = 1; k <= 10; ++k)
            G.HeaderTable(3, k) = QStringLiteral("B3F%1").arg(k);
        G.HeaderViewFromSearch = 1;
        G.SelectedBlockNo = -3;
        G.SelectedResultLine = QStringLiteral("B3F1 1999/5 DISC");
        G.HeaderOnlySearch = static_cast<int16_t>(headerOnly);
        G.BlockSearchMode = static_cast<int16_t>(blockSearch);
        // Stand-ins for the search screen and the directory viewer.
        register_screen(ScreenDispDirectory, [] {
            return new ScreenWindow(ScreenDispDirectory, QStringLiteral("disp_directory"));
        });
        register_screen(ScreenSearchData, [] {
            return new PlaceholderScreen(ScreenSearchData, QStringLiteral("search_data"));
        });
        ScreenWindow* search = open_screen(ScreenSearchData);
        ScreenWindow* d = search->open_on_top(ScreenHeaderDisp);
        QCOMPARE(d->windowTitle(), QStringLiteral("Tobrin  Ver.1.8a  << B3F1 1999/5 DISC >>"));
        for (int k : {1, 2, 4, 5, 6, 7, 8, 9})
            QCOMPARE(field_shown(k), QStringLiteral("B3F%1").arg(k));
        QVERIFY(control(ScreenHeaderDisp, "Command3")->isHidden());
        QCOMPARE(control(ScreenHeaderDisp, "Command4")->isVisible(), directoriesOffered);
        if (directoriesOffered) {
            QVERIFY(click(ScreenHeaderDisp, "Command4"));
            QVERIFY(screen_instance(ScreenDispDirectory) && !d->isEnabled());
            screen_instance(ScreenDispDirectory)->unload();
            settle();
            QVERIFY(d->isEnabled());
        }
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 戻る
        QVERIFY(!screen_instance(ScreenHeaderDisp) && search->isEnabled());
        G.HeaderViewFromSearch = 0;
    }
};

QTEST_MAIN(TstHeaderScreens)
#include "tst_header_screens.moc"
