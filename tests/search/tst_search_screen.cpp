// SPDX-License-Identifier: GPL-3.0-or-later
// The search flow through its controls, over a catalogue made by the writer: presets as the
// fields fill and empty and the one remembered, the check-box rules, message 208, string and
// block search with their lists and captions, opening a result in the block view, the
// directory viewer, and the options kept through the menu, the close box and a restart.
#include "../ui/gui_fixture.h"
#include "catalogue/writer.h"
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {
// Appends one block as a registration writes it: the ten header fields joined by commas,
// parent slots, entries "slot,name".
void append_block(const QString& dat, const QString& head, const QStringList& parents,
                  const QStringList& entries) {
    for (int k = 1; k <= 10; ++k)
        G.HeaderTable(1, k) = head.section(u',', k - 1, k - 1);
    G.DirCount = int16_t(parents.size());
    for (int i = 0; i < parents.size(); ++i)
        G.DirPaths(i + 1) = parents[i];
    G.EntryCount = int16_t(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        G.EntryParentIndex(i + 1) = int16_t(entries[i].section(u',', 0, 0).toInt());
        G.EntryNames(i + 1) = entries[i].section(u',', 1);
    }
    QFile f(dat);
    QVERIFY(f.open(QIODevice::Append) && f.write(encode_catalogue_block()) > 0);
}
const QString A = "-1|DOS/V magazine 1999  5  [Vol:CD01]", B = "-2|Windows Power 2000 12";
const QString NotFound = QStringLiteral("ディレクトリが見つかりませんでした。");

ScreenWindow* screen() {
    return screen_instance(ScreenSearchData);
}
template <class T = QAbstractButton> T* ctl(const QString& name, int16_t s = ScreenSearchData) {
    return control<T>(s, name);
}
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
// The three fields.
QString fields() {
    QString s;
    for (int k = 1; k <= 3; ++k)
        s += ctl<QLineEdit>(QStringLiteral("Text1_%1").arg(k))->text() + u'|';
    return s;
}
QListView* list() {
    return ctl<QListView>("List1");
}
int rows() {
    return list()->model()->rowCount();
}
// The list's entries as "kind|text".
QStringList listed() {
    QStringList l;
    for (int i = 0; i < rows(); ++i) {
        const QModelIndex row = list()->model()->index(i, 0);
        l << row.data(Qt::UserRole).toString() + u'|' + row.data().toString();
    }
    return l;
}
// "N=text" types into field N, "Enter" presses Enter in field [1]; any other step clicks the
// control of that name on its box.
void run_steps(const QStringList& steps) {
    for (const QString& s : steps) {
        if (s == "Enter") {
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
// Opens entry `row` of List1 by a double-click (a click, then the second press) or by Enter
// (only the press: the release would reach a list that the opened view disabled).
void open_row(int row, bool byMouse) {
    const QModelIndex index = list()->model()->index(row, 0);
    list()->setCurrentIndex(index);
    if (byMouse) {
        const QPoint at = list()->visualRect(index).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    } else {
        QTest::keyPress(list(), Qt::Key_Return);
    }
    settle();
}
} // namespace

class TstSearchScreen : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    void open() { QVERIFY(open_screen(ScreenSearchData)); }

  private slots:
    // Three media; the first and third carry the same title line, with other directories.
    void init() {
        QFile::remove(env.ini());
        env.start();
        QFile::remove(env.dat());
        const QString dosv = "DOS/V magazine,,,1999,5,,1999/05/12 10:30:00,CD01,q,";
        append_block(env.dat(), dosv, {"\\", "\\DOS\\"}, {"1,DOS", "1,GAMES", "2,TOOLS", "2,Util"});
        append_block(env.dat(), "Windows Power,,,2000,12,,1999/05/12 10:30:00,,q,", {"\\"},
                     {"1,WIN", "1,tools", QString("1,") + QChar(0xDC81) + "bad"});
        append_block(env.dat(), dosv, {"\\"}, {"1,ZIP", "1,ARC"});
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // `saved`: SavedSettings(5..10), Check1..5 and the preset ("" is a first use; a leading "-"
    // empties SavedSettings(1)). Steps type into the fields and click presets and boxes; the
    // presets shown, the selected one and the boxes follow.
    void controls_data() {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("boxes");
        const QStringList three{
            QStringLiteral(" [1]  or  [2]   or [3]"),  QStringLiteral(" [1] and  [2]  and [3]"),
            QStringLiteral("([1]  or  [2]) and [3]"),  QStringLiteral("([1] and  [2])  or [3]"),
            QStringLiteral(" [1]  or ([2]  and [3])"), QStringLiteral(" [1] and ([2]   or [3])")};
        const QStringList ab{"1=a", "2=b"}, abc{"1=a", "2=b", "3=c"};
        const QStringList one2{"[1]  or [2]", "[1] and [2]"};
        const auto row = [](const char* name, const char* saved, const QStringList& steps,
                            const QStringList& shown, int selected, const char* boxes = "10100") {
            QTest::newRow(name) << QString(saved) << steps << shown << selected << QString(boxes);
        };
        row("one field", "", {"2=abc"}, {}, 1);
        row("1 and 2", "", ab, one2, 1);
        row("blanks fill", "", {"1=a", "2=  "}, one2, 1);
        row("and stays with three", "", ab + QStringList{"Option1_2", "3=c"}, three, 2);
        row("three to two falls back to or", "", abc + QStringList{"Option1_4", "1="},
            {"[2]  or [3]", "[2] and [3]"}, 1);
        row("three to two keeps and", "", ab + QStringList{"Option1_2", "3=c", "2="},
            {"[1]  or [3]", "[1] and [3]"}, 2);
        row("hidden keeps the selection", "", ab + QStringList{"Option1_2", "2=", "1="}, {}, 2);
        row("six-way choice comes back", "", abc + QStringList{"Option1_5", "3=", "3=d"}, three, 5);
        row("saved and", "101002", ab, one2, 2);
        row("saved three-field preset, two fields", "101003", ab, one2, 1);
        row("saved three-field preset, three fields", "101003", abc, three, 3);
        row("saved preset out of range", "101007", abc, three, 1);
        row("the only shown kind stays ticked", "", {"Check1"}, {}, 1, "10100");
        row("paths too", "", {"Check2"}, {}, 1, "11100");
        row("then headers off", "", {"Check2", "Check1"}, {}, 1, "01100");
        row("header-only forces", "", {"Check2", "Check1", "Check5"}, {}, 1, "10101");
        row("forced boxes do not move", "", {"Check5", "Check1", "Check2"}, {}, 1, "10101");
        row("header-only off frees them", "", {"Check5", "Check5", "Check2"}, {}, 1, "11100");
        row("sort off", "", {"Check3"}, {}, 1, "10000");
        row("saved header-only opens forced", "01101", {}, {}, 1, "10101");
        row("saved with no kind shown", "00100", {}, {}, 1, "10100");
        row("no saved options: boxes clear but one kind", "-11111", {}, {}, 1, "10000");
    }
    void controls() {
        QFETCH(QString, saved);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, shown);
        QFETCH(int, selected);
        QFETCH(QString, boxes);
        if (saved.startsWith(u'-')) {
            G.SavedSettings(1).clear();
            saved.remove(0, 1);
        }
        for (int i = 0; i < saved.size(); ++i)
            G.SavedSettings(5 + i) = saved.mid(i, 1);
        open();
        run_steps(steps);
        QCOMPARE(visible_presets(), shown);
        QVERIFY(ctl(QStringLiteral("Option1_%1").arg(selected))->isChecked());
        QCOMPARE(checks(), boxes);
        QCOMPARE(G.HeaderOnlySearch, int16_t(boxes[4] == u'1'));
        QCOMPARE(G.SortResults, int16_t(boxes[2] == u'1'));
    }

    // By keyboard: Enter in field [1] searches, Enter in the list opens the first entry's
    // block and nothing in an empty list. The screen is disabled while the scan and the sort
    // show their progress. Block search leaves its boxes ticked and the typed words in place.
    // Searching with the fields cleared (検索文字全消去) gives 208, keeps the list and puts
    // the focus back in field [1].
    void search_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("head");
        const QString counts = QStringLiteral("検索結果 [総数:4 / 見出:2 / ﾃﾞｨﾚｸﾄﾘ:2]");
        const QString one = QStringLiteral("検索結果 [総数:2 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:1]");
        const QString p1 = "1|\\DOS\\TOOLS", p2 = "2|\\tools";
        const auto row = [](const char* name, const QStringList& steps, const QStringList& list,
                            const QString& head) { QTest::newRow(name) << steps << list << head; };
        row("headers, sorted", {"1=TOOLS", "Enter"}, {A, B}, counts);
        row("both, sorted", {"Check2", "1=TOOLS", "Enter"}, {A, B, p1, p2}, counts);
        row("both, file order", {"Check2", "Check3", "1=TOOLS", "Enter"}, {A, p1, B, p2}, counts);
        row("paths only", {"Check2", "Check1", "1=TOOLS", "Enter"}, {p1, p2}, counts);
        row("case kept", {"Option2_2", "1=TOOLS", "Enter"}, {A}, one);
        row("and: both words in one path", {"Check2", "1=DOS", "2=Util", "Option1_2", "Enter"},
            {A, "1|\\DOS\\Util"}, one);
        row("nothing found", {"1=nowhere", "Enter"}, {},
            QStringLiteral("\n検索結果 (一致するﾃﾞｰﾀが見つかりません。)"));
        row("header-only", {"Check5", "1=windows", "Enter"}, {B},
            QStringLiteral("検索結果 [総数:1 / 見出:1 / ﾃﾞｨﾚｸﾄﾘ:0]"));
        row("208 after clearing", {"1=TOOLS", "Enter", "Command3", "Command2"}, {A, B}, counts);
        row("block search", {"1=abc", "3=x y", "Check2", "Command5"}, {A, "-3" + A.mid(2), B},
            QStringLiteral("検索結果 [総数:3 / 見出:3 / ﾃﾞｨﾚｸﾄﾘ:0]"));
    }
    void search() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, list);
        QFETCH(QString, head);
        open();
        QCOMPARE(screen()->focusWidget(), ctl<QLineEdit>("Text1_1"));
        seam.label1History.clear();
        bool disabled = false;
        seam.onYield = [&] { disabled = disabled || !screen()->isEnabled(); };
        if (steps.contains("Command3")) seam.expect(QStringLiteral("検索条件が未入力です。(208)"));
        if (list.isEmpty()) seam.expect(QStringLiteral("(309)"));
        run_steps(steps);
        seam.onYield = nullptr;
        QCOMPARE(listed(), list);
        QCOMPARE(ctl<QLabel>("Label1_1")->text(),
                 list.isEmpty() ? head : head + "\n （結果をﾀﾞﾌﾞﾙｸﾘｯｸすれば見出しを表示。）");
        QVERIFY(disabled && screen()->isEnabled());
        const QString progress = seam.label1History.join(u'|');
        QVERIFY(progress.contains(QStringLiteral("データ検索中です。")));
        QCOMPARE(progress.contains(QStringLiteral("データソート中です。")),
                 G.SortResults && G.ResultLineCount > 1);
        QCOMPARE(seam.progressShows, seam.progressHides);
        // The words the search runs with are the fields' again.
        QCOMPARE(G.SearchWords(1) + u'|' + G.SearchWords(2) + u'|' + G.SearchWords(3) + u'|',
                 fields());
        if (steps.contains("Command3"))
            QCOMPARE(screen()->focusWidget(), ctl<QLineEdit>("Text1_1"));
        QCOMPARE(G.BlockSearchMode, int16_t(steps.contains("Command5")));
        if (G.BlockSearchMode) QCOMPARE(checks() + fields(), QStringLiteral("10111abc||x y|"));
        open_row(0, false);
        QCOMPARE(screen_instance(ScreenHeaderDisp) != nullptr, !list.isEmpty());
        QCOMPARE(screen()->isEnabled(), list.isEmpty());
        if (list.isEmpty()) return;
        // The block view: caption with the line, fields of its block, ﾃﾞｨﾚｸﾄﾘ表示 hidden
        // after a header-only string search alone.
        QCOMPARE(G.SelectedBlockNo, int16_t(qAbs(list[0].section(u'|', 0, 0).toInt())));
        QCOMPARE(screen_instance(ScreenHeaderDisp)->windowTitle(),
                 G.WindowTitle + "  << " + list[0].section(u'|', 1) + " >>");
        QCOMPARE(ctl<QLabel>("Label2_1", ScreenHeaderDisp)->text(),
                 G.SelectedBlockNo == 2 ? "Windows Power" : "DOS/V magazine");
        QCOMPARE(ctl("Command4", ScreenHeaderDisp)->isVisible(), !steps.contains("Check5"));
    }

    // A result opened by double-click, then ﾃﾞｨﾚｸﾄﾘ表示: the paths among the results after a
    // string search, the block's own from the file after a block search, even with equal title
    // lines. Count -1: the title is changed in the file after the search, message 505 and the
    // result line as the label. The close box and then 戻 る give the block view back, usable
    // each time; 戻る the search screen.
    void viewer_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("dirs");
        QTest::addColumn<int>("count");
        const QStringList blocks{"Command5"};
        const auto row = [](const char* name, const QStringList& steps, int row,
                            const QString& dirs,
                            int count) { QTest::newRow(name) << steps << row << dirs << count; };
        // Sorted block list: block 1, block 3 (the same title line), block 2.
        row("first of two equal titles", blocks, 0, "\\DOS\n\\DOS\\TOOLS\n\\DOS\\Util\n\\GAMES", 4);
        row("second of two equal titles", blocks, 1, "\\ARC\n\\ZIP", 2);
        row("other block, a name byte that decodes to nothing as stored", blocks, 2,
            "\\WIN\n\\tools\n\\&#56449;bad", 3);
        row("file order", {"Check3", "Command5"}, 2, "\\ZIP\n\\ARC", 2);
        row("string search: the result's paths", {"Check2", "Check3", "1=tools", "Command2"}, 1,
            "\\DOS\\TOOLS", 1);
        row("header match without paths", {"1=windows", "Command2"}, 0, NotFound, 0);
        row("title changed after the search", blocks, 0, NotFound, -1);
    }
    void viewer() {
        QFETCH(QStringList, steps);
        QFETCH(int, row);
        QFETCH(QString, dirs);
        QFETCH(int, count);
        open();
        run_steps(steps);
        if (count < 0) write_bytes(env.dat(), read_bytes(env.dat()).replace("DOS/V", "Other"));
        open_row(row, true);
        ScreenWindow* view = screen_instance(ScreenHeaderDisp);
        for (bool closeBox : {true, false}) {
            if (count < 0) seam.expect(NotFound + "(505)");
            QVERIFY(click(ScreenHeaderDisp, "Command4"));
            ScreenWindow* viewer = screen_instance(ScreenDispDirectory);
            QCOMPARE(viewer->windowTitle(), G.MsgBoxTitle + "  << " + G.SelectedResultLine + " >>");
            QCOMPARE(ctl<QPlainTextEdit>("Text1", ScreenDispDirectory)->toPlainText(), dirs);
            QCOMPARE(ctl<QLabel>("Label1", ScreenDispDirectory)->text(),
                     count < 0 ? G.SelectedResultLine
                               : QStringLiteral("ディレクトリ数： %1個").arg(count));
            QVERIFY(viewer->isEnabled() && !view->isEnabled());
            QVERIFY(closeBox ? viewer->close() : click(ScreenDispDirectory, "Command1"));
            settle();
            QVERIFY(!screen_instance(ScreenDispDirectory) && view->isEnabled());
        }
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 戻る
        QVERIFY(!screen_instance(ScreenHeaderDisp) && screen()->isEnabled());
    }

    // A search started by Enter in [1] gives the keyboard back to [1] with the first line
    // chosen, so Enter in the list opens it; closing the block view returns to the list.
    void enterOpensTheFirstLineAndFocusComesBack() {
        open();
        run_steps({"1=DOS", "Enter"});
        QCOMPARE(focus_after_activation(screen()), ctl<QWidget>("Text1_1"));
        QVERIFY(rows() > 1 && list()->currentIndex().row() == 0 &&
                list()->selectionModel()->isSelected(list()->currentIndex()));
        list()->setFocus();
        QTest::keyPress(list(), Qt::Key_Return);
        settle();
        QVERIFY(screen_instance(ScreenHeaderDisp));
        QCOMPARE(G.SelectedResultLine, list()->currentIndex().data().toString());
        QVERIFY(click(ScreenHeaderDisp, "Command1")); // 戻る
        QCOMPARE(focus_after_activation(screen()), list());
    }

    // A line wider than the list scrolls sideways and Ctrl+C copies it. The viewer opens at
    // its stored size (by default 4248 twips high) with the text taking what is left; the
    // arrow keys move its cursor and Ctrl+C copies that line, a name as the catalogue
    // stores it, so that it can be searched for again.
    void linesWholeAndCopied() {
        const QString name = QStringLiteral("とても長いディレクトリ名").repeated(8);
        append_block(env.dat(), "Long,,,2001,1,,1999/05/12 10:30:00,,q,", {"\\"}, {"1," + name});
        open();
        run_steps({"Check2", "1=とても長い", "Enter"});
        QCOMPARE(rows(), 2);
        QVERIFY(list()->horizontalScrollBar()->maximum() > 0);
        const QModelIndex path = list()->model()->index(1, 0);
        QVERIFY(list()->visualRect(path).width() >=
                list()->fontMetrics().horizontalAdvance(u'\\' + name));
        list()->setCurrentIndex(path);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u'\\' + name);

        run_steps({"Command5"});
        open_row(3, true); // Windows Power, the last block in the sorted list
        QVERIFY(click(ScreenHeaderDisp, "Command4"));
        ScreenWindow* viewer = screen_instance(ScreenDispDirectory);
        QCOMPARE(viewer->height(), ScreenWindow::tw(4248));
        auto* text = ctl<QPlainTextEdit>("Text1", ScreenDispDirectory);
        QVERIFY(text->geometry().bottom() < ctl("Command1", ScreenDispDirectory)->y());
        QVERIFY(ctl("Command1", ScreenDispDirectory)->geometry().bottom() < viewer->height());
        text->setFocus();
        QTest::keyClick(text, Qt::Key_Down);
        QTest::keyClick(text, Qt::Key_Down);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\\&#56449;bad"));
        QVERIFY(click(ScreenDispDirectory, "Command1"));
        QVERIFY(click(ScreenHeaderDisp, "Command1"));
        run_steps({"Check5", "Check2", "1=" + QGuiApplication::clipboard()->text(), "Enter"});
        QCOMPARE(listed().last(), "2|" + QGuiApplication::clipboard()->text());
    }

    // Nothing of the last search stays on screen while the next one runs or reports.
    void resultsGoBeforeTheNextSearch() {
        open();
        run_steps({"1=DOS", "Command2"});
        auto* heading = ctl<QLabel>("Label1_1");
        QVERIFY(rows() > 0);
        int seen = 0;
        const auto empty = [&] {
            ++seen;
            QCOMPARE(rows(), 0);
            QCOMPARE(heading->text(), QStringLiteral("\n検索結果"));
        };
        seam.onYield = [&] {
            if (operation_running()) empty();
        };
        seam.onMessage = empty;
        seam.expect("(309)");
        run_steps({"1=nowhere", "Command2"});
        seam.onYield = seam.onMessage = nullptr;
        QVERIFY(seen > 1);
        // 208 searches nothing: the list keeps what it shows.
        run_steps({"1=DOS", "Command2"});
        const int shown = rows();
        seam.expect("(208)");
        run_steps({"1=", "Command2"});
        QCOMPARE(rows(), shown);
    }

    // Options and preset survive ﾒｲﾝﾒﾆｭｰ, the close box, and 終 了 with a restart.
    void optionsKept_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("menu") << "Command4";
        QTest::newRow("close box") << "";
        QTest::newRow("exit, restart") << "Command1";
    }
    void optionsKept() {
        QFETCH(QString, way);
        open();
        run_steps({"1=a", "2=b", "3=c", "Option1_6", "Option2_2", "Option4_2", "Check3", "Check4",
                   "Check5"});
        if (way != "Command1") {
            QVERIFY(way.isEmpty() ? screen()->close() : click(ScreenSearchData, way));
            settle();
            QVERIFY(!screen_instance(ScreenSearchData) && screen_instance(ScreenMenu1));
        } else {
            // Answered No, the screen stays as it was; Yes saves the options and ends.
            seam.expect(QStringLiteral("(001)"), AnswerNo);
            QVERIFY(click(ScreenSearchData, way));
            QVERIFY(screen() && screen()->isEnabled() && fields() == QStringLiteral("a|b|c|"));
            seam.expect(QStringLiteral("(001)"), AnswerYes);
            QVERIFY_THROWS_EXCEPTION(Terminated, click(ScreenSearchData, way));
            env.start(); // the next run reads the settings file
        }
        open();
        QCOMPARE(checks(), QStringLiteral("10011"));
        QVERIFY(ctl("Option2_2")->isChecked() && ctl("Option4_2")->isChecked());
        run_steps({"1=a", "2=b", "3=c"});
        QVERIFY(ctl("Option1_6")->isChecked());
    }
};

QTEST_MAIN(TstSearchScreen)
#include "tst_search_screen.moc"
