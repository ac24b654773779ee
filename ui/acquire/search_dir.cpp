// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/acquire/search_dir.h"
#include "acquire/entry_list.h"
#include "acquire/walk.h"
#include "core/confirm.h"
#include "core/messages.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include "ui/lists.h"
#include "ui/navigation.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <algorithm>

namespace {
bool list_held() {
    return (G.ProgressFlags & 1) && G.DirCount >= 1 && G.EntryCount >= 1;
}

QString current_directory_drive() {
    return QString(drive_of_path(QDir::currentPath())).toLower();
}
} // namespace

std::function<QString(QWidget*)> SearchDirScreen::ChooseImageFile = [](QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("イメージファイル"), QString(),
                                        QStringLiteral("イメージ・アーカイブ (*.iso *.img *.bin "
                                                       "*.zip *.lzh *.7z *.tar *.tgz *.gz "
                                                       "*.bz2 *.xz *.zst *.cpio *.rar *.cab);;"
                                                       "すべてのファイル (*)"));
};

SearchDirScreen::SearchDirScreen() : ScreenWindow(ScreenSearchDir, QStringLiteral("search_dir")) {
    setAcceptDrops(true);
    heading_ = place_label(QStringLiteral("Label1_0"), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ取得ﾄﾞﾗｲﾌﾞ"), 120,
                           120, 2400, 270);
    drive_ = place<QComboBox>(QStringLiteral("Drive1"), 120, 420, 2400, 360);
    start_ = place<QPushButton>(QStringLiteral("Command3"), 120, 960, 1335, 495);
    start_->setText(QStringLiteral("取得開始"));
    prune_ = place<QPushButton>(QStringLiteral("Command5"), 120, 1680, 2400, 495);
    prune_->setText(QStringLiteral("ﾌｧｲﾙ無しの ﾃﾞｨﾚｸﾄﾘ削除"));
    status_ =
        place_label(QStringLiteral("Label1_1"), QStringLiteral("取得結果"), 2640, 120, 5040, 540);
    list_ = place<QListWidget>(QStringLiteral("List1"), 2640, 720, 5040, 2520);
    make_whole_line_list(list_);
    list_->installEventFilter(this);
    finish_ = place<QPushButton>(QStringLiteral("Command2"), 120, 3420, 1215, 495);
    finish_->setText(QStringLiteral("終 了"));
    menu_ = place<QPushButton>(QStringLiteral("Command4"), 1440, 3420, 1215, 495);
    menu_->setText(QStringLiteral("ﾒｲﾝﾒﾆｭｰ"));
    next_ = place<QPushButton>(QStringLiteral("Command1"), 6465, 3420, 1215, 495);
    next_->setText(QStringLiteral("次 へ "));

    connect(drive_, &QComboBox::currentIndexChanged, this, &SearchDirScreen::drive_changed);
    connect(start_, &QPushButton::clicked, this, &SearchDirScreen::acquire);
    connect(prune_, &QPushButton::clicked, this, &SearchDirScreen::prune);
    connect(list_, &QListWidget::itemDoubleClicked, this, &SearchDirScreen::open_entry);
    connect(next_, &QPushButton::clicked, this, &SearchDirScreen::next);
    connect(menu_, &QPushButton::clicked, this, &SearchDirScreen::back_to_menu);
    connect(finish_, &QPushButton::clicked, this, &SearchDirScreen::finish);
}

QString SearchDirScreen::summary_text() {
    return QStringLiteral("取得結果 [上位Path:%1 / 下位Path:%2]")
               .arg(G.DirCount)
               .arg(G.EntryCount) +
           G.CrLf + QStringLiteral(" （ダブルクリックでディレクトリ内ファイル名表示）");
}

void SearchDirScreen::fill_drive_list() {
    const QSignalBlocker block(drive_);
    drive_->clear();
    for (QChar c : G.DriveLetters) {
        const QChar letter = c.toLower();
        drive_->addItem(QString(letter) + QStringLiteral(": ") + drive_root(letter),
                        QString(letter));
    }
    // Last: an image or archive file, chosen in a file dialog.
    drive_->addItem(QStringLiteral("イメージファイル..."), QString());
    // A directory can be longer than the control: the open list shows it whole.
    int widest = 0;
    for (int i = 0; i < drive_->count(); ++i)
        widest = std::max(widest, drive_->fontMetrics().horizontalAdvance(drive_->itemText(i)));
    drive_->view()->setMinimumWidth(widest + tw(400));
    // The list's own default is the drive of the current directory.
    const int home = drive_->findData(current_directory_drive());
    drive_->setCurrentIndex(home >= 0 ? home : 0);
    drive_->setToolTip(drive_->currentText());
}

bool SearchDirScreen::select_drive(const QString& letter) {
    if (letter.size() != 1) return false;
    const int i = drive_->findData(letter.toLower());
    if (i < 0 || !drive_answers(letter.at(0))) return false;
    const QSignalBlocker block(drive_);
    drive_->setCurrentIndex(i);
    drive_->setToolTip(drive_->currentText());
    return true;
}

void SearchDirScreen::drive_changed(int index) {
    if (index >= 0 && drive_->itemData(index).toString().isEmpty()) {
        const QString file = ChooseImageFile(this);
        if (!file.isEmpty()) {
            use_image(file);
        } else {
            // Cancelled: back to the drive that was chosen.
            const QSignalBlocker block(drive_);
            drive_->setCurrentIndex(std::max(0, drive_->findData(G.CurrentDrive)));
        }
        return;
    }
    if (index >= 0) G.CurrentDrive = drive_->itemData(index).toString();
    drive_->setToolTip(drive_->currentText());
}

