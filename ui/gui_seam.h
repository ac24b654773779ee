// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam for the desktop program: Qt message boxes (caption MsgBoxTitle, no icon),
// the progress window `disp_status` (screen code 8), the event loop and the beep.
#include "core/seam.h"

// What the progress window offers the seam: its three labels (1 message, 2 counter,
// 3 total).
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    virtual void set_progress_label(int label, const QString& text) = 0;
    virtual void clear_progress_labels() = 0;
};

class GuiSeam : public Seam {
  public:
    int16_t message(const QString& text, bool yesNo) override;
    void progress_show() override;
    void progress_label(int label, const QString& text) override;
    void progress_hide() override;
    void yield() override;
    void beep() override;
    [[noreturn]] void terminate() override;
};

class QMessageBox;
class QLabel;
class QWidget;
// A message box as the program shows them: caption MsgBoxTitle, no icon, the text with its
// line breaks, each line whole, OK or はい / いいえ.
void prepare_message_box(QMessageBox& box, const QString& text, bool yesNo);
// The label that shows a message box's text.
QLabel* message_label(const QMessageBox& box);
// The widest text a message box shows on one line without breaking inside a word.
int message_text_width_limit();
class QFontMetrics;
// `text` (LF line breaks) with each line wider than `maxWidth` broken, a path after "\" or
// "/"; `widest` gets the width of the widest resulting line.
QString break_long_lines(const QString& text, const QFontMetrics& fm, int maxWidth, int* widest);
// The window a message belongs over: the active screen, else the current one; nullptr
// before the first screen (the box is then centred on the screen).
QWidget* message_owner();
// Moves the top-level `box` so that it stands centred over `owner`, within its screen.
void centre_over(QWidget* box, const QWidget* owner);

// The progress window's part of the seam, shared with test doubles that script the
// messages but show the real progress window.
void gui_progress_show();
void gui_progress_label(int label, const QString& text);
void gui_progress_hide();
