// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// header_disp: the ten header fields of one block, read-only. Registration mode
// (HeaderViewFromSearch 0) shows block 1 and offers 登録 / 修 正; view mode (1) shows the
// block of the chosen search result and offers 戻る / ﾃﾞｨﾚｸﾄﾘ表示.
#include "ui/screen_window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class HeaderDispScreen : public ScreenWindow {
    Q_OBJECT
  public:
    HeaderDispScreen();

  protected:
    void on_load() override;
    bool on_close_request() override;

  private:
    int block() const;
    void first_button();
    void finish();
    void amend();
    void show_directories();
    void restore_memo();

    bool viewMode_ = false;
    QLabel* captions_[9];
    QLabel* fields_[9];
    QPlainTextEdit* memo_;
    QPushButton* buttons_[4];
};
