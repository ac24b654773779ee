// The search screen through its controls: presets as the fields fill and empty, the
// check-box rules, message 208, string and block search with their lists and captions,
// opening a result, and the options and preset kept across a restart.
#include "core/settings.h"
#include "screen_catalogue.h"
#include "search/search_data.h"
#include "ui/screen_manager.h"
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {
SearchDataScreen* screen() {
    return qobject_cast<SearchDataScreen*>(screen_instance(ScreenSearchData));
}
QCheckBox* check(int i) {
    return control<QCheckBox>(ScreenSearchData, QStringLiteral("Check%1").arg(i));
}
QRadioButton* option(const char* name) {
    return control<QRadioButton>(ScreenSearchData, QString::fromLatin1(name));
}
QStringList visible_presets() {
    QStringList l;
    for (int i = 1; i <= 6; ++i) {
        auto* p = control<QRadioButton>(ScreenSearchData, QStringLiteral("Option1_%1").arg(i));
        if (p && p->isVisible()) l << p->text();
    }
    return l;
}
QString caption() {
    return control<QLabel>(ScreenSearchData, QStringLiteral("Label1_1"))->text();
}
void click_box(int i) {
    QTest::mouseClick(check(i), Qt::LeftButton, {}, QPoint(6, check(i)->height() / 2));
    settle();
}
QString checks() {
    QString s;
    for (int i = 1; i <= 5; ++i)
        s += check(i)->isChecked() ? u'1' : u'0';
    return s;
}
} // namespace

