// tobrin-gui-walk CFG: starts the desktop program's screens on the configuration CFG,
// presses 取得開始 on the acquisition screen (drive from key 03) and prints the wall time
// of the acquisition as the user sees it (progress window, repaint, sort, list filled).
#include "core/startup.h"
#include "core/state.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>

namespace {
// Messages go to stderr and are answered at once; everything else is the real GUI seam.
class BenchSeam : public GuiSeam {
  public:
    int16_t message(const QString& text, bool yesNo) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return yesNo ? AnswerNo : AnswerOk;
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tobrin-gui-walk CFG\n");
        return 2;
    }
    install_font_substitutions();
    BenchSeam seam;
    set_seam(&seam);
    startup(QString::fromLocal8Bit(argv[1]));
    G.BeepEnabled = 0;
    ScreenWindow* s = open_screen(ScreenSearchDir);
    auto* start = s->findChild<QPushButton*>(QStringLiteral("Command3"));
    QElapsedTimer t;
    t.start();
    start->click();
    const qint64 ms = t.elapsed();
    s = screen_instance(ScreenSearchDir);
    const int listed = s ? s->findChild<QListWidget*>(QStringLiteral("List1"))->count() : -1;
    std::printf("entries\t%d\nEntryCount\t%d\nseconds\t%.3f\n", listed, G.EntryCount, ms / 1000.0);
    std::fflush(stdout);
    std::_Exit(listed == G.EntryCount ? 0 : 1);
}
