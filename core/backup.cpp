// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/backup.h"
#include "core/disk_file.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/save_file.h"
#include "core/seam.h"
#include "core/state.h"
#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>

namespace {
void report_failure(const QString& why) {
    show_message(message_021(G.BackupFilePath, why));
}

// Copies in chunks into a temporary file beside the target; the rename happens only
// after every byte is on disk, so the old backup survives any failure. A symbolic link is
// kept: the file it names is replaced, with that file's permissions. The catalogue is read
// under its lock, shared with other readers, so no append of another copy is caught half way.
bool copy_whole(const QString& from, const QString& to, QString& why) {
    int error = 0;
    const int fd = file_open(from, FileOpen::Read, error);
    const auto closeFd = qScopeGuard([fd] { file_close(fd); });
    if (fd < 0 || !file_is_regular(fd)) {
        why = fd < 0 ? QString::fromLocal8Bit(std::strerror(error))
                     : QStringLiteral("データファイルが通常のファイルではありません。");
        return false;
    }
    error = file_lock(fd, G.CatalogueLockTimeoutMs, true);
    if (error != 0) {
        why = error == EBUSY ? QStringLiteral("ほかの Tobrin がデータファイルに登録中です。")
                             : QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        why = in.errorString();
        return false;
    }
    QSaveFile out(to);
    // In a folder the user cannot write, the backup itself is overwritten in place.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly)) {
        why = out.errorString();
        return false;
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            why = in.errorString();
            out.cancelWriting();
            return false;
        }
        if (n == 0) break;
        // Straight to the descriptor: Qt's buffered write loses the reason of a write that
        // stops part way (a full disk, a file-size limit) and reports "Unknown error".
        if (!file_write_all(out.handle(), buffer.left(n), error)) {
            why = QString::fromLocal8Bit(std::strerror(error));
            out.cancelWriting();
            return false;
        }
    }
    return commit_save_file(out, why);
}
} // namespace

void backup_data(int16_t moment) {
    if ((moment & G.BackupMode) == 0) return;
    if (G.DataFileState != 1) return;
    const QString target = to_local_file(G.BackupFilePath);
    // The flag comes from the start-up probe; a backup made read-only since then is
    // refused too, because a rename would replace it regardless of its permissions. A link
    // stands for the file it names.
    const int attr = file_attributes(target);
    if (G.BackupFileReadOnly == 1 || (attr >= 0 && (attr & AttrReadOnly))) {
        show_message(message_020(G.BackupFilePath));
        return;
    }
    QString why;
    // A device or fifo would be replaced by a plain file (or, written in place, swallow it).
    if (attr >= 0 && (attr & AttrSystem)) {
        report_failure(QStringLiteral("通常のファイルではありません。"));
        return;
    }
    if (!copy_whole(catalogue_local_path(), target, why)) report_failure(why);
}
