// SPDX-License-Identifier: GPL-3.0-or-later
// The window layer: fonts and geometry, the one-instance rule, the exit path, the font
// substitution and the progress window.
#include "core/settings.h"
#include "gui_fixture.h"
#include "ui/captions.h"
#include "ui/screen_manager.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

    // Each name of the font table names exactly one control of its screen: a renamed
    // control would silently keep the design font.
    void fontTableNamesExistingControls_data() {
        QTest::addColumn<int>("code");
        for (int code = 1; code <= 8; ++code)
            QTest::newRow(qPrintable(QString::number(code))) << code;
    }
    void fontTableNamesExistingControls() {
        QFETCH(int, code);
        ScreenWindow* s = ensure_screen(int16_t(code));
        QVERIFY(s);
        const ScreenFonts f = screen_fonts(code);
        QVERIFY(!f.normal.isEmpty());
        for (const QString& name : f.normal + f.small)
            QVERIFY2(s->findChildren<QWidget*>(name).size() == 1, qPrintable(name));
    }

    // Every screen in its fullest state at the smallest, default and largest configured
    // sizes: every control inside its window, every caption inside its control, and no
    // caption smaller than it needs to be.
    void nothingClipped_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("small");
        QTest::newRow("8") << 8 << 6;
        QTest::newRow("default") << 10 << 9;
        QTest::newRow("12") << 12 << 12;
    }
    void nothingClipped() {
        QFETCH(int, size);
        QFETCH(int, small);
        G.FontSize = int16_t(size);
        G.SmallFontSize = int16_t(small);
        // A held list (the summary caption), a chosen directory, a block in view mode.
        G.ProgressFlags = 1;
        G.DirCount = G.EntryCount = G.EntryParentIndex(1) = 1;
        G.DirPaths(1) = QStringLiteral("\\");
        G.EntryNames(1) = QStringLiteral("A");
        G.SelectedDirPath = QStringLiteral("q:\\");
        G.SelectedDirIndex = 1;
        G.HeaderViewFromSearch = 1;
        G.SelectedBlockNo = 1;
        G.BlockSearchMode = 0;
        for (int16_t code = 1; code <= 8; ++code) {
            ScreenWindow* s = open_screen(code);
            QVERIFY(s);
            if (code == ScreenSearchData) // all six presets
                for (const char* f : {"Text1_1", "Text1_2", "Text1_3"})
                    control<QLineEdit>(code, f)->setText(QStringLiteral("x"));
            if (code == ScreenDispStatus) {
                seam.progress_label(1, QStringLiteral("ファイル無しディレクトリ削除中です。\r\n"
                                                      "しばらくお待ちください。"));
                seam.progress_label(2, QStringLiteral("19999"));
                seam.progress_label(3, QStringLiteral(" / 19999"));
            }
            settle();
            for (QWidget* c : s->findChildren<QWidget*>()) {
                if (!c->isVisibleTo(s) || c->objectName().isEmpty()) continue;
                const QString where = s->objectName() + "." + c->objectName();
                if (c->parentWidget() == s)
                    QVERIFY2(s->rect().contains(c->geometry()), qPrintable(where));
                QVERIFY2(caption_fits(c), qPrintable(where));
                // Stepped down only as far as needed.
                const int configured = c->property("tobrinConfiguredPointSize").toInt();
                if (configured > 0 && c->font().pointSize() < configured) {
                    QFont bigger = c->font();
                    bigger.setPointSize(c->font().pointSize() + 1);
                    const QFont was = c->font();
                    c->setFont(bigger);
                    QVERIFY2(!caption_fits(c), qPrintable(where));
                    c->setFont(was);
                }
            }
            s->unload();
            settle();
        }
    }

    // A message naming a long path keeps its first sentence and number together, and
    // breaks the path only after a separator.
    void messageBoxKeepsTheFirstSentenceWhole_data() {
        QTest::addColumn<int>("segments");
        QTest::newRow("short path") << 2;
        QTest::newRow("path wider than the screen") << 60;
    }
    void messageBoxKeepsTheFirstSentenceWhole() {
        QFETCH(int, segments);
        QStringList parts;
        for (int i = 0; i < segments; ++i)
            parts << QStringLiteral("dir%1").arg(i, 3, 10, QChar(u'0'));
        const QString path =
            QStringLiteral("/srv/") + parts.join(u'/') + QStringLiteral("/tobrin.dat");
        const QString sentence =
            QStringLiteral("データファイル[") + path + QStringLiteral("]が見つかりません。(111)");
        QMessageBox box;
        prepare_message_box(box, sentence + G.CrLf + G.CrLf + QStringLiteral("新規作成します。"),
                            false);
        box.show();
        settle();
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const QStringList lines = label->text().section(u'\n', 0, 0).isEmpty()
                                      ? QStringList()
                                      : label->text().split(u'\n');
        // The lines up to the one that ends with the number are the first sentence.
        QString joined;
        int i = 0;
        for (; i < lines.size() && !joined.endsWith(QStringLiteral("(111)")); ++i) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(lines[i]) <= label->width(),
                     qPrintable(lines[i]));
            if (i > 0) QVERIFY(joined.endsWith(u'/'));
            joined += lines[i];
        }
        QCOMPARE(joined, sentence);
        QCOMPARE(i > 1, segments > 2);
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
        // A title and no buttons: window managers add them unless customised away.
        const Qt::WindowFlags flags = screen_instance(ScreenDispStatus)->windowFlags();
        QVERIFY((flags & Qt::CustomizeWindowHint) && (flags & Qt::WindowTitleHint));
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
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
