// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gui_seam.h"
#include "core/state.h"
#include "ui/navigation.h"
#include "ui/screen_window.h"
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

int message_text_width_limit() {
    // QMessageBox never grows beyond this and then breaks lines anywhere, even inside a
    // word; the margins around the text come off.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int sw = screen ? screen->availableGeometry().width() : 1024;
    const int hardLimit = sw <= 1024 ? sw : std::min(sw - 480, 1000);
    return std::max(200, hardLimit - 60);
}

QString break_first_sentence(const QString& text, const QFontMetrics& fm, int maxWidth,
                             int* widest) {
    const qsizetype end = text.indexOf(u'\n');
    const QString first = end < 0 ? text : text.left(end);
    const QString rest = end < 0 ? QString() : text.mid(end);
    QStringList lines;
    qsizetype start = 0;
    while (fm.horizontalAdvance(first.mid(start)) > maxWidth) {
        // The last "\" or "/" that keeps the line within the width; else the first one.
        qsizetype cut = -1;
        for (qsizetype i = start; i < first.size(); ++i) {
            if (first.at(i) != u'\\' && first.at(i) != u'/') continue;
            if (cut >= 0 && fm.horizontalAdvance(first.mid(start, i + 1 - start)) > maxWidth) break;
            cut = i + 1;
        }
        if (cut < 0 || cut >= first.size()) break; // no place to break: leave it to Qt
        lines << first.mid(start, cut - start);
        start = cut;
    }
    lines << first.mid(start);
    int w = 0;
    for (const QString& l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    *widest = w;
    return lines.join(u'\n') + rest;
}

void prepare_message_box(QMessageBox& box, const QString& text, bool yesNo) {
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(G.MsgBoxTitle);
    box.setTextFormat(Qt::PlainText);
    // The first sentence with its number stays on one line as far as the screen allows;
    // a path too long for that is broken after a "\" or "/", never inside a name.
    int widest = 0;
    box.setText(break_first_sentence(display_text(text), box.fontMetrics(),
                                     message_text_width_limit(), &widest));
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setMinimumWidth(std::min(widest + 4, message_text_width_limit()));
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
