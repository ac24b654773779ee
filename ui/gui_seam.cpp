#include "ui/gui_seam.h"
#include "core/state.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

int16_t GuiSeam::message(const QString& text, bool yesNo) {
    QMessageBox box(QMessageBox::NoIcon, G.MsgBoxTitle, display_text(text),
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    const int r = box.exec();
    if (!yesNo) return AnswerOk;
    return r == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

void gui_progress_show() {
    // Loaded by the operation that needs it; a second show keeps the same window.
    open_screen(ScreenDispStatus);
}

void gui_progress_label(int label, const QString& text) {
    if (auto* p = dynamic_cast<ProgressDisplay*>(screen_instance(ScreenDispStatus)))
        p->set_progress_label(label, text);
}

void gui_progress_hide() {
    if (ScreenWindow* w = screen_instance(ScreenDispStatus)) {
        if (auto* p = dynamic_cast<ProgressDisplay*>(w)) p->clear_progress_labels();
        w->unload();
    }
}

void GuiSeam::progress_show() {
    gui_progress_show();
}

void GuiSeam::progress_label(int label, const QString& text) {
    gui_progress_label(label, text);
}

void GuiSeam::progress_hide() {
    gui_progress_hide();
}

void GuiSeam::yield() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void GuiSeam::beep() {
    QApplication::beep();
}

void GuiSeam::terminate() {
    QCoreApplication::processEvents();
    std::exit(0);
}
