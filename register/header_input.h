// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// header_input: the header of the medium just acquired: two titles picked from the
// preset lists or typed, a multi-line memo, year and month, one more line.
#include "ui/screen_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class HeaderInputScreen : public ScreenWindow {
    Q_OBJECT
  public:
    HeaderInputScreen();

  protected:
    void on_load() override;
    bool on_close_request() override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    void title_picked(int index);
    void finish();
    void back_to_menu();
    void next();

    QLabel* labels_[6];
    QComboBox* combos_[4];
    QPlainTextEdit* memo_;
    QLineEdit* header6_;
    QPushButton* buttons_[3];
    // Set while the open list of Combo1(1) handles a pick (a click or Enter on an entry).
    bool listPick_ = false;
};

// A memo as the user sees it (LF) and as the catalogue keeps it (CR LF).
QString memo_for_storage(const QString& shown);
QString memo_for_display(const QString& stored);
