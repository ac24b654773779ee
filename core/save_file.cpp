// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/save_file.h"
#include "core/disk_file.h"
#include <cerrno>
#include <cstring>

bool commit_save_file(QSaveFile& file, QString& why) {
    if (!file.flush()) {
        why = file.errorString();
        file.cancelWriting();
        return false;
    }
    int error = 0;
    if (!file_sync(file.handle(), error) && error != EINVAL && error != EROFS) {
        why = QString::fromLocal8Bit(std::strerror(error));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}
