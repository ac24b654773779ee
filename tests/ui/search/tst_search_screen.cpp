// SPDX-License-Identifier: GPL-3.0-or-later
// The search flow through its controls: presets as the fields fill and empty, string and
// block search with their lists and captions, message 208, opening a result in the block view
// by keyboard, and the directory viewer.
#include "gui_fixture.h"
#include "test_catalogue.h"
#include <QListView>

namespace {
const QString A = "-1|DOS/V magazine 1999  5  [Vol:CD01]", B = "-2|Windows Power 2000 12";
} // namespace

class TstSearchScreen : public GuiTest {
    Q_OBJECT
    // Three media; the first and third carry the same title line, with other directories.
    QStringList catalogue;

    ScreenWindow* screen() { return screen_instance(ScreenSearchData); }
    template <class T = QAbstractButton> T* ctl(const QString& name, int16_t s = ScreenSearchData) {
        return control<T>(s, name);
    }
    QListView* results() { return ctl<QListView>("List1"); }
    void open() { QVERIFY(open_screen(ScreenSearchData)); }
    // The captions of the presets shown; the boxes ticked ("10100").
    QStringList visible_presets() {
        QStringList l;
        for (int i = 1; i <= 6; ++i)
            if (auto* p = ctl(QStringLiteral("Option1_%1").arg(i)); p->isVisible()) l << p->text();
        return l;
    }
    QString checks() {
        QString s;
        for (int i = 1; i <= 5; ++i)
            s += ctl(QStringLiteral("Check%1").arg(i))->isChecked() ? u'1' : u'0';
        return s;
    }
    // The list's entries as "kind|text".
    QStringList listed() {
        QStringList l;
        for (int i = 0; i < results()->model()->rowCount(); ++i) {
            const QModelIndex row = results()->model()->index(i, 0);
            l << row.data(Qt::UserRole).toString() + u'|' + row.data().toString();
        }
        return l;
    }
    // Steps separated by commas: "N=text" types into field N, "Enter" presses Enter in field
    // [1]; any other step clicks the control of that name on its box.
    void run_steps(const QString& steps) {
        for (const QString& s : steps.split(u',', Qt::SkipEmptyParts)) {
            if (s == "Enter") {
                ctl<QLineEdit>("Text1_1")->setFocus();
                QTest::keyClick(ctl<QLineEdit>("Text1_1"), Qt::Key_Return);
            } else if (s.size() > 1 && s[1] == u'=') {
                ctl<QLineEdit>(QStringLiteral("Text1_") + s[0])->setText(s.mid(2));
            } else {
                auto* c = ctl(s);
                QVERIFY2(c && c->isVisible(), qPrintable(s));
                QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
            }
            settle();
        }
    }

  private slots:
    void init() {
        env.start();
        TestBlock b{.title = "Windows Power", .year = "2000", .month = "12"};
        b.entries = {"1,WIN", "1,tools", "1,&#56449;bad"};
        catalogue = b.lines();
        b = {.title = "DOS/V magazine", .year = "1999", .month = "5", .volume = "CD01"};
        b.entries = {"1,ZIP", "1,ARC"};
        catalogue += b.lines();
        b.parents = {"\\", "\\DOS\\"};
        b.entries = {"1,DOS", "1,GAMES", "2,TOOLS", "2,Util"};
        catalogue = b.lines() + catalogue;
        use_catalogue(env.home.path(), catalogue);
    }
    void cleanup() { end_test(); }

    // The and/or presets follow the filled fields, naming them; a selected one stays while it
    // is offered again.
    void presetsFollowTheFields() {
        open();
        run_steps("1=a,2=  ");
        QCOMPARE(visible_presets(), QStringList({"[1]  or [2]", "[1] and [2]"}));
        run_steps("Option1_2,3=c");
        QCOMPARE(visible_presets().size(), 6);
        QCOMPARE(visible_presets().at(5), QStringLiteral(" [1] and ([2]   or [3])"));
        run_steps("2=");
        QCOMPARE(visible_presets(), QStringList({"[1]  or [3]", "[1] and [3]"}));
        QVERIFY(ctl("Option1_2")->isChecked());
    }

