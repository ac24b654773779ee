// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shots.h"
#include "ui/screen_window.h"
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QWidget>
#include <cstdio>

namespace {
QString folder;
int shots = 0;
} // namespace

void set_shot_folder(const QString& dir) {
    folder = QDir(dir).absolutePath();
    QDir().mkpath(folder);
}

const QString& shot_folder() {
    return folder;
}

int shot_count() {
    return shots;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

void save_shot(QWidget* w, const QString& name) {
    settle();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (w && w->grab().save(path)) {
        ++shots;
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
    }
}

void click_control(int16_t code, const QString& name) {
    if (auto* b = screen_control<QAbstractButton>(code, name)) b->click();
    settle();
}