// The file takes the first free letter for this run and is selected; nothing else changes.
void SearchDirScreen::use_image(const QString& file) {
    const QChar letter = pin_image_for_run(file);
    const QSignalBlocker block(drive_);
    if (!letter.isNull()) {
        fill_drive_list();
        G.CurrentDrive = QString(letter);
    }
    drive_->setCurrentIndex(std::max(0, drive_->findData(G.CurrentDrive)));
    drive_->setToolTip(drive_->currentText());
}

void SearchDirScreen::dragEnterEvent(QDragEnterEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (isEnabled() && !operation_running() && urls.size() == 1 && urls[0].isLocalFile() &&
        QFileInfo(urls[0].toLocalFile()).isFile())
        e->acceptProposedAction();
}

void SearchDirScreen::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.size() != 1 || !urls[0].isLocalFile()) return;
    e->acceptProposedAction();
    use_image(urls[0].toLocalFile());
}

void SearchDirScreen::on_load() {
    fill_drive_list();
    drive_->setEnabled(true);
    for (QPushButton* b : {next_, finish_, start_, menu_})
        b->setEnabled(true);
    if (!list_held()) {
        prune_->setEnabled(false);
        status_->setText(display_text(G.CrLf + QStringLiteral("取得結果")));
        list_->clear();
        return; // the drive is selected once the screen is shown
    }
    refill_list();
    status_->setText(display_text(summary_text()));
    prune_->setEnabled(true);
    // The held list belongs to CurrentDrive: show that drive, so that what the list
    // shows is what 取得開始 acquires.
    select_drive(G.CurrentDrive);
}

void SearchDirScreen::on_shown() {
    if (list_held() || select_drive(G.CurrentDrive)) return;
    // The drive to acquire does not answer: say so over the screen and fall back to the
    // drive of the current directory.
    const QString c = current_directory_drive();
    show_message(message_201(G.CurrentDrive, c));
    G.CurrentDrive = c;
}

void SearchDirScreen::refill_list(int selectRow) {
    list_->setUpdatesEnabled(false);
    list_->clear();
    QStringList lines;
    lines.reserve(G.EntryCount);
    for (int i = 1; i <= G.EntryCount; ++i)
        lines << entry_display_line(i);
    list_->addItems(lines);
    list_->setUpdatesEnabled(true);
    if (selectRow >= 0 && selectRow < list_->count()) {
        list_->setCurrentRow(selectRow);
        list_->scrollToItem(list_->item(selectRow));
    }
}

void SearchDirScreen::acquire() {
    if (operation_running() || G.CurrentDrive.isEmpty()) return;
    status_->setText(QStringLiteral("ディレクトリ取得中"));
    int16_t k = 1;
    {
        OperationScope op(this);
        list_->clear();
        acquire_drive(G.CurrentDrive.at(0), k);
        if (k != 1) {
            // A failed walk leaves for the main menu, keeping what it collected.
            record_position();
            unload();
            open_screen(ScreenMenu1);
            return;
        }
        if (G.EntryCount == 1 && G.EntryNames(1).isEmpty()) {
            refill_list();
            status_->setText(QStringLiteral("取得結果 (ダブルクリックでファイル表示)"));
        } else {
            refill_list();
            status_->setText(display_text(summary_text()));
            prune_->setEnabled(true);
        }
    }
    show();
    seam().yield();
}

void SearchDirScreen::prune() {
    if (operation_running()) return;
    status_->setText(QStringLiteral("無効ディレクトリ削除"));
    {
        OperationScope op(this);
        prune_entries();
    }
    refill_list();
    status_->setText(display_text(summary_text()));
    show();
}

bool SearchDirScreen::eventFilter(QObject* o, QEvent* e) {
    if (o == list_ && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            e->accept();
            open_entry();
            return true;
        }
    }
    return ScreenWindow::eventFilter(o, e);
}

void SearchDirScreen::open_entry() {
    if (operation_running() || !isEnabled()) return;
    const int row =
        list_->currentItem() && list_->currentItem()->isSelected() ? list_->currentRow() : -1;
    G.SelectedDirIndex = static_cast<int16_t>(row + 1);
    if (row < 0) return;
    G.SelectedDirPath = G.CurrentDrive + u':' + list_->item(row)->text();
    open_on_top(ScreenDelDir);
}

void SearchDirScreen::next() {
    record_position();
    G.SavedSettings(20) = G.CurrentDrive;
    unload();
    open_screen(ScreenHeaderInput);
}

void SearchDirScreen::back_to_menu() {
    int16_t kind = 2;
    confirm(kind);
    if (kind != AnswerYes) return;
    record_position();
    unload();
    open_screen(ScreenMenu1);
}

void SearchDirScreen::finish() {
    record_position();
    G.SavedSettings(20) = G.CurrentDrive;
    int16_t kind = 1;
    confirm(kind);
}

bool SearchDirScreen::on_close_request() {
    // Closing the window is ending the program, with the same question as 終 了.
    finish();
    return false;
}

QWidget* SearchDirScreen::default_focus() const {
    return list_;
}
