// SPDX-License-Identifier: GPL-3.0-or-later
// tobrin-screenshots-search OUTDIR [SIZE]: the search flow on a small sample catalogue: the
// search screen with results, a found block in the block view and its directory viewer,
// and the message of a damaged catalogue, saved as PNGs in OUTDIR at font size SIZE (keys
// 05 and 06). Run under Xvfb by scripts/screenshots; nothing outside a temporary directory
// is touched.
#include "app/shots.h"
#include "catalogue/writer.h"
#include "core/seam.h"
#include "core/startup.h"
#include "core/state.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include "ui/translation.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {
// Messages are grabbed and answered at once.
class QuietSeam : public GuiSeam {
  public:
    int16_t message(const QString& text, bool yesNo) override {
        QMessageBox box;
        prepare_message_box(box, text, yesNo);
        box.show();
        save_shot(&box, QStringLiteral("message_search_%1").arg(++count_));
        return yesNo ? AnswerYes : AnswerOk;
    }
    [[noreturn]] void terminate() override { std::exit(0); }

  private:
    int count_ = 0;
};

struct Medium {
    const char16_t *title, *publisher, *year, *month, *volume;
    QStringList dirs; // paths below the root, parents before children
};

// Appends one block through the writer's encoding, as a registration would.
void add_block(QFile& dat, const Medium& m) {
    for (int k = 1; k <= 10; ++k)
        G.HeaderTable(1, k).clear();
    G.HeaderTable(1, 1) = QString::fromUtf16(m.title);
    G.HeaderTable(1, 2) = QString::fromUtf16(m.publisher);
    G.HeaderTable(1, 3) = QStringLiteral("付録CD-ROM\r\nフリーソフト特集");
    G.HeaderTable(1, 4) = QString::fromUtf16(m.year);
    G.HeaderTable(1, 5) = QString::fromUtf16(m.month);
    G.HeaderTable(1, 7) = QStringLiteral("1999/05/12 10:30:00");
    G.HeaderTable(1, 8) = QString::fromUtf16(m.volume);
    G.HeaderTable(1, 9) = QStringLiteral("q");
    QStringList parents{QStringLiteral("\\")};
    G.EntryCount = 0;
    for (const QString& d : m.dirs) {
        const int cut = d.lastIndexOf(u'\\');
        const QString parent = QStringLiteral("\\") + d.left(cut + 1);
        int slot = int(parents.indexOf(parent));
        if (slot < 0) {
            parents << parent;
            slot = int(parents.size()) - 1;
        }
        ++G.EntryCount;
        G.EntryParentIndex(G.EntryCount) = static_cast<int16_t>(slot + 1);
        G.EntryNames(G.EntryCount) = d.mid(cut + 1);
    }
    G.DirCount = static_cast<int16_t>(parents.size());
    for (int i = 0; i < parents.size(); ++i)
        G.DirPaths(i + 1) = parents[i];
    dat.write(encode_catalogue_block());
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tobrin-screenshots-search OUTDIR [SIZE]\n");
        return 2;
    }
    set_shot_folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir tmp;
    QFile cfg(tmp.filePath(QStringLiteral("tobrin.cfg")));
    cfg.open(QIODevice::WriteOnly);
    cfg.write(QStringLiteral("#40:q=%1\r\n#03:q\r\n#10:0\r\n").arg(tmp.path()).toLocal8Bit());
    if (argc > 2) cfg.write(QStringLiteral("#05:%1\r\n#06:%1\r\n").arg(argv[2]).toLocal8Bit());
    cfg.close();
    QDir::setCurrent(tmp.path());

    install_font_substitutions();
    install_qt_translation();
    QuietSeam seam;
    set_seam(&seam);
    startup(cfg.fileName());
    QApplication::setFont(QFont(G.FontName, G.FontSize));
    G.BeepEnabled = 0;

    QFile dat(tmp.filePath(QStringLiteral("tobrin.dat")));
    dat.open(QIODevice::WriteOnly);
    add_block(
        dat, {u"DOS/V magazine",
              u"ソフトバンク",
              u"1999",
              u"5",
              u"CD01",
              {"DOS", "DOS\\TOOLS", "DOS\\UTIL", "GAMES", "GAMES\\ぷよ", "WIN95", "WIN95\\TOOLS"}});
    add_block(dat, {u"Windows Power",
                    u"アスキー",
                    u"2000",
                    u"12",
                    u"",
                    {"TOOLS", "TOOLS\\ARC", "DRIVERS", "DRIVERS\\VIDEO"}});
    add_block(
        dat,
        {u"Oh!X", u"ソフトバンク", u"1996", u"10", u"OHX9610", {"X68K", "X68K\\TOOLS", "MUSIC"}});
    dat.close();
    G.ProgressFlags = 0;

    open_screen(ScreenSearchData);
    if (auto* t = screen_control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_1")))
        t->setText(QStringLiteral("tools"));
    if (auto* t = screen_control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_2")))
        t->setText(QStringLiteral("arc"));
    if (auto* c = screen_control<QCheckBox>(ScreenSearchData, QStringLiteral("Check2")))
        c->setChecked(true);
    click_control(ScreenSearchData, QStringLiteral("Command2"));
    save_shot(screen_instance(ScreenSearchData), QStringLiteral("11_search_data_results"));
    // A path line of the results, in the block view and the viewer.
    if (auto* list = screen_control<QListView>(ScreenSearchData, QStringLiteral("List1"));
        list && list->model()->rowCount() > 3) {
        list->setCurrentIndex(list->model()->index(3, 0));
        emit list->doubleClicked(list->currentIndex());
    }
    settle();
    save_shot(screen_instance(ScreenHeaderDisp), QStringLiteral("12_header_disp_found"));
    click_control(ScreenHeaderDisp, QStringLiteral("Command4"));
    save_shot(screen_instance(ScreenDispDirectory), QStringLiteral("13_disp_directory_results"));
    click_control(ScreenDispDirectory, QStringLiteral("Command1"));
    click_control(ScreenHeaderDisp, QStringLiteral("Command1"));

    click_control(ScreenSearchData, QStringLiteral("Command5"));
    save_shot(screen_instance(ScreenSearchData), QStringLiteral("14_search_data_blocks"));
    if (auto* list = screen_control<QListView>(ScreenSearchData, QStringLiteral("List1"));
        list && list->model()->rowCount() > 0) {
        list->setCurrentIndex(list->model()->index(0, 0));
        emit list->doubleClicked(list->currentIndex());
    }
    settle();
    save_shot(screen_instance(ScreenHeaderDisp), QStringLiteral("15_header_disp_block"));
    click_control(ScreenHeaderDisp, QStringLiteral("Command4"));
    save_shot(screen_instance(ScreenDispDirectory), QStringLiteral("16_disp_directory_block"));
    click_control(ScreenDispDirectory, QStringLiteral("Command1"));
    click_control(ScreenHeaderDisp, QStringLiteral("Command1"));
    // Three strings: the six presets, lined up in the fixed-pitch font.
    if (auto* t = screen_control<QLineEdit>(ScreenSearchData, QStringLiteral("Text1_3")))
        t->setText(QStringLiteral("ぷよ"));
    save_shot(screen_instance(ScreenSearchData), QStringLiteral("17_search_data_presets"));
    // A catalogue damaged by hand: an entry line without its parent number (message 306).
    if (dat.open(QIODevice::Append)) {
        dat.write("*01\r\n\"Broken\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                  "\"\"\r\n\"q\"\r\n\"\"\r\n*02\r\n\\\r\n*03\r\n9,X\r\n");
        dat.close();
    }
    // The block search left header-only ticked: entry lines are read only without it.
    if (auto* c = screen_control<QCheckBox>(ScreenSearchData, QStringLiteral("Check5")))
        c->setChecked(false);
    click_control(ScreenSearchData, QStringLiteral("Command2"));
    std::printf("%d screenshots in %s\n", shot_count(), qPrintable(shot_folder()));
    return shot_count() >= 8 ? 0 : 1;
}
