// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-screenshots OUTDIR [SIZE]: walks the registration flow on a small sample tree and
// saves a PNG of every screen (of the message boxes and of the image file dialog too) in
// OUTDIR, at font size SIZE (keys 05 and 06; the default size without it). Run under Xvfb
// by scripts/screenshots; nothing outside a temporary directory is touched.
#include "acquire/walk.h"
#include "app/screen_table.h"
#include "catalogue/writer.h"
#include "app/shots.h"
#include "core/seam.h"
#include "core/startup.h"
#include "core/state.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include "ui/translation.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace {
// Answers every question Yes and grabs each message box before answering it.
class ShotSeam : public GuiSeam {
  public:
    int16_t message(const QString& text, bool yesNo) override {
        QMessageBox box;
        prepare_message_box(box, text, yesNo);
        box.show();
        save_shot(&box, QStringLiteral("message_%1").arg(++count_, 2, 10, QChar(u'0')));
        // Every question is answered Yes except the exit question, the last picture.
        if (!yesNo) return AnswerOk;
        return text.contains(QStringLiteral("(001)")) ? AnswerNo : AnswerYes;
    }
    void progress_label(int label, const QString& text) override {
        GuiSeam::progress_label(label, text);
        // One picture of the window while the sort runs (a total is known: the bar shows).
        if (label == 2 && !grabbed_ && text == QStringLiteral("1")) {
            grabbed_ = true;
            save_shot(screen_instance(ScreenDispStatus), QStringLiteral("08_disp_status"));
        }
    }
    [[noreturn]] void terminate() override { std::exit(0); }

  private:
    int count_ = 0;
    bool grabbed_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tobrin-screenshots OUTDIR [SIZE]\n");
        return 2;
    }
    set_shot_folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir tmp;
    const QString disc = tmp.filePath(QStringLiteral("disc1"));
    for (const char* d : {"DOS/TOOLS", "DOS/UTIL", "GAMES/ぷよ", "MAGAZINE/1996/05",
                          "MAGAZINE/1996/06", "README_DIR", "Windows/System"})
        QDir(disc).mkpath(QString::fromUtf8(d));
    for (const char* f :
         {"DOS/TOOLS/LHA.EXE", "DOS/TOOLS/README.TXT", "DOS/UTIL/FD.COM", "GAMES/ぷよ/PUYO.EXE",
          "MAGAZINE/1996/05/INDEX.HTM", "Windows/System/X.DLL"}) {
        QFile file(QDir(disc).filePath(QString::fromUtf8(f)));
        file.open(QIODevice::WriteOnly);
    }
    QFile cfg(tmp.filePath(QStringLiteral("tobrin.cfg")));
    cfg.open(QIODevice::WriteOnly);
    cfg.write(QStringLiteral("#40:q=%1\r\n#03:q\r\n").arg(disc).toLocal8Bit());
    if (argc > 2) cfg.write(QStringLiteral("#05:%1\r\n#06:%1\r\n").arg(argv[2]).toLocal8Bit());
    cfg.close();
    QDir::setCurrent(tmp.path());

    install_font_substitutions();
    install_qt_translation();
    ShotSeam seam;
    set_seam(&seam);
    G.ListProgressIntervalMs = 0;
    startup(cfg.fileName());
    settle_at_startup();
    register_standard_screens();
    QApplication::setFont(QFont(G.FontName, G.FontSize));
    G.BeepEnabled = 0;

    open_screen(ScreenMenu1);
    save_shot(screen_instance(ScreenMenu1), QStringLiteral("01_menu1"));
    click_control(ScreenMenu1, QStringLiteral("Command1"));
    save_shot(screen_instance(ScreenSearchDir), QStringLiteral("02_search_dir"));
    // The last entry of the drive list opens Qt's file dialog; a picture, then cancelled.
    if (auto* drives = screen_control<QComboBox>(ScreenSearchDir, QStringLiteral("Drive1"))) {
        QTimer::singleShot(500, [] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                save_shot(dialog, QStringLiteral("02a_image_file_dialog"));
                dialog->close();
            }
        });
        drives->setCurrentIndex(drives->count() - 1);
        settle();
    }
    click_control(ScreenSearchDir, QStringLiteral("Command3"));
    save_shot(screen_instance(ScreenSearchDir), QStringLiteral("03_search_dir_acquired"));
    if (auto* list = screen_control<QListWidget>(ScreenSearchDir, QStringLiteral("List1"))) {
        list->setCurrentRow(0);
        emit list->itemDoubleClicked(list->item(0));
    }
    save_shot(screen_instance(ScreenDelDir), QStringLiteral("04_del_dir"));
    click_control(ScreenDelDir, QStringLiteral("Command2"));
    click_control(ScreenSearchDir, QStringLiteral("Command1"));
    // A title picked from the open list brings its publisher.
    if (auto* title = screen_control<QComboBox>(ScreenHeaderInput, QStringLiteral("Combo1_1"))) {
        title->showPopup();
        title->view()->setCurrentIndex(title->model()->index(0, 0));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(title->view(), &enter);
    }
    if (auto* memo = screen_control<QPlainTextEdit>(ScreenHeaderInput, QStringLiteral("Text1_1")))
        memo->setPlainText(QStringLiteral("付録CD-ROM\nフリーソフト特集"));
    save_shot(screen_instance(ScreenHeaderInput), QStringLiteral("05_header_input"));
    click_control(ScreenHeaderInput, QStringLiteral("Command1_3"));
    save_shot(screen_instance(ScreenHeaderDisp), QStringLiteral("06_header_disp"));
    // The same screen in view mode, as the search screen opens it.
    ScreenWindow* reg = screen_instance(ScreenHeaderDisp);
    reg->unload();
    settle();
    G.HeaderViewFromSearch = 1;
    G.SelectedBlockNo = -1;
    G.SelectedResultLine = G.HeaderTable(1, 1) + QStringLiteral(" 1996/5 DISC1");
    open_screen(ScreenHeaderDisp);
    save_shot(screen_instance(ScreenHeaderDisp), QStringLiteral("07_header_disp_view"));
    screen_instance(ScreenHeaderDisp)->unload();
    settle();
    G.HeaderViewFromSearch = 0;
    open_screen(ScreenMenu1);
    save_shot(screen_instance(ScreenMenu1), QStringLiteral("09_menu1_pending"));
    click_control(ScreenMenu1,
                  QStringLiteral("Command4")); // registers (the question is answered Yes)
    save_shot(screen_instance(ScreenMenu1), QStringLiteral("10_menu1_registered"));
    click_control(ScreenMenu1, QStringLiteral("Command3")); // the exit question, answered No
    std::printf("%d screenshots in %s\n", shot_count(), qPrintable(shot_folder()));
    return shot_count() >= 10 ? 0 : 1;
}
