// SPDX-License-Identifier: GPL-3.0-or-later
// The window layer: nothing clipped at any font size, the message boxes, and the exit path
// with the geometry and fonts of the next run.
#include "core/messages.h"
#include "core/settings.h"
#include "gui_fixture.h"
#include "ui/captions.h"
#include "ui/screen_manager.h"
#include "ui/translation.h"
#include <QMessageBox>
#include <QProgressBar>
#include <cerrno>

class TstScreenManager : public GuiTest {
    Q_OBJECT

  private slots:
    void init() { env.start(); }
    void cleanup() { end_test(); }

    // Every screen in its fullest state at the smallest, default and largest configured
    // sizes: each name of its font table names one control (a renamed one would keep the
    // design font), every control lies inside its window, every caption and label (the
    // block view's fields too) inside its control.
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
        G.SelectedDirIndex = G.HeaderViewFromSearch = G.SelectedBlockNo = 1;
        G.BlockSearchMode = 0;
        const char* fields[] = {
            "ＤＯＳ／Ｖ　ＰＯＷＥＲ　ＲＥＰＯＲＴ", "ソフトバンク",  "", "1999", "12", "第3号",
            "データ登録時に設定します。",           "CDROM_1999_12", "q"};
        for (int k = 1; k <= 9; ++k)
            G.HeaderTable(1, k) = QString::fromUtf8(fields[k - 1]);
        for (int16_t code = 1; code <= 8; ++code) {
            ScreenWindow* s = open_screen(code);
            QVERIFY(s);
            const ScreenFonts f = screen_fonts(code);
            QVERIFY(!f.normal.isEmpty());
            for (const QString& name : f.normal + f.small)
                QVERIFY2(s->findChildren<QWidget*>(name).size() == 1, qPrintable(name));
            if (code == ScreenSearchData) // all six presets
                for (const char* f : {"Text1_1", "Text1_2", "Text1_3"})
                    control<QLineEdit>(code, f)->setText(QStringLiteral("x"));
            if (code == ScreenDispStatus) {
                seam.progress_label(1, QStringLiteral("ファイル無しディレクトリ削除中です。\r\n"
                                                      "しばらくお待ちください。"));
                seam.progress_label(2, QStringLiteral("19999"));
                seam.progress_label(3, QStringLiteral(" / 19999"));
                QVERIFY(s->findChild<QProgressBar*>()->isVisible()); // a bar, and no close box
                QVERIFY(!(s->windowFlags() & Qt::WindowCloseButtonHint));
            }
            settle();
            for (QWidget* c : s->findChildren<QWidget*>()) {
                if (!c->isVisibleTo(s) || c->objectName().isEmpty()) continue;
                const QString where = s->objectName() + "." + c->objectName();
                if (c->parentWidget() == s)
                    QVERIFY2(s->rect().contains(c->geometry()), qPrintable(where));
                QVERIFY2(caption_fits(c), qPrintable(where));
            }
            s->unload();
            settle();
        }
    }

    // Messages of each shape (the longest fixed lines, a path in the first or a later line,
    // a path with an error text, a count), with a path as the tests make them and one wider
    // than the screen, at sizes 8, 10 and 12: each line whole inside the label, the box
    // within the screen, and a line broken only inside the path, after a separator.
    void messageBoxShowsEveryLine_data() {
        QTest::addColumn<QString>("text");
        const QString p = "%1"; // the path, filled in below
        for (const QString& text :
             {message_001(), message_021(p, "No space left on device"), forced_search_question(),
              registration_question(), message_105(p), message_106(p, true, EACCES),
              message_106(p, false, ENOSPC), message_201("q", "c"), message_301(19999),
              message_310(p, "Permission denied"), message_508(p)})
            QTest::newRow(qPrintable(text.left(12))) << text;
    }
    void messageBoxShowsEveryLine() {
        QFETCH(QString, text);
        const QString wide = "/srv/" + QStringLiteral("dir00/").repeated(60) + "tobrin.dat";
        const QFont was = QApplication::font();
        for (int size : {8, 10, 12})
            for (const QString& path : {env.dat(), wide}) {
                QApplication::setFont(QFont(G.FontName, size));
                const QString shown = display_text(text.contains("%1") ? text.arg(path) : text);
                QMessageBox box;
                prepare_message_box(box, shown, false);
                box.show();
                settle();
                const QLabel* label = message_label(box);
                const QString where = QStringLiteral("%1 pt: ").arg(size);
                const int room = label->contentsRect().width() - std::max(0, label->indent());
                const QStringList lines = label->text().split(u'\n');
                for (const QString& l : lines)
                    QVERIFY2(label->fontMetrics().horizontalAdvance(l) <= room,
                             qPrintable(where + l));
                // Qt wraps nothing further, and the box stays on the screen.
                QCOMPARE(label->heightForWidth(label->width()), label->heightForWidth(100000));
                QVERIFY(box.width() <= box.screen()->availableGeometry().width());
                // Each line of the message is its lines in the box joined, broken only
                // after a path separator.
                qsizetype at = 0;
                for (const QString& line : shown.split(u'\n')) {
                    QString joined = lines.value(at++);
                    while (joined != line && at < lines.size()) {
                        QVERIFY2(joined.endsWith(u'/'), qPrintable(where + joined));
                        joined += lines.value(at++);
                    }
                    QCOMPARE(joined, line);
                }
                QCOMPARE(at, lines.size());
            }
        QApplication::setFont(was);
    }

    // The close box asks first (answered No: nothing written); 終 了 answered Yes writes
    // the settings (top and left only) and makes the backup with BackupMode 2. The next run
    // puts the window back where it stood, one instance of each screen, in the configured
    // fonts (the status labels in the small size); Qt's own dialogs (the image file dialog)
    // speak the program's language.
    void exitAndRestart() {
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
        QCOMPARE(read_bytes(env.home.filePath("tobrin.$$$")), QByteArray("*01\r\n"));
        env.start();
        G.FontSize = 12;
        G.SmallFontSize = 7;
        G.CurrentScreen = 7;
        m = open_screen(ScreenMenu1);
        QCOMPARE(open_screen(ScreenMenu1), m);
        QCOMPARE(G.PreviousScreen, int16_t(7));
        QCOMPARE(m->pos(), QPoint(ScreenWindow::tw(1200), ScreenWindow::tw(600)));
        QCOMPARE(m->size(), size);
        QCOMPARE(control(ScreenMenu1, "Command1")->font().family(), G.FontName);
        open_screen(ScreenSearchDir);
        QCOMPARE(control(ScreenSearchDir, "Label1_1")->font().pointSize(), 7);
        QCOMPARE(control(ScreenSearchDir, "List1")->font().pointSize(), 12);
        QVERIFY2(install_qt_translation(), "qtbase_ja.qm missing: scripts/install-deps");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
    }
};

QTEST_MAIN(TstScreenManager)
#include "tst_screen_manager.moc"
