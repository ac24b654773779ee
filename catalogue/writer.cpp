// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/writer.h"
#include "catalogue/escape.h"
#include "core/backup.h"
#include "core/codepage.h"
#include "core/disk_file.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <QFileInfo>
#include <cerrno>
#include <cstring>

int CatalogueLockTimeoutMs = 3000;

namespace {

void append_line(QByteArray& out, QStringView text) {
    encode_cp932_append(escape_for_catalogue(text), out);
    out.append("\r\n", 2);
}

// Message 106. readOnly picks the read-only sentence over the error number and text.
void report_write_failure(bool readOnly, int error) {
    QString text = QStringLiteral("データファイル[") + G.DataDir + G.DataFileName +
                   QStringLiteral("]を書き込めません。(106)") + G.CrLf + G.CrLf;
    if (readOnly)
        text += QStringLiteral("データファイルが書込禁止となっています。") + G.CrLf + G.CrLf;
    else
        text += QStringLiteral("( Error Code ") + QString::number(error) + QStringLiteral("  : ") +
                QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral("）") + G.CrLf +
                G.CrLf;
    text += QStringLiteral("データの書き込みを中断します。");
    show_message(text);
}

void remove_journal(const QString& journal) {
    if (path_remove(journal)) sync_folder(journal);
}

// The catalogue's length before the append, on disk before the block is written. False when
// the folder cannot hold it: the append then goes ahead without one.
bool write_journal(const QString& journal, qint64 length) {
    int error = 0;
    const int fd = file_open(journal, FileOpen::Create, error);
    if (fd < 0) return false;
    const bool ok =
        file_write_all(fd, QByteArray::number(length) + "\r\n", error) && file_sync(fd, error);
    file_close(fd);
    if (!ok) {
        path_remove(journal);
        return false;
    }
    sync_folder(journal);
    return true;
}

// With the catalogue open and locked: a journal left by an append that never finished cuts
// the catalogue back to the length it names, and goes. A journal without its line end was
// itself cut short, before any byte of the block was written. True when bytes were removed.
bool roll_back(int fd, const QString& journal) {
    int error = 0;
    const int jfd = file_open(journal, FileOpen::Read, error);
    if (jfd < 0) return false;
    char text[32];
    const qsizetype n = file_read(jfd, text, sizeof text);
    file_close(jfd);
    const QByteArray bytes(text, n);
    bool valid = bytes.endsWith("\r\n") && bytes.size() > 2;
    qint64 length = 0;
    for (qsizetype i = 0; valid && i < bytes.size() - 2; ++i) {
        valid = bytes[i] >= '0' && bytes[i] <= '9' && length < (qint64(1) << 56);
        length = length * 10 + (bytes[i] - '0');
    }
    bool cut = false;
    qint64 size = 0;
    if (valid && file_size(fd, size, error) && size > length) {
        // Kept when the cut fails: the next start tries again.
        if (!file_truncate(fd, length) || !file_sync(fd, error)) return false;
        cut = true;
    }
    remove_journal(journal);
    return cut;
}

// The journal lies beside the file a link names, so every path to one catalogue finds it.
QString journal_of(const QString& localPath) {
    const QString real = QFileInfo(localPath).canonicalFilePath();
    return (real.isEmpty() ? localPath : real) + QStringLiteral(".journal");
}

// Message 112: the start or the registration found an unfinished block and removed it.
void report_rolled_back() {
    show_message(
        QStringLiteral("データファイル[") + G.DataFilePath +
        QStringLiteral("]に前回中断された登録の書きかけのデータがあったため、取り除きました。"
                       "(112)") +
        G.CrLf + G.CrLf + QStringLiteral("その登録は行われていません。もう一度登録してください。"));
}
} // namespace

void recover_catalogue() {
    const QString path = to_local_file(G.DataFilePath);
    if (path.isEmpty()) return;
    const QString journal = journal_of(path);
    if (!path_exists(journal)) return;
    const int attr = file_attributes(path);
    if (attr < 0 || (attr & (AttrDirectory | AttrSystem))) return;
    int error = 0;
    const int fd = file_open(path, FileOpen::WriteNoWait, error);
    if (fd < 0) return;
    // Under the lock a journal is never that of an append still running.
    const bool cut =
        file_is_regular(fd) && file_lock(fd, CatalogueLockTimeoutMs) == 0 && roll_back(fd, journal);
    file_close(fd);
    if (cut) report_rolled_back();
}

