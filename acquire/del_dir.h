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
    // The file names the list shows for a drive-form directory (ordinary files, as a
    // file list control shows them); false when the directory cannot be read.
    static bool list_files(const QString& drivePath, QStringList& names);
    // The same for a directory given by its full path on disk (bytes).
    static bool list_files_at(const QByteArray& local, QStringList& names);

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
