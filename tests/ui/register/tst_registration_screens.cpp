// SPDX-License-Identifier: GPL-3.0-or-later
// The registration screens driven by their controls: the menu's buttons from the
// registration state, its questions and what each answer does (103, the confirmation, the
// forced search), header entry (presets, captions, the all-blank rule, correction) and the
// title list.
#include "gui_fixture.h"
#include <QAbstractItemView>

namespace {
// tobrin.dat as text, the registration time replaced by TIME.
QString catalogue_text(const QString& path) {
    static const QRegularExpression stamp("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d");
    return QString::fromLatin1(read_bytes(path)).replace(stamp, "TIME");
}
// Picks entry `index` of a combo's open list as the user does: arrow keys and Enter, or
// a click (once the list has been open for a double-click's time, as Qt demands).
void pick(QComboBox* c, int index, bool byMouse = false) {
    c->setFocus();
    c->showPopup();
    QAbstractItemView* list = c->view();
    if (byMouse) {
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(index, 0)).center());
    } else {
        list->setCurrentIndex(list->model()->index(0, 0));
        for (int i = 0; i < index; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    }
    settle();
}
// Types `text` into the field `name` key by key (Japanese too, as an input method gives it).
void type_into(const QString& name, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, control(ScreenHeaderInput, name), Qt::Key_unknown,
                            QString(c), {});
    settle();
}
} // namespace

class TstRegistrationScreens : public GuiTest {
    Q_OBJECT
    QComboBox* combo(int i) {
        return control<QComboBox>(ScreenHeaderInput, "Combo1_" + QString::number(i));
    }

  private slots:
    void init() {
        QFile::remove(env.dat());
        seam.shown.clear();
        env.start();
        G.MagazineCount = 3;
        G.MagazineTitles = Array1<QString>{"月刊ALPHA", "BETA WORLD", "GAMMA"};
        G.MagazinePublishers = Array1<QString>{"アルファ社", "", "ガンマ出版"};
        G.VolumeLabel = QStringLiteral("VOL1");
        // One acquired entry \A below the root, as a walk leaves it.
        G.DirCount = G.EntryCount = G.EntryParentIndex(1) = 1;
        G.DirPaths(1) = QStringLiteral("\\");
        G.EntryNames(1) = QStringLiteral("A");
    }
    void cleanup() { end_test(); }

