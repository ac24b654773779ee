#include "catalogue/writer.h"
#include "catalogue/escape.h"
#include "core/backup.h"
#include "core/codepage.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <QFile>
#include <QLockFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

int lock_error(QLockFile::LockError e) {
    switch (e) {
    case QLockFile::LockFailedError:
        return EBUSY; // another copy is appending
    case QLockFile::PermissionError:
        return EACCES;
    default:
        return errno != 0 ? errno : EIO;
    }
}

bool write_all(int fd, const QByteArray& bytes, int& error) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

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
    const int attr = path_attributes(path);
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

    const QByteArray native = QFile::encodeName(path);
    // Read access only serves the look at the last byte; a write-only file is still appended to.
    int fd = ::open(native.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES)
        fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        report_write_failure(readOnly, errno);
        return;
    }
    const bool created = attr < 0;
    int error = 0;
    {
        // Two running copies must never interleave their blocks.
        QLockFile lock(path + QStringLiteral(".lock"));
        errno = 0;
        if (!lock.tryLock(CatalogueLockTimeoutMs)) {
            error = lock_error(lock.error());
            ::close(fd);
        } else {
            struct stat st {};
            if (::fstat(fd, &st) != 0) error = errno;
            if (error == 0) {
                if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
                G.HeaderTable(1, 7) = registration_stamp(QDateTime::currentDateTime());
                // The whole block in one append, on disk before it counts as written; on
                // any failure the file is cut back, so it only ever holds whole blocks.
                QByteArray block = encode_catalogue_block();
                // A file edited by hand may lack its last line break; without one the
                // "*01" would join that line and the block would lose its marker.
                char last = '\n';
                if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
                    block.prepend("\r\n");
                if (!write_all(fd, block, error) || (::fsync(fd) != 0 && (error = errno))) {
                    if (::ftruncate(fd, st.st_size) == 0) ::fsync(fd);
                }
            }
            // Once synced, a failing close cannot take the block back; it is not reported.
            ::close(fd);
            // A file this call created and could not fill is removed again (under the lock,
            // so no other copy is writing to it).
            if (error != 0 && created && ::stat(native.constData(), &st) == 0 && st.st_size == 0)
                ::unlink(native.constData());
        }
    }
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
