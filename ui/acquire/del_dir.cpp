// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/acquire/del_dir.h"
#include "ui/acquire/search_dir.h"
#include "acquire/walk.h"
#include "core/confirm.h"
#include "core/messages.h"
#include "core/seam.h"
#include "core/state.h"
#include "ui/lists.h"
#include "ui/navigation.h"
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

DelDirScreen::DelDirScreen() : ScreenWindow(ScreenDelDir, QStringLiteral("del_dir")) {
    question_ = place<QPlainTextEdit>(QStringLiteral("Text1"), 120, 120, 3780, 660);
    question_->setReadOnly(true);
    question_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    question_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    heading_ = place_label(QStringLiteral("Label2"), QString(), 120, 900, 2400, 270);
    files_ = place<QListWidget>(QStringLiteral("File1"), 120, 1200, 2400, 1920);
    make_whole_line_list(files_);
    delete_ = place<QPushButton>(QStringLiteral("Command3"), 2640, 1200, 1260, 735);
    delete_->setText(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ  削 除"));
    back_ = place<QPushButton>(QStringLiteral("Command2"), 2640, 2040, 1260, 495);
    back_->setText(QStringLiteral("戻 る"));
    finish_ = place<QPushButton>(QStringLiteral("Command1"), 2640, 2625, 1260, 495);
    finish_->setText(QStringLiteral("終 了"));
    connect(delete_, &QPushButton::clicked, this, &DelDirScreen::remove);
    connect(back_, &QPushButton::clicked, this, &DelDirScreen::back);
    connect(finish_, &QPushButton::clicked, this, &DelDirScreen::finish);
}

QString DelDirScreen::path_without_drive(const QString& path) {
    if (path.size() > 2 && path.at(1) == u':') return path.mid(2);
    return path;
}

void DelDirScreen::on_load() {
    delete_->setText(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ") + QStringLiteral("\n") + QStringLiteral(" 削 除"));
    // The chosen entry is opened by the bytes the walk recorded for it; a path that names
    // no entry of the list is taken as text.
    const int p = G.SelectedDirIndex;
    const bool isEntry = p >= 1 && p <= G.EntryCount &&
                         G.SelectedDirPath == G.CurrentDrive + u':' + entry_display_line(p);
    bool listed = false;
    const QStringList names = isEntry ? directory_file_names(entry_local_path(p), listed)
                                      : directory_file_names(G.SelectedDirPath, listed);
    if (!listed) {
        // The list is the user's work: keep it and go back to the acquisition screen
        // instead of ending the program.
        show_message(message_401());
        unload();
        return;
    }
    files_->addItems(names);
    setWindowTitle(G.WindowTitle);
    question_->setPlainText(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ[") + path_without_drive(G.SelectedDirPath) +
                            QStringLiteral("]を削除しますか。"));
    heading_->setText(QStringLiteral("ﾌｧｲﾙﾘｽﾄ"));
}

void DelDirScreen::remove() {
    int p = G.SelectedDirIndex;
    if (p < 1 || p > G.EntryCount) {
        show();
        QCoreApplication::processEvents();
        return;
    }
    remove_entry(p);
    if (p > G.EntryCount) p = G.EntryCount;
    if (auto* acquisition = dynamic_cast<SearchDirScreen*>(below()))
        acquisition->refill_list(p - 1);
    record_position();
    unload();
    QCoreApplication::processEvents();
}

void DelDirScreen::back() {
    record_position();
    unload();
}

void DelDirScreen::finish() {
    record_position();
    unload();
    int16_t kind = 1;
    confirm(kind);
}