    void menuButtonsFollowTheRegistrationState_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("dataFile");
        QTest::addColumn<QString>("headerCaption"); // empty: hidden
        QTest::addColumn<bool>("registerShown");
        QTest::addRow("nothing pending, no catalogue") << 0 << 1 << 0 << "" << false;
        QTest::addRow("acquired") << 1 << 7 << 1 << "見出し入力" << true;
        QTest::addRow("acquired nothing") << 1 << 0 << 1 << "" << true;
        QTest::addRow("header only") << 2 << 0 << 1 << "見出し修正" << false;
    }
    void menuButtonsFollowTheRegistrationState() {
        QFETCH(int, flags);
        QFETCH(int, entries);
        QFETCH(int, dataFile);
        QFETCH(QString, headerCaption);
        QFETCH(bool, registerShown);
        G.ProgressFlags = int16_t(flags);
        G.EntryCount = int16_t(entries);
        G.DataFileState = int16_t(dataFile);
        open_screen(ScreenMenu1);
        const bool header = control(ScreenMenu1, "Command2")->isVisible();
        QCOMPARE(header ? text_of(ScreenMenu1, "Command2") : QString(), headerCaption);
        QCOMPARE(control(ScreenMenu1, "Command4")->isVisible(), registerShown);
        QCOMPARE(control(ScreenMenu1, "Command5")->isEnabled(), dataFile == 1);
    }

    // The menu's and the confirmation's questions, each answer's outcome: No leaves the work
    // pending on the menu; Yes ends it (the forced search opens the search screen). Registering
    // without a header writes empty headers, never what an earlier registration or search
    // left, with the volume label and drive.
    void questions_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("button");   // Command1 on the block view, else on the menu
        QTest::addColumn<QString>("question"); // empty: none asked
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("written"); // empty: no catalogue
        const QString noHeader =
            QStringLiteral("見出しが未入力です。(103)\r\nこのまま継続しますか。\r\n\r\n"
                           "　　　はい　・・・　登録する。\r\n　　　いいえ・・・　登録しない。");
        const QString confirm = QStringLiteral("            登録しますか。\r\n\r\n"
                                               "   はい　・・・　登録する。\r\n"
                                               "   いいえ・・・　メインメニューに戻る。");
        const QString forced =
            QStringLiteral("登録作業が完了していません。検索を強行すれば取得したディレクトリ\r\n"
                           "と見出しデータが無効となります。検索を強行しますか。\r\n\r\n"
                           "　　　　　　[はい]　・・・　強行する。　　　　　　\r\n"
                           "　　　　　　[いいえ]・・・　メインメニューに戻る。\r\n");
        const QString emptyHeaders =
            "*01\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"TIME\"\r\n"
            "\"VOL1\"\r\n\"q\"\r\n\"\"\r\n*02\r\n\\\r\n*03\r\n1,A\r\n";
        const int no = AnswerNo, yes = AnswerYes;
        QTest::addRow("103 answered Yes") << 1 << "Command4" << noHeader << yes << emptyHeaders;
        QTest::addRow("confirmation answered No") << 3 << "Command1" << confirm << no << QString();
        QTest::addRow("header without a tree") << 2 << "Command1" << QString() << no << QString();
        QTest::addRow("forced search answered Yes")
            << 3 << "Command5" << forced << yes << QString();
    }
    void questions() {
        QFETCH(int, flags);
        QFETCH(QString, button);
        QFETCH(QString, question);
        QFETCH(int, answer);
        QFETCH(QString, written);
        G.ProgressFlags = int16_t(flags);
        G.DataFileState = 1;
        for (int k = 1; k <= 10; ++k)
            G.HeaderTable(1, k) = QStringLiteral("OLD%1").arg(k);
        const int16_t screen = button == "Command1" ? ScreenHeaderDisp : ScreenMenu1;
        open_screen(screen);
        if (!question.isEmpty()) seam.expect(question.trimmed().left(8), int16_t(answer));
        if (!written.isEmpty()) seam.expect("(111)"), seam.expect("(105)");
        QVERIFY(click(screen, button));
        if (!question.isEmpty()) QCOMPARE(seam.shown.first().text, question);
        QCOMPARE(G.ProgressFlags, int16_t(answer == AnswerYes ? 0 : flags));
        const bool searching = button == "Command5" && answer == AnswerYes;
        QVERIFY(screen_instance(searching ? ScreenSearchData : ScreenMenu1));
        QCOMPARE(QFile::exists(env.dat()), !written.isEmpty());
        if (!written.isEmpty()) QCOMPARE(catalogue_text(env.dat()), written);
    }

    // From the menu: empty title and publisher, this year and month, the configured captions
    // (the default where none is set), and no header view left from a search. Year and month
    // alone store nothing. 修 正 reopens the stored entry (its year and month, not today's);
    // the confirmation's memo cannot be edited.
    void headerEntry() {
        G.HeaderLabelCaptions = Array1<QString>{"雑誌名", "", "", "巻号"};
        G.ProgressFlags = 1;
        G.HeaderViewFromSearch = 1;
        open_screen(ScreenMenu1);
        QVERIFY(click(ScreenMenu1, "Command2"));
        QCOMPARE(G.HeaderViewFromSearch, int16_t(0));
        QCOMPARE(text_of(ScreenHeaderInput, "Label1_1"), QStringLiteral("雑誌名"));
        QCOMPARE(text_of(ScreenHeaderInput, "Label1_2"), QStringLiteral("見出し２"));
        QVERIFY(combo(1)->currentText().isEmpty() && combo(2)->currentText().isEmpty());
        QCOMPARE(combo(3)->currentText(), QString::number(QDate::currentDate().year()));
        QCOMPARE(combo(4)->currentText(), QString::number(QDate::currentDate().month()));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(G.ProgressFlags, int16_t(1));
        QCOMPARE(text_of(ScreenHeaderDisp, "Label1_4"), QStringLiteral("巻号"));
        for (int k : {1, 2, 4, 5, 6, 7})
            QCOMPARE(text_of(ScreenHeaderDisp, QStringLiteral("Label2_%1").arg(k)), QString());
        QVERIFY(click(ScreenHeaderDisp, "Command3"));
        type_into("Text1_1", QStringLiteral("一行目"));
        QTest::keyClick(control(ScreenHeaderInput, "Text1_1"), Qt::Key_Return);
        type_into("Text1_1", QStringLiteral("二行目"));
        combo(3)->setEditText(QStringLiteral("1999"));
        type_into("Text1_2", QStringLiteral("第3号"));
        QVERIFY(click(ScreenHeaderInput, "Command1_3"));
        QCOMPARE(G.ProgressFlags, int16_t(3));
        QCOMPARE(G.HeaderTable(1, 3), QStringLiteral("一行目\r\n二行目"));
        QVERIFY(control<QPlainTextEdit>(ScreenHeaderDisp, "Text1")->isReadOnly());
        QVERIFY(click(ScreenHeaderDisp, "Command3"));
        QCOMPARE(combo(3)->currentText() + text_of(ScreenHeaderInput, "Text1_1"),
                 QStringLiteral("1999一行目\n二行目"));
    }

    // A title picked by arrow keys and Enter or by a click brings its publisher (when it has
    // one). A typed title brings nothing, not even a preset's exact title with Enter or Tab
    // (leaving the field finishes the edit only in the active window), and is not added to
    // the list.
    void pickingATitleFillsItsPublisher() {
        open_screen(ScreenHeaderInput);
        type_into("Combo1_2", QStringLiteral("手入力社"));
        pick(combo(1), 1);
        QCOMPARE(combo(2)->currentText(), QStringLiteral("手入力社"));
        pick(combo(1), 2);
        QCOMPARE(combo(2)->currentText(), QStringLiteral("ガンマ出版"));
        pick(combo(1), 0, true);
        QCOMPARE(combo(2)->currentText(), QStringLiteral("アルファ社"));
        QVERIFY(focus_after_activation(screen_instance(ScreenHeaderInput)));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Tab}) {
            combo(1)->lineEdit()->clear();
            combo(2)->setEditText(QStringLiteral("手入力社"));
            combo(1)->setFocus();
            QTest::keyClicks(combo(1)->lineEdit(), QStringLiteral("GAMMA"));
            QTest::keyClick(combo(1)->lineEdit(), key);
            settle();
            QCOMPARE(combo(2)->currentText() + combo(1)->currentText(), "手入力社GAMMA");
            QCOMPARE(QApplication::focusWidget() == combo(1), key == Qt::Key_Return);
            QCOMPARE(combo(1)->count(), 3);
        }
    }
};

QTEST_MAIN(TstRegistrationScreens)
#include "tst_registration_screens.moc"
