// tobrin-screenshots OUTDIR: walks the registration flow on a small sample tree and saves a
// PNG of every screen (and of the message boxes' look) in OUTDIR. Run under Xvfb by
// scripts/screenshots; nothing outside a temporary directory is touched.
#include "acquire/walk.h"
#include "core/seam.h"
#include "core/startup.h"
#include "core/state.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace {
QString outDir;
int shots = 0;

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void save(QWidget* w, const QString& name) {
    settle();
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (w && w->grab().save(path)) {
        ++shots;
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
    }
}

// Answers every question Yes and grabs each message box before answering it.
class ShotSeam : public GuiSeam {
  public:
    int16_t message(const QString& text, bool yesNo) override {
        QMessageBox box;
        prepare_message_box(box, text, yesNo);
        box.show();
        save(&box, QStringLiteral("message_%1").arg(++count_, 2, 10, QChar(u'0')));
        // Every question is answered Yes except the exit question, the last picture.
        if (!yesNo) return AnswerOk;
        return text.contains(QStringLiteral("(001)")) ? AnswerNo : AnswerYes;
    }
    void progress_label(int label, const QString& text) override {
        GuiSeam::progress_label(label, text);
        // One picture of the window while the sort runs (a total is known: the bar shows).
        if (label == 2 && !grabbed_ && text == QStringLiteral("1")) {
            grabbed_ = true;
            save(screen_instance(ScreenDispStatus), QStringLiteral("08_disp_status"));
        }
    }
    [[noreturn]] void terminate() override { std::exit(0); }

  private:
    int count_ = 0;
    bool grabbed_ = false;
};

template <class T> T* child(int16_t code, const char* name) {
    ScreenWindow* s = screen_instance(code);
    return s ? s->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

void click(int16_t code, const char* name) {
    if (auto* b = child<QPushButton>(code, name)) b->click();
    settle();
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tobrin-screenshots OUTDIR\n");
        return 2;
    }
    outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(outDir);
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
    cfg.close();
    QDir::setCurrent(tmp.path());

    install_font_substitutions();
    ShotSeam seam;
    set_seam(&seam);
    ListProgressIntervalMs = 0;
    startup(cfg.fileName());
    QApplication::setFont(QFont(G.FontName, G.FontSize));
    G.BeepEnabled = 0;

    open_screen(ScreenMenu1);
    save(screen_instance(ScreenMenu1), QStringLiteral("01_menu1"));
    click(ScreenMenu1, "Command1");
    save(screen_instance(ScreenSearchDir), QStringLiteral("02_search_dir"));
    click(ScreenSearchDir, "Command3");
    save(screen_instance(ScreenSearchDir), QStringLiteral("03_search_dir_acquired"));
    if (auto* list = child<QListWidget>(ScreenSearchDir, "List1")) {
        list->setCurrentRow(0);
        emit list->itemDoubleClicked(list->item(0));
    }
    save(screen_instance(ScreenDelDir), QStringLiteral("04_del_dir"));
    click(ScreenDelDir, "Command2");
    click(ScreenSearchDir, "Command1");
    if (auto* title = child<QComboBox>(ScreenHeaderInput, "Combo1_1")) {
        title->setCurrentIndex(0);
        emit title->activated(0);
    }
    if (auto* memo = child<QPlainTextEdit>(ScreenHeaderInput, "Text1_1"))
        memo->setPlainText(QStringLiteral("付録CD-ROM\nフリーソフト特集"));
    save(screen_instance(ScreenHeaderInput), QStringLiteral("05_header_input"));
    click(ScreenHeaderInput, "Command1_3");
    save(screen_instance(ScreenHeaderDisp), QStringLiteral("06_header_disp"));
    // The same screen in view mode, as the search screen opens it.
    ScreenWindow* reg = screen_instance(ScreenHeaderDisp);
    reg->unload();
    settle();
    G.HeaderViewFromSearch = 1;
    G.SelectedBlockNo = -1;
    G.SelectedResultLine = G.HeaderTable(1, 1) + QStringLiteral(" 1996/5 DISC1");
    open_screen(ScreenHeaderDisp);
    save(screen_instance(ScreenHeaderDisp), QStringLiteral("07_header_disp_view"));
    screen_instance(ScreenHeaderDisp)->unload();
    settle();
    G.HeaderViewFromSearch = 0;
    open_screen(ScreenMenu1);
    save(screen_instance(ScreenMenu1), QStringLiteral("09_menu1_pending"));
    click(ScreenMenu1, "Command4"); // registers (the question is answered Yes)
    save(screen_instance(ScreenMenu1), QStringLiteral("10_menu1_registered"));
    click(ScreenMenu1, "Command3"); // the exit question, answered No
    std::printf("%d screenshots in %s\n", shots, qPrintable(outDir));
    return shots >= 10 ? 0 : 1;
}
