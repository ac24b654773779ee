// The directory viewer as the user reaches it: search, open a result in the block view,
// press ﾃﾞｨﾚｸﾄﾘ表示. Directories from the results after a string search, from the file
// after a block search; equal title lines; messages; closing gives the block view back.
#include "../search/screen_catalogue.h"
#include <QLabel>
#include <QPlainTextEdit>

namespace {
QString label() {
    return control<QLabel>(ScreenDispDirectory, QStringLiteral("Label1"))->text();
}
QString text() {
    return control<QPlainTextEdit>(ScreenDispDirectory, QStringLiteral("Text1"))->toPlainText();
}
void tick(const char* name) {
    auto* c = control<QAbstractButton>(ScreenSearchData, QString::fromLatin1(name));
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
    settle();
}
} // namespace

class TstDispDirectory : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

    // Opens row `row` of the results and then the viewer.
    void view_row(int row) {
        open_row(row);
        QVERIFY(screen_instance(ScreenHeaderDisp));
        QVERIFY(click(ScreenHeaderDisp, QStringLiteral("Command4")));
        QVERIFY(screen_instance(ScreenDispDirectory));
    }

  private slots:
    void init() {
        env.start();
        write_sample_catalogue(env.dat());
        QVERIFY(open_screen(ScreenSearchData));
    }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    // Block search: each block read from the file by its number, even with equal titles.
    void blockSearch_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QString>("dirs");
        // Sorted list: block 1, block 3 (same title line), block 2; unsorted: 1, 2, 3.
        QTest::newRow("first of two equal titles")
            << 0 << true << "\\DOS\n\\DOS\\TOOLS\n\\DOS\\Util\n\\GAMES";
        QTest::newRow("second of two equal titles") << 1 << true << "\\ARC\n\\ZIP";
        QTest::newRow("file order") << 2 << false << "\\ZIP\n\\ARC";
        QTest::newRow("other block") << 2 << true << "\\WIN\n\\tools";
    }
    void blockSearch() {
        QFETCH(int, row);
        QFETCH(bool, sorted);
        QFETCH(QString, dirs);
        if (!sorted) tick("Check3");
        QVERIFY(click(ScreenSearchData, QStringLiteral("Command5")));
        view_row(row);
        ScreenWindow* viewer = screen_instance(ScreenDispDirectory);
        QCOMPARE(viewer->windowTitle(), G.MsgBoxTitle + QStringLiteral("  << ") +
                                            G.SelectedResultLine + QStringLiteral(" >>"));
        QCOMPARE(text(), dirs);
        QCOMPARE(label(), QStringLiteral("ディレクトリ数： %1個").arg(dirs.count(u'\n') + 1));
        QVERIFY(viewer->isEnabled());
        QVERIFY(!screen_instance(ScreenHeaderDisp)->isEnabled());
        QVERIFY(!screen_instance(ScreenDispStatus));
        // 戻 る: the block view is back and usable, then the search screen.
        QVERIFY(click(ScreenDispDirectory, QStringLiteral("Command1")));
        QVERIFY(!screen_instance(ScreenDispDirectory));
        QVERIFY(screen_instance(ScreenHeaderDisp)->isEnabled());
        QVERIFY(click(ScreenHeaderDisp, QStringLiteral("Command1")));
        QVERIFY(screen_instance(ScreenSearchData)->isEnabled());
    }

    void stringSearchFromResults() {
        tick("Check2");
        tick("Check3"); // file order: A, \DOS\TOOLS, B, \tools
        type_word(1, QStringLiteral("tools"));
        QVERIFY(click(ScreenSearchData, QStringLiteral("Command2")));
        view_row(1); // the path line of block 1
        QCOMPARE(G.SelectedBlockNo, int16_t(1));
        QCOMPARE(text(), QStringLiteral("\\DOS\\TOOLS"));
        QCOMPARE(label(), QStringLiteral("ディレクトリ数： 1個"));
    }

    void headerMatchWithoutPaths() {
        // The header matches, no path does: nothing to list, and no message box.
        type_word(1, QStringLiteral("windows"));
        QVERIFY(click(ScreenSearchData, QStringLiteral("Command2")));
        view_row(0);
        QCOMPARE(text(), QStringLiteral("ディレクトリが見つかりませんでした。"));
        QCOMPARE(label(), QStringLiteral("ディレクトリ数： 0個"));
    }

    void changedFileGives505() {
        QVERIFY(click(ScreenSearchData, QStringLiteral("Command5")));
        // The catalogue is replaced after the search: block 1 no longer carries the title.
        QFile::remove(env.dat());
        append_block(env.dat(), {QStringLiteral("Other"), QString(), QString(), QString(), {}, {}});
        open_row(0);
        seam.expect(QStringLiteral("ディレクトリが見つかりませんでした。(505)"));
        QVERIFY(click(ScreenHeaderDisp, QStringLiteral("Command4")));
        QVERIFY2(seam.satisfied(), seam.report());
        QCOMPARE(text(), QStringLiteral("ディレクトリが見つかりませんでした。"));
        QCOMPARE(label(), G.SelectedResultLine);
    }

    void faultInBlockShowsWhatWasRead() {
        QVERIFY(click(ScreenSearchData, QStringLiteral("Command5")));
        // Block 2's second entry line loses its comma after the search.
        QByteArray bytes = read_bytes(env.dat());
        bytes.replace("1,tools\r\n", "tools\r\n");
        write_bytes(env.dat(), bytes);
        open_row(2);
        QCOMPARE(G.SelectedBlockNo, int16_t(2));
        seam.expect(QStringLiteral("(502)"));
        QVERIFY(click(ScreenHeaderDisp, QStringLiteral("Command4")));
        QVERIFY2(seam.satisfied(), seam.report());
        // What was read before the fault is shown.
        QCOMPARE(text(), QStringLiteral("\\WIN"));
        QCOMPARE(label(), QStringLiteral("ディレクトリ数： 1個"));
    }

    void closeBoxEnablesBlockView() {
        QVERIFY(click(ScreenSearchData, QStringLiteral("Command5")));
        view_row(0);
        screen_instance(ScreenDispDirectory)->close();
        settle();
        QVERIFY(!screen_instance(ScreenDispDirectory));
        QVERIFY(screen_instance(ScreenHeaderDisp)->isEnabled());
        // And the viewer opens again on the same block.
        QVERIFY(click(ScreenHeaderDisp, QStringLiteral("Command4")));
        QCOMPARE(label(), QStringLiteral("ディレクトリ数： 4個"));
    }
};

QTEST_MAIN(TstDispDirectory)
#include "tst_disp_directory.moc"
