#include "ui/gui_seam.h"
#include "core/state.h"
#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

int16_t GuiSeam::message(const QString& text, bool yesNo) {
    QMessageBox box(QMessageBox::NoIcon, G.MsgBoxTitle, text,
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    const int r = box.exec();
    if (!yesNo) return AnswerOk;
    return r == QMessageBox::Yes ? AnswerYes : AnswerNo;
}

void GuiSeam::progress_show() {
    if (onProgressShow) onProgressShow();
}

void GuiSeam::progress_label(int label, const QString& text) {
    if (onProgressLabel) onProgressLabel(label, text);
}

void GuiSeam::progress_hide() {
    if (onProgressHide) onProgressHide();
}

void GuiSeam::yield() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

void GuiSeam::beep() { QApplication::beep(); }

void GuiSeam::terminate() {
    QCoreApplication::processEvents();
    std::exit(0);
}
