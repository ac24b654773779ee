#include "ui/gui_seam.h"
#include "core/state.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdlib>

void prepare_message_box(QMessageBox& box, const QString& text, bool yesNo) {
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(G.MsgBoxTitle);
    box.setTextFormat(Qt::PlainText);
    box.setText(display_text(text));
    box.setStandardButtons(yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    // The answers in the program's language, whatever translations are installed.
    const struct {
        QMessageBox::StandardButton button;
        const char16_t* text;
    } captions[] = {{QMessageBox::Ok, u"OK"},
                    {QMessageBox::Yes, u"はい(&Y)"},
                    {QMessageBox::No, u"いいえ(&N)"}};
    for (const auto& c : captions)
        if (QAbstractButton* b = box.button(c.button)) {
            b->setText(QString::fromUtf16(c.text));
            b->setIcon(QIcon());
        }
    if (yesNo) box.setEscapeButton(QMessageBox::No);
}

int16_t GuiSeam::message(const QString& text, bool yesNo) {
    QMessageBox box;
    prepare_message_box(box, text, yesNo);
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
