#include "catalogue/writer.h"
#include "catalogue/escape.h"
#include "core/backup.h"
#include "core/codepage.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/seam.h"
#include "core/state.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
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

// Waits up to CatalogueLockTimeoutMs for the lock on the open catalogue (an advisory lock on
// the file itself, so only the catalogue, not its folder, has to be writable). 0 or the error.
int lock_catalogue(int fd) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        // A file system without locks cannot be shared safely anyway; it is written unlocked.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return 0;
        if (errno != EWOULDBLOCK) return errno;
        if (waited.elapsed() >= CatalogueLockTimeoutMs) return EBUSY; // another copy appends
        ::usleep(20 * 1000);
    }
}

// Makes a new or removed name in the folder of `path` survive a power loss.
void sync_folder(const QString& path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void remove_journal(const QString& journal) {
    if (::unlink(QFile::encodeName(journal).constData()) == 0) sync_folder(journal);
}

// The catalogue's length before the append, on disk before the block is written. False when
// the folder cannot hold it: the append then goes ahead without one.
bool write_journal(const QString& journal, off_t length) {
    const QByteArray native = QFile::encodeName(journal);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    int error = 0;
    const bool ok =
        write_all(fd, QByteArray::number(qint64(length)) + "\r\n", error) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) {
        ::unlink(native.constData());
        return false;
    }
    sync_folder(journal);
    return true;
}

// With the catalogue open and locked: a journal left by an append that never finished cuts
// the catalogue back to the length it names, and goes. A journal without its line end was
// itself cut short, before any byte of the block was written. True when bytes were removed.
bool roll_back(int fd, const QString& journal) {
    const int jfd = ::open(QFile::encodeName(journal).constData(), O_RDONLY | O_CLOEXEC);
    if (jfd < 0) return false;
    char text[32];
    const ssize_t n = ::read(jfd, text, sizeof text);
    ::close(jfd);
    const QByteArray bytes(text, n > 0 ? n : 0);
    bool valid = bytes.endsWith("\r\n") && bytes.size() > 2;
    qint64 length = 0;
    for (qsizetype i = 0; valid && i < bytes.size() - 2; ++i) {
        valid = bytes[i] >= '0' && bytes[i] <= '9' && length < (qint64(1) << 56);
        length = length * 10 + (bytes[i] - '0');
    }
    bool cut = false;
    struct stat st {};
    if (valid && ::fstat(fd, &st) == 0 && st.st_size > length) {
        // Kept when the cut fails: the next start tries again.
        if (::ftruncate(fd, off_t(length)) != 0 || ::fsync(fd) != 0) return false;
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

bool regular_file(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}
} // namespace

void recover_catalogue() {
    const QString path = to_local_file(G.DataFilePath);
    if (path.isEmpty()) return;
    const QString journal = journal_of(path);
    if (::access(QFile::encodeName(journal).constData(), F_OK) != 0) return;
    const int attr = file_attributes(path);
    if (attr < 0 || (attr & (AttrDirectory | AttrSystem))) return;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    // Under the lock a journal is never that of an append still running.
    const bool cut = regular_file(fd) && lock_catalogue(fd) == 0 && roll_back(fd, journal);
    ::close(fd);
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

    const QByteArray native = QFile::encodeName(path);
    // Read access only serves the look at the last byte; a write-only file is still appended
    // to. Non-blocking, so a fifo put there meanwhile cannot hang the open.
    const int flags = O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(native.constData(), O_RDWR | flags, 0666);
    if (fd < 0 && errno == EACCES) fd = ::open(native.constData(), O_WRONLY | flags, 0666);
    if (fd < 0) {
        report_write_failure(readOnly, errno);
        return;
    }
    if (!regular_file(fd)) {
        ::close(fd);
        report_write_failure(readOnly, EINVAL);
        return;
    }
    const bool created = attr < 0;
    // The file just opened, wherever a link led.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString journal = journal_of(path);
    bool rolledBack = false;
    // Two running copies must never interleave their blocks.
    int error = lock_catalogue(fd);
    if (error == 0) {
        rolledBack = roll_back(fd, journal);
        struct stat st {};
        if (::fstat(fd, &st) != 0) error = errno;
        if (error == 0) {
            if (G.HeaderTable.rows() < 1) G.HeaderTable.redim(1);
            G.HeaderTable(1, 7) = registration_stamp(QDateTime::currentDateTime());
            // The whole block in one append, on disk before it counts as written; on any
            // failure the file is cut back, so it only ever holds whole blocks. The journal
            // does the same for an append that is killed or loses its power.
            QByteArray block = encode_catalogue_block();
            // A file edited by hand may lack its last line break; without one the "*01"
            // would join that line and the block would lose its marker.
            char last = '\n';
            if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
                block.prepend("\r\n");
            const bool journaled = write_journal(journal, st.st_size);
            bool whole = true;
            if (!write_all(fd, block, error) || (::fsync(fd) != 0 && (error = errno)))
                whole = ::ftruncate(fd, st.st_size) == 0 && ::fsync(fd) == 0;
            if (journaled && whole) remove_journal(journal);
        }
    }
    // Once synced, a failing close cannot take the block back; it is not reported.
    ::close(fd);
    // A file this call created and could not fill is removed again.
    struct stat st {};
    if (error != 0 && created && ::stat(native.constData(), &st) == 0 && st.st_size == 0)
        ::unlink(QFile::encodeName(real.isEmpty() ? path : real).constData());
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
