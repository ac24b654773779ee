// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// disp_status: the wait window of every long operation. Label1 the message, Label2 the
// running counter, Label3 " / " and the total; under them a bar whenever a total is
// known, so the user sees how far the work has come.
#include "ui/gui_seam.h"
#include "ui/screen_window.h"

class QLabel;
class QProgressBar;

class DispStatusScreen : public ScreenWindow, public ProgressDisplay {
    Q_OBJECT
  public:
    DispStatusScreen();
    void set_progress_label(int label, const QString& text) override;
    void clear_progress_labels() override;

  protected:
    void on_load() override;

  private:
    void update_bar();
    QLabel* label_[3];
    QProgressBar* bar_;
};
