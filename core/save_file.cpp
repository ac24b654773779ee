// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/save_file.h"
#include <cerrno>
#include <cstring>
#include <unistd.h>

bool commit_save_file(QSaveFile& file, QString& why) {
    if (!file.flush()) {
        why = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}
