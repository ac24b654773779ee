// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// menu1: the main menu, hub of both flows. Its buttons follow how far the current
// registration has come (ProgressFlags) and whether a catalogue file exists.
#include "ui/screen_window.h"

class QPushButton;

class Menu1Screen : public ScreenWindow {
    Q_OBJECT
  public:
    Menu1Screen();

  protected:
    void on_load() override;
    bool on_close_request() override;

  private:
    void acquire();
    void header_entry();
    void finish();
    void register_tree();
    void search();
    void show_search_button();
    QPushButton* button(int i) const { return buttons_[i - 1]; }
    QPushButton* buttons_[5];
};
