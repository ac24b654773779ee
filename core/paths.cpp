// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/paths.h"
#include "core/platform.h"
#include "core/state.h"
#include <QDir>

bool is_drive_form(const QString& path) {
    if (path.isEmpty() || path.contains(u'\\')) return true;
    return path.size() == 2 && path.at(1) == u':' && path.at(0).isLetter();
}

QString add_backslash(QString& path) {
    const bool driveForm = is_drive_form(path);
    const QChar sep = driveForm ? QChar(u'\\') : QChar(u'/');
    if (!path.endsWith(sep)) path.append(sep);
    return path;
}

int16_t check_drive(QChar letter) {
    return drive_answers(letter) ? 1 : -1;
}

void enum_drives() {
    G.DriveLetters.clear();
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        if (check_drive(QChar(c)) == 1) G.DriveLetters.append(QChar(c));
    G.DriveLetters = G.DriveLetters.toLower();
}

QString to_local_file(const QString& path) {
    if (!path.contains(u'\\')) return path;
    const bool hasDrive = path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter();
    if (hasDrive || path.startsWith(u'\\')) {
        const QString local = local_path(path);
        if (!local.isEmpty()) return local;
    }
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
}

void check_file(QString& dir, const QString& name, int16_t& state, int16_t& readonly) {
    state = 0;
    readonly = -1;
    bool wantDirs = false;
    if (name.isEmpty()) {
        const bool endsWithSep = dir.endsWith(u'\\') || dir.endsWith(u'/');
        if (endsWithSep && dir.size() > 1) {
            state = 5;
            return;
        }
        // An empty name on a one-character (or separator-less) directory looks the
        // directory itself up, directories included.
        wantDirs = true;
    } else {
        add_backslash(dir);
    }
    const QString local = to_local_file(dir + name);
    if (local.isEmpty()) return;
    const int attr = file_attributes(local);
    if (attr < 0) return;
    if (wantDirs) {
        state = 5;
        return;
    }
    // Only ordinary files answer a lookup without the directory filter.
    if (attr & (AttrDirectory | AttrHidden | AttrSystem)) return;
    state = 1;
    readonly = (attr & AttrReadOnly) ? 1 : 0;
}

QString catalogue_local_path() {
    return catalogue_local_path(G);
}

QString catalogue_local_path(const CatalogueFiles& files) {
    return to_local_file(files.DataFilePath);
}
