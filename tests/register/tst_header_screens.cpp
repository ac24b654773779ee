// Header entry and header confirmation, driven by their controls: presets, the publisher
// fill, the date preset, configured captions, the all-blank rule, re-editing a stored
// entry, the registration question, and the view mode the search screen opens.
#include "../ui/gui_fixture.h"
#include "register/header_disp.h"
#include "ui/placeholder.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

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
QString field_shown(int k) {
    return control<QLabel>(ScreenHeaderDisp, QStringLiteral("Label2_%1").arg(k))->text();
}

// Picks entry `index` (0-based) of a combo's list as the user does.
void pick(QComboBox* c, int index) {
    c->setCurrentIndex(index);
    emit c->activated(index);
}

// Types `text` key by key (Japanese included, as an input method delivers it).
void type_into(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
    settle();
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
        G.CurrentDrive = QStringLiteral("q");
        G.VolumeLabel = QStringLiteral("VOL1");
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void freshEntryShowsPresetsAndToday() {
        ScreenWindow* s = open_screen(ScreenHeaderInput);
        QCOMPARE(s->windowTitle(), G.WindowTitle);
        QCOMPARE(combo(1)->count(), 3);
        QCOMPARE(combo(2)->count(), int(G.PublisherCount));
        QCOMPARE(combo(3)->count(), int(G.YearCount));
        QCOMPARE(combo(4)->count(), int(G.MonthCount));
        QVERIFY(combo(1)->currentText().isEmpty());
        QVERIFY(combo(2)->currentText().isEmpty());
        const QDate today = QDate::currentDate();
        QCOMPARE(combo(3)->currentText(), QString::number(today.year()));
        QCOMPARE(combo(4)->currentText(), QString::number(today.month()));
        const QStringList captions{"見出し１", "見出し２", "見出し３", "見出し６", "年", "月"};
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(control<QLabel>(ScreenHeaderInput, QStringLiteral("Label1_%1").arg(i))->text(),
                     captions.at(i - 1));
        QCOMPARE(control<QPushButton>(ScreenHeaderInput, "Command1_3")->text(),
                 QStringLiteral("次 へ"));
    }

    void pickingATitleFillsItsPublisher() {
        open_screen(ScreenHeaderInput);
        type_into(combo(2)->lineEdit(), QStringLiteral("手入力社"));
        pick(combo(1), 1); // BETA WORLD has no publisher: what was typed stays
        QCOMPARE(combo(2)->currentText(), QStringLiteral("手入力社"));
        pick(combo(1), 2);
        QCOMPARE(combo(1)->currentText(), QStringLiteral("GAMMA"));
        QCOMPARE(combo(2)->currentText(), QStringLiteral("ガンマ出版"));
        // Typing a title brings nothing.
        combo(1)->lineEdit()->clear();
        combo(2)->lineEdit()->clear();
        type_into(combo(1)->lineEdit(), QStringLiteral("月刊ALPHA"));
        QVERIFY(combo(2)->currentText().isEmpty());
        QCOMPARE(combo(1)->count(), 3); // nothing typed is added to the list
    }

    void configuredCaptions() {
        G.HeaderLabelCaptions = Array1<QString>{"雑誌名", "", "", "巻号"};
        open_screen(ScreenHeaderInput);
        QCOMPARE(control<QLabel>(ScreenHeaderInput, "Label1_1")->text(), QStringLiteral("雑誌名"));
        QCOMPARE(control<QLabel>(ScreenHeaderInput, "Label1_2")->text(),
                 QStringLiteral("見出し２"));
        QCOMPARE(control<QLabel>(ScreenHeaderInput, "Label1_4")->text(), QStringLiteral("巻号"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(control<QLabel>(ScreenHeaderDisp, "Label1_4")->text(), QStringLiteral("巻号"));
    }

    void nextStoresTheEntry() {
        G.ProgressFlags = 1;
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
        QCOMPARE(G.HeaderTable(1, 1), QStringLiteral("月刊ALPHA"));
        QCOMPARE(G.HeaderTable(1, 2), QStringLiteral("アルファ社"));
        QCOMPARE(G.HeaderTable(1, 3), QStringLiteral("一行目\r\n二行目"));
        QCOMPARE(G.HeaderTable(1, 4), QStringLiteral("1999"));
        QCOMPARE(G.HeaderTable(1, 5), QStringLiteral("5"));
        QCOMPARE(G.HeaderTable(1, 6), QStringLiteral("第3号"));
        QCOMPARE(G.HeaderTable(1, 7), QStringLiteral("データ登録時に設定します。"));
        QCOMPARE(G.HeaderTable(1, 8), QStringLiteral("VOL1"));
        QCOMPARE(G.HeaderTable(1, 9), QStringLiteral("q"));
        // The confirmation screen in registration mode shows it.
        ScreenWindow* d = screen_instance(ScreenHeaderDisp);
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowTitle(),
                 QStringLiteral("Tobrin  Ver.1.8a   　　　　　　　　　見　出　し　確　認"));
        QCOMPARE(field_shown(1), QStringLiteral("月刊ALPHA"));
        QCOMPARE(field_shown(7), QStringLiteral("データ登録時に設定します。"));
        QCOMPARE(field_shown(8), QStringLiteral("VOL1"));
        QCOMPARE(field_shown(9), QStringLiteral("q"));
        QCOMPARE(control<QPlainTextEdit>(ScreenHeaderDisp, "Text1")->toPlainText(),
                 QStringLiteral("一行目\n二行目"));
        QCOMPARE(control<QPushButton>(ScreenHeaderDisp, "Command1")->text(),
                 QStringLiteral("登録"));
        QVERIFY(control(ScreenHeaderDisp, "Command3")->isVisible());
        QVERIFY(control(ScreenHeaderDisp, "Command4")->isHidden());
        QVERIFY(control(ScreenHeaderDisp, "Label2_3")->isHidden());
        // 修 正 reopens the entry with the stored year and month, not today's.
        QVERIFY(click(ScreenHeaderDisp, "Command3"));
        QCOMPARE(combo(3)->currentText(), QStringLiteral("1999"));
        QCOMPARE(combo(4)->currentText(), QStringLiteral("5"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(header6()->text(), QStringLiteral("第3号"));
    }

    void allBlankStoresNothing() {
        G.ProgressFlags = 1;
        open_screen(ScreenHeaderInput);
        QVERIFY(click(ScreenHeaderInput, "Command1_3")); // year and month alone do not count
        QCOMPARE(G.ProgressFlags, int16_t(1));
        for (int k = 1; k <= 9; ++k)
            QVERIFY2(field_shown(k).isEmpty() || k == 3, qPrintable(field_shown(k)));
        // 登録 without a header asks nothing, writes nothing and returns to the menu.
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(!QFile::exists(env.dat()));
    }

    void blankingAStoredEntryKeepsIt() {
        G.ProgressFlags = 1;
        open_screen(ScreenHeaderInput);
        type_into(header6(), QStringLiteral("残る"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QVERIFY(click(ScreenHeaderDisp, "Command3"));
        header6()->clear();
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(field_shown(6), QStringLiteral("残る"));
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

    void registrationQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::addRow("no") << int(AnswerNo);
        QTest::addRow("yes") << int(AnswerYes);
    }
    void registrationQuestion() {
        QFETCH(int, answer);
        G.ProgressFlags = 3;
        G.DirCount = 1;
        G.DirPaths(1) = QStringLiteral("\\");
        G.EntryCount = 1;
        G.EntryNames(1) = QStringLiteral("A");
        G.EntryParentIndex(1) = 1;
        G.HeaderTable(1, 1) = QStringLiteral("T");
        open_screen(ScreenHeaderDisp);
        seam.expect("登録しますか。", static_cast<int16_t>(answer));
        if (answer == AnswerYes) {
            seam.expect("(111)");
            seam.expect("(105)");
        }
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        QCOMPARE(seam.shown.first().text,
                 QStringLiteral("            登録しますか。\r\n\r\n"
                                "   はい　・・・　登録する。\r\n"
                                "   いいえ・・・　メインメニューに戻る。"));
        QVERIFY(!screen_instance(ScreenHeaderDisp));
        QVERIFY(screen_instance(ScreenMenu1));
        QCOMPARE(QFile::exists(env.dat()), answer == AnswerYes);
        QCOMPARE(G.ProgressFlags, int16_t(answer == AnswerYes ? 0 : 3));
        QCOMPARE(control(ScreenMenu1, "Command4")->isVisible(), answer == AnswerNo);
    }

    void headerWithoutTreeIsNotWritten() {
        G.ProgressFlags = 2;
        G.HeaderTable(1, 1) = QStringLiteral("T");
        open_screen(ScreenHeaderDisp);
        QCOMPARE(field_shown(1), QStringLiteral("T"));
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
        // A stand-in directory viewer, to see the button open screen 7 by its code.
        register_screen(ScreenDispDirectory, [] {
            return new ScreenWindow(ScreenDispDirectory, QStringLiteral("disp_directory"));
        });
        register_screen(ScreenSearchData, [] {
            return new PlaceholderScreen(ScreenSearchData, QStringLiteral("search_data"));
        });
        ScreenWindow* search = open_screen(ScreenSearchData);
        ScreenWindow* d = search->open_on_top(ScreenHeaderDisp);
        QCOMPARE(d->windowTitle(), QStringLiteral("Tobrin  Ver.1.8a  << B3F1 1999/5 DISC >>"));
        QVERIFY(!search->isEnabled());
        for (int k : {1, 2, 4, 5, 6, 7, 8, 9})
            QCOMPARE(field_shown(k), QStringLiteral("B3F%1").arg(k));
        QCOMPARE(control<QPlainTextEdit>(ScreenHeaderDisp, "Text1")->toPlainText(),
                 QStringLiteral("B3F3"));
        QCOMPARE(control<QPushButton>(ScreenHeaderDisp, "Command1")->text(),
                 QStringLiteral("戻る"));
        QVERIFY(control(ScreenHeaderDisp, "Command3")->isHidden());
        QCOMPARE(control(ScreenHeaderDisp, "Command4")->isVisible(), directoriesOffered);
        if (directoriesOffered) {
            QVERIFY(click(ScreenHeaderDisp, "Command4"));
            QVERIFY(screen_instance(ScreenDispDirectory));
            QVERIFY(!d->isEnabled());
            screen_instance(ScreenDispDirectory)->unload();
            settle();
            QVERIFY(d->isEnabled());
        }
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        QVERIFY(!screen_instance(ScreenHeaderDisp));
        QVERIFY(search->isEnabled() && search->isVisible());
        G.HeaderViewFromSearch = 0;
    }
};

QTEST_MAIN(TstHeaderScreens)
#include "tst_header_screens.moc"
