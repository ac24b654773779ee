// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// disp_directory: the directories of the block chosen in the search results, drawn on top
// of the block view (header_disp). After a string search they are the block's path lines
// among the results; after a block search the block is read from the catalogue file.
#include "ui/screen_window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class DispDirectoryScreen : public ScreenWindow {
    Q_OBJECT
  public:
    DispDirectoryScreen();

  protected:
    void on_load() override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    void fill();

    QLabel* label_;
    QPlainTextEdit* text_;
    QPushButton* back_;
};