QString registration_stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QByteArray encode_catalogue_block() {
    if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
    QByteArray out;
    out.reserve(64 * (16 + G.DirCount + G.EntryCount));
    append_line(out, u"*01");
    for (int f = 1; f <= HeaderFieldCount; ++f) {
        QString text = G.HeaderTable(1, f);
        if (f == 3) {
            text.replace(u'\r', QStringLiteral("$RET$"));
            text.replace(u'\n', QStringLiteral("$LF$"));
        }
        append_line(out, u'"' + text + u'"');
    }
    append_line(out, u"*02");
    for (int i = 1; i <= G.DirCount; ++i)
        append_line(out, G.DirPaths(i));
    append_line(out, u"*03");
    for (int i = 1; i <= G.EntryCount; ++i)
        append_line(out, QString::number(G.EntryParentIndex(i)) + u',' + G.EntryNames(i));
    return out;
}

void write_data(int16_t& result) {
    result = 0;
    const QString path = to_local_file(G.DataFilePath);
    // A link stands for the file it names; a device, fifo or directory is no catalogue.
    const int attr = file_attributes(path);
    const bool present = attr >= 0 && !(attr & (AttrDirectory | AttrHidden | AttrSystem));
    if (!present)
        show_message(QStringLiteral("データファイル[") + G.DataFilePath +
                     QStringLiteral("]が見つかりません。(111)") + G.CrLf + G.CrLf +
                     QStringLiteral("新規作成します。"));

    // A file without write permission is refused even where the system would let us
    // (running as root): the user made it read-only on purpose.
    const bool readOnlyNow = present && (attr & AttrReadOnly);
    const bool readOnly = G.DataFileReadOnly == 1 || readOnlyNow;
    if (readOnlyNow) {
        report_write_failure(true, EACCES);
        return;
    }
    if (attr >= 0 && (attr & (AttrDirectory | AttrSystem))) {
        report_write_failure(readOnly, (attr & AttrDirectory) ? EISDIR : EINVAL);
        return;
    }

    // Read access only serves the look at the last byte; a write-only file is still appended
    // to. Non-blocking, so a fifo put there meanwhile cannot hang the open.
    int error = 0;
    const int fd = file_open(path, FileOpen::Append, error);
    if (fd < 0) {
        report_write_failure(readOnly, error);
        return;
    }
    if (!file_is_regular(fd)) {
        file_close(fd);
        report_write_failure(readOnly, EINVAL);
        return;
    }
    const bool created = attr < 0;
    // The file just opened, wherever a link led.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString journal = journal_of(path);
    bool rolledBack = false;
    // Two running copies must never interleave their blocks.
    error = file_lock(fd, CatalogueLockTimeoutMs);
    if (error == 0) {
        rolledBack = roll_back(fd, journal);
        qint64 size = 0;
        if (file_size(fd, size, error)) {
            if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
            G.HeaderTable(1, 7) = registration_stamp(QDateTime::currentDateTime());
            // The whole block in one append, on disk before it counts as written; on any
            // failure the file is cut back, so it only ever holds whole blocks. The journal
            // does the same for an append that is killed or loses its power.
            QByteArray block = encode_catalogue_block();
            // A file edited by hand may lack its last line break; without one the "*01"
            // would join that line and the block would lose its marker.
            char last = '\n';
            if (size > 0 && file_byte_at(fd, size - 1, last) && last != '\n') block.prepend("\r\n");
            const bool journaled = write_journal(journal, size);
            bool whole = true;
            if (!file_write_all(fd, block, error) || !file_sync(fd, error)) {
                int ignored = 0;
                whole = file_truncate(fd, size) && file_sync(fd, ignored);
            }
            if (journaled && whole) remove_journal(journal);
        }
    }
    // Once synced, a failing close cannot take the block back; it is not reported.
    file_close(fd);
    // A file this call created and could not fill is removed again.
    if (error != 0 && created && path_size(path) == 0) path_remove(real.isEmpty() ? path : real);
    if (rolledBack) report_rolled_back();
    if (error != 0) {
        report_write_failure(readOnly, error);
        return;
    }

    G.ProgressFlags = 0;
    show_message(QStringLiteral("データファイル[") + G.DataDir + G.DataFileName +
                 QStringLiteral("]を書き込み完了しました。(105)"));
    check_file(G.DataDir, G.DataFileName, G.DataFileState, G.DataFileReadOnly);
    result = 1;
    backup_data(4);
}