class TstSearchScreen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    void open() {
        QVERIFY(open_screen(ScreenSearchData));
        QVERIFY(screen());
    }

  private slots:
    void init() {
        env.start();
        write_sample_catalogue(env.dat());
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void layoutAndCaptions() {
        open();
        QCOMPARE(screen()->windowTitle(), G.WindowTitle);
        QCOMPARE(caption(), QStringLiteral("\n検索結果"));
        const QList<QPair<const char*, const char16_t*>> captions{{"Command1", u"終 了"},
                                                                  {"Command2", u"文字列検索"},
                                                                  {"Command3", u"検索文字全消去"},
                                                                  {"Command4", u"ﾒｲﾝﾒﾆｭｰ"},
                                                                  {"Command5", u"ﾌﾞﾛｯｸ検索"},
                                                                  {"Check1", u"見出し表示"},
                                                                  {"Check2", u"ディレクトリ表示"},
                                                                  {"Check3", u"検索結果ソート"},
                                                                  {"Check4", u"ワイルドカード検索"},
                                                                  {"Check5", u"見出しのみ検索"},
                                                                  {"Option2_1", u"区別無"},
                                                                  {"Option2_2", u"区別有"},
                                                                  {"Option4_1", u"区別無"},
                                                                  {"Option4_2", u"区別有"}};
        for (const auto& [name, text] : captions) {
            auto* b = control<QAbstractButton>(ScreenSearchData, QString::fromLatin1(name));
            QVERIFY2(b, name);
            QCOMPARE(b->text(), QString::fromUtf16(text));
        }
        QCOMPARE(control<QLabel>(ScreenSearchData, "Label1_2")->text(),
                 QStringLiteral("検索文字入力"));
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(control<QLabel>(ScreenSearchData, QStringLiteral("Text3_%1").arg(i))->text(),
                     QStringLiteral("[%1]").arg(i));
        QVERIFY(visible_presets().isEmpty());
        // Result list on the left, the search controls on the right, buttons in one row.
        const QRect list = control(ScreenSearchData, "List1")->geometry();
        QVERIFY(list.right() < control(ScreenSearchData, "Text1_1")->geometry().left());
        QVERIFY(list.bottom() < control(ScreenSearchData, "Command1")->geometry().top());
        QCOMPARE(control(ScreenSearchData, "Command1")->geometry().top(),
                 control(ScreenSearchData, "Command2")->geometry().top());
    }

    // Steps: "N=text" types into field N, "pK" clicks preset K.
    void presets_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("selected");
        const QStringList three{
            QStringLiteral(" [1]  or  [2]   or [3]"),  QStringLiteral(" [1] and  [2]  and [3]"),
            QStringLiteral("([1]  or  [2]) and [3]"),  QStringLiteral("([1] and  [2])  or [3]"),
            QStringLiteral(" [1]  or ([2]  and [3])"), QStringLiteral(" [1] and ([2]   or [3])")};
        QTest::newRow("one field") << QStringList{"2=abc"} << QStringList{} << 1;
        QTest::newRow("1 and 2") << QStringList{"1=a", "2=b"}
                                 << QStringList{"[1]  or [2]", "[1] and [2]"} << 1;
        QTest::newRow("1 and 3") << QStringList{"1=a", "3=b"}
                                 << QStringList{"[1]  or [3]", "[1] and [3]"} << 1;
        QTest::newRow("2 and 3") << QStringList{"3=a", "2=b"}
                                 << QStringList{"[2]  or [3]", "[2] and [3]"} << 1;
        QTest::newRow("blanks fill")
            << QStringList{"1=a", "2=  "} << QStringList{"[1]  or [2]", "[1] and [2]"} << 1;
        QTest::newRow("and stays with three")
            << QStringList{"1=a", "2=b", "p2", "3=c"} << three << 2;
        QTest::newRow("or stays with three") << QStringList{"1=a", "3=b", "2=c"} << three << 1;
        QTest::newRow("three to two falls back to or")
            << QStringList{"1=a", "2=b", "3=c", "p4", "1="}
            << QStringList{"[2]  or [3]", "[2] and [3]"} << 1;
        QTest::newRow("three to two keeps and") << QStringList{"1=a", "2=b", "p2", "3=c", "2="}
                                                << QStringList{"[1]  or [3]", "[1] and [3]"} << 2;
        QTest::newRow("hidden keeps the selection")
            << QStringList{"1=a", "2=b", "p2", "2=", "1="} << QStringList{} << 2;
        // The preset picked with three fields comes back when three are filled again.
        QTest::newRow("three-field choice comes back")
            << QStringList{"1=a", "2=b", "3=c", "p5", "3=", "3=d"} << three << 5;
    }
    void presets() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, shown);
        QFETCH(int, selected);
        open();
        for (const QString& s : steps) {
            if (s.startsWith(u'p')) {
                auto* p =
                    control<QRadioButton>(ScreenSearchData, QStringLiteral("Option1_") + s.mid(1));
                QVERIFY(p->isVisible());
                QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(6, p->height() / 2));
            } else {
                type_word(s.left(1).toInt(), s.mid(2));
            }
            settle();
        }
        QCOMPARE(visible_presets(), shown);
        QCOMPARE(screen()->selected_preset(), selected);
        int checked = 0;
        for (int i = 1; i <= 6; ++i)
            checked += control<QRadioButton>(ScreenSearchData, QStringLiteral("Option1_%1").arg(i))
                           ->isChecked();
        QCOMPARE(checked, 1);
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(
                G.SearchWords(k),
                control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_%1").arg(k))->text());
    }

    // Clicks on Check1/2/3/5 from the first-use state "10100".
    void checkRules_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("after");
        QTest::newRow("first use") << QList<int>{} << "10100";
        QTest::newRow("only shown kind stays ticked") << QList<int>{1} << "10100";
        QTest::newRow("paths too") << QList<int>{2} << "11100";
        QTest::newRow("then headers off") << QList<int>{2, 1} << "01100";
        QTest::newRow("then paths off again") << QList<int>{2, 1, 2} << "01100";
        QTest::newRow("header-only forces") << QList<int>{2, 1, 5} << "10101";
        QTest::newRow("forced boxes do not move") << QList<int>{5, 1, 2} << "10101";
        QTest::newRow("header-only off frees them") << QList<int>{5, 5, 2} << "11100";
        QTest::newRow("sort off") << QList<int>{3} << "10000";
        QTest::newRow("wildcard") << QList<int>{4} << "10110";
    }
    void checkRules() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, after);
        open();
        for (int c : clicks)
            click_box(c);
        QCOMPARE(checks(), after);
        QCOMPARE(G.HeaderOnlySearch, int16_t(after[4] == u'1'));
        QCOMPARE(G.SortResults, int16_t(after[2] == u'1'));
    }

    void savedHeaderOnlyOpensForced() {
        G.SavedSettings(5) = QStringLiteral("0");
        G.SavedSettings(6) = QStringLiteral("1");
        G.SavedSettings(9) = QStringLiteral("1");
        open();
        QCOMPARE(checks(), QStringLiteral("10101"));
        QCOMPARE(G.HeaderOnlySearch, int16_t(1));
    }

    void noWordsGives208() {
        open();
        type_word(1, QStringLiteral("tools"));
        QVERIFY(click(ScreenSearchData, "Command2"));
        const QStringList before = listed();
        QVERIFY(!before.isEmpty());
        QVERIFY(click(ScreenSearchData, "Command3"));
        QVERIFY(visible_presets().isEmpty());
        seam.expect(QStringLiteral("検索条件が未入力です。(208)"));
        QVERIFY(click(ScreenSearchData, "Command2"));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(listed(), before);
        QVERIFY(screen()->isEnabled());
        QCOMPARE(screen()->focusWidget(), control(ScreenSearchData, "Text1_1"));
    }

    void stringSearch_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("head");
        const QString a = title_a(), b = title_b();
        const QString counts = QStringLiteral("検索結果 [総数:4 / 見出:2 / ﾃﾞｨﾚｸﾄﾘ:2]");
        QTest::newRow("headers, sorted")
            << QList<int>{} << QStringList{"-1|" + a, "-2|" + b} << counts;
        QTest::newRow("both, sorted")
            << QList<int>{2} << QStringList{"-1|" + a, "-2|" + b, "1|\\DOS\\TOOLS", "2|\\tools"}
            << counts;
        QTest::newRow("both, file order")
            << QList<int>{2, 3} << QStringList{"-1|" + a, "1|\\DOS\\TOOLS", "-2|" + b, "2|\\tools"}
            << counts;
        QTest::newRow("paths only")
            << QList<int>{2, 1} << QStringList{"1|\\DOS\\TOOLS", "2|\\tools"} << counts;
    }
    void stringSearch() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, list);
        QFETCH(QString, head);
        open();
        for (int c : clicks)
            click_box(c);
        G.ProgressFlags = 3;
        seam.label1History.clear();
        type_word(2, QStringLiteral("TOOLS"));
        QVERIFY(click(ScreenSearchData, "Command2"));
        QCOMPARE(listed(), list);
        QCOMPARE(caption(), head + QStringLiteral("\n （結果をﾀﾞﾌﾞﾙｸﾘｯｸすれば見出しを表示。）"));
        QCOMPARE(G.BlockSearchMode, int16_t(0));
        QCOMPARE(G.ProgressFlags, int16_t(0));
        QVERIFY(screen()->isEnabled());
        QVERIFY(!screen_instance(ScreenDispStatus));
        // The scan showed its progress, and the sort its own when it had lines to sort.
        QVERIFY(seam.label1History.join(u'|').contains(QStringLiteral("データ検索中です。")));
        QCOMPARE(seam.label1History.join(u'|').contains(QStringLiteral("データソート中です。")),
                 check(3)->isChecked());
        QCOMPARE(seam.progressShows, seam.progressHides);
    }

    void exitAnsweredNoStays() {
        QFile::remove(env.ini());
        open();
        click_box(2);
        type_word(1, QStringLiteral("kept"));
        seam.expect(QStringLiteral("(001)"), AnswerNo);
        QVERIFY(click(ScreenSearchData, "Command1"));
        QVERIFY2(seam.satisfied(), seam.report());
        QVERIFY(screen_instance(ScreenSearchData));
        QVERIFY(screen()->isEnabled());
        QCOMPARE(control<QLineEdit>(ScreenSearchData, "Text1_1")->text(), QStringLiteral("kept"));
        QCOMPARE(G.SavedSettings(6), QStringLiteral("1"));
        QVERIFY(!QFile::exists(env.ini()));
    }

    void caseAndPresetReachTheSearch() {
        open();
        QTest::mouseClick(option("Option2_2"), Qt::LeftButton, {}, QPoint(6, 6));
        type_word(1, QStringLiteral("TOOLS"));
        QVERIFY(click(ScreenSearchData, "Command2"));
        QCOMPARE(listed(), QStringList{"-1|" + title_a()});
        // [1] and [2]: a block with both words in one path.
        type_word(1, QStringLiteral("DOS"));
        type_word(2, QStringLiteral("Util"));
        QTest::mouseClick(control<QRadioButton>(ScreenSearchData, "Option1_2"), Qt::LeftButton, {},
                          QPoint(6, 6));
        click_box(2);
        QVERIFY(click(ScreenSearchData, "Command2"));
        QCOMPARE(listed(), (QStringList{"-1|" + title_a(), "1|\\DOS\\Util"}));
    }

    void nothingFound() {
        open();
        type_word(1, QStringLiteral("nowhere"));
        seam.expect(QStringLiteral("(309)"));
        QVERIFY(click(ScreenSearchData, "Command2"));
        QVERIFY(listed().isEmpty());
        QCOMPARE(caption(), QStringLiteral("\n検索結果 (一致するﾃﾞｰﾀが見つかりません。)"));
        // Enter in the empty list opens nothing.
        open_row(0);
        QVERIFY(!screen_instance(ScreenHeaderDisp));
        QVERIFY(screen()->isEnabled());
    }

    void keyboardOnly() {
        open();
        QCOMPARE(screen()->focusWidget(), control(ScreenSearchData, "Text1_1"));
        auto* input = control<QLineEdit>(ScreenSearchData, "Text1_1");
        QTest::keyClicks(input, QStringLiteral("tools"));
        QTest::keyClick(input, Qt::Key_Return);
        settle();
        QCOMPARE(listed().size(), 2);
        auto* list = control<QListWidget>(ScreenSearchData, "List1");
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyPress(list, Qt::Key_Enter);
        settle();
        QVERIFY(screen_instance(ScreenHeaderDisp));
        QCOMPARE(G.SelectedBlockNo, int16_t(2));
    }

    void blockSearchKeepsWords() {
        open();
        type_word(1, QStringLiteral("abc"));
        type_word(3, QStringLiteral("x y"));
        click_box(2);
        QVERIFY(click(ScreenSearchData, "Command5"));
        QCOMPARE(listed(), (QStringList{"-1|" + title_a(), "-3|" + title_a(), "-2|" + title_b()}));
        QCOMPARE(caption().section(u'\n', 0, 0),
                 QStringLiteral("検索結果 [総数:3 / 見出:3 / ﾃﾞｨﾚｸﾄﾘ:0]"));
        QCOMPARE(checks(), QStringLiteral("10111"));
        QCOMPARE(G.BlockSearchMode, int16_t(1));
        QCOMPARE(G.HeaderOnlySearch, int16_t(1));
        QCOMPARE(control<QLineEdit>(ScreenSearchData, "Text1_1")->text(), QStringLiteral("abc"));
        QCOMPARE(control<QLineEdit>(ScreenSearchData, "Text1_3")->text(), QStringLiteral("x y"));
        QCOMPARE(G.SearchWords(1), QStringLiteral("abc"));
        QCOMPARE(G.SearchWords(2), QString());
        QCOMPARE(G.SearchWords(3), QStringLiteral("x y"));
        QCOMPARE(visible_presets().size(), 2);
    }

    void openingAPathLine() {
        open();
        click_box(2);
        click_box(3);
        type_word(1, QStringLiteral("tools"));
        QVERIFY(click(ScreenSearchData, "Command2"));
        auto* list = control<QListWidget>(ScreenSearchData, "List1");
        QCOMPARE(list->item(3)->text(), QStringLiteral("\\tools"));
        list->setCurrentRow(3);
        emit list->itemDoubleClicked(list->item(3));
        settle();
        ScreenWindow* view = screen_instance(ScreenHeaderDisp);
        QVERIFY(view);
        QCOMPARE(G.HeaderViewFromSearch, int16_t(1));
        QCOMPARE(G.SelectedBlockNo, int16_t(2));
        QCOMPARE(G.SelectedResultLine, QStringLiteral("\\tools"));
        QCOMPARE(view->windowTitle(), G.WindowTitle + QStringLiteral("  << \\tools >>"));
        QCOMPARE(control<QLabel>(ScreenHeaderDisp, "Label2_1")->text(),
                 QStringLiteral("Windows Power"));
        QCOMPARE(control<QLabel>(ScreenHeaderDisp, "Label2_5")->text(), QStringLiteral("12"));
        QVERIFY(!screen()->isEnabled());
        QVERIFY(control(ScreenHeaderDisp, "Command4")->isVisible());
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 戻る
        QVERIFY(!screen_instance(ScreenHeaderDisp));
        QVERIFY(screen()->isEnabled());
        QVERIFY(screen()->isVisible());
    }

    void headerOnlyHidesDirectoryButton_data() {
        QTest::addColumn<bool>("block");
        QTest::addColumn<bool>("shown");
        QTest::newRow("header-only string search") << false << false;
        QTest::newRow("block search") << true << true;
    }
    void headerOnlyHidesDirectoryButton() {
        QFETCH(bool, block);
        QFETCH(bool, shown);
        open();
        if (block) {
            QVERIFY(click(ScreenSearchData, "Command5"));
        } else {
            click_box(5);
            type_word(1, QStringLiteral("windows"));
            QVERIFY(click(ScreenSearchData, "Command2"));
        }
        open_row(0);
        QVERIFY(screen_instance(ScreenHeaderDisp));
        QCOMPARE(control(ScreenHeaderDisp, "Command4")->isVisible(), shown);
        QVERIFY(control(ScreenHeaderDisp, "Command1")->isVisible());
        QVERIFY(!control(ScreenHeaderDisp, "Command3")->isVisible());
    }

    void menuKeepsOptions() {
        open();
        click_box(3);
        click_box(4);
        QTest::mouseClick(option("Option4_2"), Qt::LeftButton, {}, QPoint(6, 6));
        QVERIFY(click(ScreenSearchData, "Command4"));
        QVERIFY(!screen_instance(ScreenSearchData));
        QVERIFY(screen_instance(ScreenMenu1));
        QCOMPARE(G.SavedSettings(3), QStringLiteral("False"));
        QCOMPARE(G.SavedSettings(4), QStringLiteral("True"));
        QCOMPARE(G.SavedSettings(7), QStringLiteral("0"));
        QCOMPARE(G.SavedSettings(8), QStringLiteral("1"));
        open();
        QCOMPARE(checks(), QStringLiteral("10010"));
        QVERIFY(option("Option4_2")->isChecked());
        QVERIFY(option("Option2_1")->isChecked());
    }

    void closeBoxGoesToMenu() {
        open();
        click_box(2);
        screen()->close();
        settle();
        QVERIFY(!screen_instance(ScreenSearchData));
        QVERIFY(screen_instance(ScreenMenu1));
        QCOMPARE(G.SavedSettings(6), QStringLiteral("1"));
    }

    void restartRestoresOptionsAndPreset() {
        open();
        type_word(1, QStringLiteral("a"));
        type_word(2, QStringLiteral("b"));
        type_word(3, QStringLiteral("c"));
        QTest::mouseClick(control<QRadioButton>(ScreenSearchData, "Option1_6"), Qt::LeftButton, {},
                          QPoint(6, 6));
        QTest::mouseClick(option("Option2_2"), Qt::LeftButton, {}, QPoint(6, 6));
        click_box(5);
        click_box(3);
        // 終 了 answered Yes: the options reach the settings file and the program ends.
        seam.expect(QStringLiteral("(001)"), AnswerYes);
        bool ended = false;
        try {
            click(ScreenSearchData, "Command1");
        } catch (const Terminated&) {
            ended = true;
        }
        QVERIFY(ended);
        QVERIFY2(seam.satisfied(), seam.report());

        env.start(); // the next run reads the settings file
        write_sample_catalogue(env.dat());
        QCOMPARE(G.SavedSettings(10), QStringLiteral("6"));
        open();
        QCOMPARE(checks(), QStringLiteral("10001"));
        QVERIFY(option("Option2_2")->isChecked());
        QVERIFY(option("Option4_1")->isChecked());
        QVERIFY(visible_presets().isEmpty());
        type_word(1, QStringLiteral("a"));
        type_word(2, QStringLiteral("b"));
        QCOMPARE(screen()->selected_preset(), 1);
        type_word(3, QStringLiteral("c"));
        QCOMPARE(screen()->selected_preset(), 6);
    }

    void savedPresetValues_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("twoFields");
        QTest::addColumn<int>("threeFields");
        QTest::newRow("empty") << QString() << 1 << 1;
        QTest::newRow("and") << "2" << 2 << 2;
        QTest::newRow("three-field") << "3" << 1 << 3;
        QTest::newRow("out of range") << "7" << 1 << 1;
        QTest::newRow("not a number") << "x" << 1 << 1;
    }
    void savedPresetValues() {
        QFETCH(QString, saved);
        QFETCH(int, twoFields);
        QFETCH(int, threeFields);
        G.SavedSettings(10) = saved;
        open();
        type_word(1, QStringLiteral("a"));
        type_word(2, QStringLiteral("b"));
        QCOMPARE(screen()->selected_preset(), twoFields);
        type_word(3, QStringLiteral("c"));
        QCOMPARE(screen()->selected_preset(), threeFields);
    }
};

QTEST_MAIN(TstSearchScreen)
#include "tst_search_screen.moc"
