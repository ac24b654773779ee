// The window layer: fonts and geometry, the one-instance rule, the exit path, the font
// substitution and the progress window.
#include "core/settings.h"
#include "gui_fixture.h"
#include "ui/screen_manager.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>

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

    void loadAppliesGeometryAndFonts() {
        const int16_t pos[] = {1440, 2880, 6000, 4500}; // top, left, width, height
        for (int k = 1; k <= 4; ++k)
            G.FormPos(4, k) = pos[k - 1];
        G.FontSize = 12;
        G.SmallFontSize = 7;
        G.CurrentScreen = 7;
        ScreenWindow* m = open_screen(ScreenMenu1);
        QCOMPARE(open_screen(ScreenMenu1), m); // one instance of each
        QCOMPARE(G.PreviousScreen, int16_t(7));
        QCOMPARE(m->pos(), QPoint(ScreenWindow::tw(2880), ScreenWindow::tw(1440)));
        QCOMPARE(m->size(), QSize(ScreenWindow::tw(6000), ScreenWindow::tw(4500)));
        QCOMPARE(control(ScreenMenu1, "Command1")->font().family(), G.FontName);
        open_screen(ScreenSearchDir); // the status labels take the small size
        QCOMPARE(control(ScreenSearchDir, "Label1_1")->font().pointSize(), 7);
        QCOMPARE(control(ScreenSearchDir, "List1")->font().pointSize(), 12);
    }

    // Every control inside its window, and every button's caption inside its button.
    void nothingClippedAtTheDefaultSizes() {
        for (int16_t code : {ScreenMenu1, ScreenSearchDir, ScreenHeaderInput, ScreenHeaderDisp}) {
            ScreenWindow* s = open_screen(code);
            for (QWidget* c : s->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const QString where = s->objectName() + "." + c->objectName();
                QVERIFY2(s->rect().contains(c->geometry()), qPrintable(where));
                if (auto* b = qobject_cast<QAbstractButton*>(c))
                    QVERIFY2(b->fontMetrics().boundingRect(QRect(), 0, b->text()).width() <=
                                 b->width(),
                             qPrintable(where));
            }
        }
    }

    // The close box asks first (answered No: nothing written); 終 了 answered Yes writes
    // the settings (top and left only) and makes the backup with BackupMode 2, and the next
    // run puts the window back where it stood.
    void exitPaths() {
        QFile::remove(env.ini());
        write_bytes(env.dat(), QByteArray("*01\r\n"));
        env.start({QStringLiteral("#13:2")});
        ScreenWindow* m = open_screen(ScreenMenu1);
        const QSize size = m->size();
        seam.expect("終了してよいですか。(001)", AnswerNo);
        m->close();
        settle();
        QVERIFY(screen_instance(ScreenMenu1) && !QFile::exists(env.ini()));
        m->move(ScreenWindow::tw(1200), ScreenWindow::tw(600));
        m->resize(size + QSize(50, 50));
        seam.expect("(001)", AnswerYes);
        QVERIFY_THROWS_EXCEPTION(Terminated, click(ScreenMenu1, "Command3"));
        QVERIFY(read_bytes(env.ini()).startsWith("Tobrin  Ver.1.8a\r\n"));
        QCOMPARE(read_bytes(env.backup()), QByteArray("*01\r\n"));
        env.start();
        m = open_screen(ScreenMenu1);
        QCOMPARE(m->pos(), QPoint(ScreenWindow::tw(1200), ScreenWindow::tw(600)));
        QCOMPARE(m->size(), size);
    }

    void gothicFaceRendersJapanese() {
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            QSKIP("no Japanese font installed");
        const QString face = QFontInfo(QFont(QStringLiteral("ＭＳ ゴシック"))).family();
        QVERIFY2(QFontDatabase::writingSystems(face).contains(QFontDatabase::Japanese),
                 qPrintable(face));
    }

    void progressWindowShowsABarWhenTheTotalIsKnown() {
        seam.progress_show();
        auto* bar = screen_instance(ScreenDispStatus)->findChild<QProgressBar*>();
        seam.progress_label(1, QStringLiteral("ソート中です。\r\nお待ちください。"));
        QCOMPARE(control<QLabel>(ScreenDispStatus, "Label1")->text(),
                 QStringLiteral("ソート中です。\nお待ちください。"));
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
