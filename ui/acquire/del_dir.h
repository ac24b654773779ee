// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// del_dir: shows the files of one directory of the acquired list and drops that
// directory from the list (never from the disk). Drawn on top of search_dir.
#include "ui/screen_window.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QLabel;

class DelDirScreen : public ScreenWindow {
    Q_OBJECT
  public:
    DelDirScreen();

    // SelectedDirPath without its drive ("q:\DOS" -> "\DOS").
    static QString path_without_drive(const QString& path);

  protected:
    void on_load() override;

  private:
    void remove();
    void back();
    void finish();

    QPlainTextEdit* question_;
    QLabel* heading_;
    QListWidget* files_;
    QPushButton* delete_;
    QPushButton* back_;
    QPushButton* finish_;
};