    // The boxes and options as the list shows them, with their caption; the screen is
    // disabled while the scan shows its progress. Block search leaves its boxes ticked and
    // the typed words in place. Searching with the fields cleared (検索文字全消去) gives 208,
    // keeps the list and puts the focus back in field [1]. By keyboard: a search by Enter in
    // [1] leaves the first line chosen, Enter in the list opens its block (nothing in an empty
    // list), and closing the block view gives the keys back to the list.
    void search_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("head");
        const QString counts = QStringLiteral("検索結果 [総数:4 / 見出:2 / ﾃﾞｨﾚｸﾄﾘ:2]");
        const QString one = QStringLiteral("検索結果 [総数:2 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:1]");
        const QString p1 = "1|\\DOS\\TOOLS", p2 = "2|\\tools";
        const auto row = [](const char* name, const char* steps, const QStringList& list,
                            const QString& head) {
            QTest::newRow(name) << QString(steps) << list << head;
        };
        row("headers, sorted", "1=TOOLS,Enter", {A, B}, counts);
        row("both, sorted", "Check2,1=TOOLS,Enter", {A, B, p1, p2}, counts);
        row("both, file order", "Check2,Check3,1=TOOLS,Enter", {A, p1, B, p2}, counts);
        row("paths only", "Check2,Check1,1=TOOLS,Enter", {p1, p2}, counts);
        row("case kept", "Option2_2,1=TOOLS,Enter", {A}, one);
        row("nothing found", "1=nowhere,Enter", {},
            QStringLiteral("\n検索結果 (一致するﾃﾞｰﾀが見つかりません。)"));
        row("header-only", "Check5,1=windows,Enter", {B},
            QStringLiteral("検索結果 [総数:1 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:0]"));
        row("208 after clearing", "1=TOOLS,Enter,Command3,Command2", {A, B}, counts);
        row("block search", "1=abc,3=x y,Check2,Command5", {A, "-3" + A.mid(2), B},
            QStringLiteral("検索結果 [総数:3 / 見出:3 / ﾃﾞｨﾚｸﾄﾘ:0]"));
    }
    void search() {
        QFETCH(QString, steps);
        QFETCH(QStringList, list);
        QFETCH(QString, head);
        open();
        bool disabled = false;
        seam.onYield = [&] { disabled = disabled || !screen()->isEnabled(); };
        if (steps.contains("Command3")) seam.expect(QStringLiteral("検索条件が未入力です。(208)"));
        if (list.isEmpty()) seam.expect(QStringLiteral("(309)"));
        run_steps(steps);
        seam.onYield = nullptr;
        QCOMPARE(listed(), list);
        QCOMPARE(text_of(ScreenSearchData, "Label1_1"),
                 list.isEmpty() ? head : head + "\n （結果をﾀﾞﾌﾞﾙｸﾘｯｸすれば見出しを表示。）");
        QVERIFY(disabled && screen()->isEnabled());
        QCOMPARE(G.BlockSearchMode, int16_t(steps.contains("Command5")));
        if (G.BlockSearchMode)
            QCOMPARE(checks() + text_of(ScreenSearchData, "Text1_3"), "10111x y");
        if (G.BlockSearchMode) return;
        QCOMPARE(focus_after_activation(screen()), ctl<QWidget>("Text1_1"));
        QCOMPARE(results()->currentIndex().row(), list.isEmpty() ? -1 : 0);
        results()->setFocus();
        QTest::keyPress(results(), Qt::Key_Return);
        settle();
        QCOMPARE(screen_instance(ScreenHeaderDisp) != nullptr, !list.isEmpty());
        if (list.isEmpty()) return;
        // The block view: caption with the line, fields of its block, ﾃﾞｨﾚｸﾄﾘ表示 hidden
        // after a header-only string search alone.
        QCOMPARE(screen_instance(ScreenHeaderDisp)->windowTitle(),
                 G.WindowTitle + "  << " + list[0].section(u'|', 1) + " >>");
        QCOMPARE(text_of(ScreenHeaderDisp, "Label2_1"),
                 G.SelectedBlockNo == 2 ? "Windows Power" : "DOS/V magazine");
        QCOMPARE(ctl("Command4", ScreenHeaderDisp)->isVisible(), !steps.contains("Check5"));
        QVERIFY(!screen()->isEnabled() && click(ScreenHeaderDisp, "Command1")); // 戻る
        QCOMPARE(focus_after_activation(screen()), results());
    }

    // A line wider than the list is shown whole and copied. ﾃﾞｨﾚｸﾄﾘ表示 on a block opens the
    // viewer over the disabled block view, at its stored size (by default 4248 twips high),
    // the text taking what is left: the block's own paths, capitals before small letters. Its
    // arrow keys move the cursor and Ctrl+C copies that line, a name as the catalogue stores
    // it, so that it can be searched for again. The close box and 戻 る give the block view
    // back. With the title changed in the file since the search: message 505 and the result
    // line as the label.
    void linesWholeAndViewer() {
        const QString name = QStringLiteral("とても長いディレクトリ名").repeated(8);
        const TestBlock wide{
            .title = "Long", .year = "2001", .month = "1", .entries = {"1," + name}};
        use_catalogue(env.home.path(), catalogue + wide.lines());
        open();
        run_steps("Check2,1=とても長い,Enter");
        check_row_whole_and_copied(results(), 1, u'\\' + name);
        run_steps("Command5");
        open_row(results(), 3); // Windows Power, the last block in the sorted list
        QVERIFY(click(ScreenHeaderDisp, "Command4"));
        ScreenWindow* viewer = screen_instance(ScreenDispDirectory);
        QCOMPARE(viewer->windowTitle(), G.MsgBoxTitle + "  << " + G.SelectedResultLine + " >>");
        QCOMPARE(text_of(ScreenDispDirectory, "Label1"), QStringLiteral("ディレクトリ数： 3個"));
        QCOMPARE(text_of(ScreenDispDirectory, "Text1"), "\\WIN\n\\tools\n\\&#56449;bad");
        QVERIFY(!screen_instance(ScreenHeaderDisp)->isEnabled());
        QCOMPARE(viewer->height(), ScreenWindow::tw(4248));
        auto* text = control<QPlainTextEdit>(ScreenDispDirectory, "Text1");
        QVERIFY(text->geometry().bottom() < ctl("Command1", ScreenDispDirectory)->y());
        QVERIFY(ctl("Command1", ScreenDispDirectory)->geometry().bottom() < viewer->height());
        text->setFocus();
        QTest::keyClick(text, Qt::Key_Down);
        QTest::keyClick(text, Qt::Key_Down);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied, QStringLiteral("\\&#56449;bad"));
        QVERIFY(viewer->close());
        settle();
        QVERIFY(screen_instance(ScreenHeaderDisp)->isEnabled());
        write_bytes(env.dat(), read_bytes(env.dat()).replace("Windows", "Other"));
        seam.expect(QStringLiteral("ディレクトリが見つかりませんでした。(505)"));
        QVERIFY(click(ScreenHeaderDisp, "Command4"));
        QCOMPARE(text_of(ScreenDispDirectory, "Label1"), G.SelectedResultLine);
        QVERIFY(click(ScreenDispDirectory, "Command1"));
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 戻る
        QVERIFY(!screen_instance(ScreenHeaderDisp) && screen()->isEnabled());
        run_steps("Check5,Check2,1=" + copied + ",Enter");
        QCOMPARE(listed().last(), "2|" + copied);
    }
};

QTEST_MAIN(TstSearchScreen)
#include "tst_search_screen.moc"
