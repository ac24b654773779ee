// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// search_dir: pick a drive, acquire its directory tree, review and prune the list, open
// single directories for deletion, go on to header entry.
#include "ui/screen_window.h"
#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class SearchDirScreen : public ScreenWindow {
    Q_OBJECT
  public:
    SearchDirScreen();

    // List1 from entries 1 .. EntryCount with row `selectRow` (0-based) current and
    // selected, so that the line that looks chosen is the one Enter opens.
    void refill_list(int selectRow = 0);
    // The summary of Label1(1): the two counts and the double-click hint.
    static QString summary_text();
    // Asks for the image or archive file behind the drive list's last entry; "" when the
    // user cancels. A file dialog; tests put their own answer here.
    static std::function<QString(QWidget*)> ChooseImageFile;

  protected:
    void on_load() override;
    void on_shown() override;
    bool on_close_request() override;
    QWidget* default_focus() const override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void fill_drive_list();
    bool select_drive(const QString& letter);
    void drive_changed(int index);
    void use_image(const QString& file);
    void acquire();
    void prune();
    void open_entry();
    void next();
    void back_to_menu();
    void finish();

    QLabel* heading_;
    QLabel* status_;
    QComboBox* drive_;
    QListWidget* list_;
    QPushButton* next_;
    QPushButton* finish_;
    QPushButton* start_;
    QPushButton* menu_;
    QPushButton* prune_;
};
