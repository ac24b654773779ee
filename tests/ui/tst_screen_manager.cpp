// The window layer: set_screen's codes, fonts and geometry, the one-instance rule,
// close requests during an operation, the font substitution and the progress window.
#include "core/settings.h"
#include "gui_fixture.h"
#include "ui/screen_manager.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class TstScreenManager : public QObject {
    Q_OBJECT
    GuiEnv env;
    GuiScriptedSeam seam;

  private slots:
    void init() { env.start(); }
    void cleanup() {
        close_all_screens();
        QVERIFY2(seam.satisfied(), seam.report());
    }

    void otherCodesDoNothing_data() {
        QTest::addColumn<int>("code");
        for (int c : {0, 9, 150, -9, -100, 99, 201})
            QTest::addRow("%d", c) << c;
    }
    void otherCodesDoNothing() {
        QFETCH(int, code);
        G.CurrentScreen = 5;
        G.PreviousScreen = 2;
        const auto pos = G.FormPos;
        const auto saved = G.SavedSettings;
        int16_t c = static_cast<int16_t>(code);
        set_screen(c);
        QCOMPARE(c, static_cast<int16_t>(code));
        QVERIFY(G.FormPos == pos);
        QVERIFY(G.SavedSettings == saved);
        QCOMPARE(G.CurrentScreen, int16_t(5));
        QCOMPARE(G.PreviousScreen, int16_t(2));
        QVERIFY(!QFile::exists(env.ini()));
        for (int16_t s = 1; s <= 8; ++s)
            QVERIFY(!screen_instance(s));
    }

    void loadAppliesGeometryAndFonts() {
        G.FormPos(4, 1) = 1440;
        G.FormPos(4, 2) = 2880;
        G.FormPos(4, 3) = 6000;
        G.FormPos(4, 4) = 4500;
        G.FontSize = 12;
        G.CurrentScreen = 7;
        ScreenWindow* m = open_screen(ScreenMenu1);
        QVERIFY(m);
        QCOMPARE(G.PreviousScreen, int16_t(7));
        QCOMPARE(G.CurrentScreen, int16_t(4));
        QCOMPARE(m->pos(), QPoint(ScreenWindow::tw(2880), ScreenWindow::tw(1440)));
        QCOMPARE(m->size(), QSize(ScreenWindow::tw(6000), ScreenWindow::tw(4500)));
        for (int i = 1; i <= 5; ++i) {
            const QFont f = control(ScreenMenu1, QStringLiteral("Command%1").arg(i))->font();
            QCOMPARE(f.family(), G.FontName);
            QCOMPARE(f.pointSize(), 12);
        }
    }

    void smallFontControls() {
        G.FontSize = 11;
        G.SmallFontSize = 7;
        open_screen(ScreenSearchDir);
        QCOMPARE(control(ScreenSearchDir, "Label1_1")->font().pointSize(), 7);
        QCOMPARE(control(ScreenSearchDir, "Label1_0")->font().pointSize(), 7);
        QCOMPARE(control(ScreenSearchDir, "List1")->font().pointSize(), 11);
        QCOMPARE(control(ScreenSearchDir, "Command5")->font().pointSize(), 11);
    }

    void smallStoredSizeNeverClips() {
        G.FormPos(5, 3) = 300;
        G.FormPos(5, 4) = 300;
        ScreenWindow* s = open_screen(ScreenSearchDir);
        for (QWidget* c : s->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(s->rect().contains(c->geometry()), qPrintable(c->objectName()));
    }

    void leavingRecordsTopAndLeftOnly() {
        ScreenWindow* m = open_screen(ScreenMenu1);
        G.CurrentScreen = 4;
        G.PreviousScreen = 5;
        m->move(ScreenWindow::tw(720), ScreenWindow::tw(360));
        const int16_t width = G.FormPos(4, 3), height = G.FormPos(4, 4);
        m->resize(m->width() + 50, m->height() + 50);
        int16_t code = -4;
        set_screen(code);
        QCOMPARE(G.FormPos(4, 1), int16_t(360));
        QCOMPARE(G.FormPos(4, 2), int16_t(720));
        QCOMPARE(G.FormPos(4, 3), width);
        QCOMPARE(G.FormPos(4, 4), height);
        QCOMPARE(G.CurrentScreen, int16_t(5));
    }

    void geometryRestoredAcrossRestart() {
        ScreenWindow* m = open_screen(ScreenMenu1);
        m->move(ScreenWindow::tw(1200), ScreenWindow::tw(600));
        seam.expect("(001)", AnswerYes);
        bool ended = false;
        try {
            click(ScreenMenu1, "Command3");
        } catch (const Terminated&) {
            ended = true;
        }
        QVERIFY(ended);
        QVERIFY(QFile::exists(env.ini()));
        close_all_screens();
        env.start(); // a new run reads the settings file
        QCOMPARE(G.FormPos(4, 1), int16_t(600));
        QCOMPARE(G.FormPos(4, 2), int16_t(1200));
        ScreenWindow* again = open_screen(ScreenMenu1);
        QCOMPARE(again->pos(), QPoint(ScreenWindow::tw(1200), ScreenWindow::tw(600)));
    }

    void oneInstancePerScreen() {
        ScreenWindow* a = open_screen(ScreenMenu1);
        ScreenWindow* b = open_screen(ScreenMenu1);
        QCOMPARE(a, b);
        int menus = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("menu1") && w->isVisible()) ++menus;
        QCOMPARE(menus, 1);
        a->unload();
        settle();
        QVERIFY(!screen_instance(ScreenMenu1));
        QVERIFY(open_screen(ScreenMenu1));
    }

    void closeWaitsForTheOperation() {
        ScreenWindow* m = open_screen(ScreenMenu1);
        {
            OperationScope op(m);
            QVERIFY(operation_running());
            QVERIFY(!m->isEnabled());
            m->close(); // the window system's close box
            settle();
            QVERIFY(screen_instance(ScreenMenu1));
            QVERIFY(m->isVisible());
            QVERIFY(!click(ScreenMenu1, "Command1"));
        }
        QVERIFY(!operation_running());
        QVERIFY(m->isEnabled());
    }

    void keyboardAlone() {
        open_screen(ScreenMenu1);
        auto* acquire = control(ScreenMenu1, "Command1");
        acquire->setFocus();
        QTest::keyClick(acquire, Qt::Key_Return);
        settle();
        QVERIFY(screen_instance(ScreenSearchDir));
        auto* next = control(ScreenSearchDir, "Command1");
        next->setFocus();
        QTest::keyClick(next, Qt::Key_Space);
        settle();
        QVERIFY(screen_instance(ScreenHeaderInput));
    }

    void closingTheMenuAsksToExit() {
        QFile::remove(env.ini());
        ScreenWindow* m = open_screen(ScreenMenu1);
        seam.expect("(001)", AnswerNo);
        m->close();
        settle();
        QVERIFY(screen_instance(ScreenMenu1));
        QVERIFY(!QFile::exists(env.ini()));
    }

    void gothicFaceRendersJapanese() {
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("no Japanese font installed");
        const QFontInfo info(QFont(QStringLiteral("ＭＳ ゴシック"), 10));
        QVERIFY2(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::Japanese),
                 qPrintable(info.family()));
        if (QFontDatabase::hasFamily(QStringLiteral("IPAGothic")))
            QCOMPARE(info.family(), QStringLiteral("IPAGothic"));
    }

    void progressWindowShowsABarWhenTheTotalIsKnown() {
        seam.progress_show();
        ScreenWindow* w = screen_instance(ScreenDispStatus);
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), G.WindowTitle);
        auto* bar = w->findChild<QProgressBar*>();
        seam.progress_label(
            1, QStringLiteral("データのソーティング中です。\r\nしばらくお待ちください。"));
        QCOMPARE(control<QLabel>(ScreenDispStatus, "Label1")->text(),
                 QStringLiteral("データのソーティング中です。\nしばらくお待ちください。"));
        QVERIFY(bar->isHidden());
        seam.progress_label(3, QStringLiteral(" / 40"));
        seam.progress_label(2, QStringLiteral("10"));
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->maximum(), 40);
        QCOMPARE(bar->value(), 10);
        seam.progress_label(3, QString()); // a counter without a total: no bar
        QVERIFY(bar->isHidden());
        seam.progress_hide();
        settle();
        QVERIFY(!screen_instance(ScreenDispStatus));
    }
};

QTEST_MAIN(TstScreenManager)
#include "tst_screen_manager.moc"
