// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/disk_file.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int file_open(const QString& path, FileOpen how, int& error) {
    const QByteArray native = QFile::encodeName(path);
    int fd = -1;
    switch (how) {
    case FileOpen::Append: {
        const int flags = O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC;
        fd = ::open(native.constData(), O_RDWR | flags, 0666);
        if (fd < 0 && errno == EACCES) fd = ::open(native.constData(), O_WRONLY | flags, 0666);
        break;
    }
    case FileOpen::Update: {
        const int flags = O_NONBLOCK | O_CLOEXEC;
        fd = ::open(native.constData(), O_RDWR | flags);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            fd = ::open(native.constData(), O_RDONLY | flags);
        break;
    }
    case FileOpen::Read:
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        break;
    case FileOpen::ReadName:
        fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        break;
    case FileOpen::CreateNew:
        // O_EXCL fails on any existing name, a dangling link included.
        fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        break;
    }
    error = fd < 0 ? errno : 0;
    return fd;
}

void file_close(int fd) {
    if (fd >= 0) ::close(fd);
}

bool file_write_all(int fd, const QByteArray& bytes, int& error) {
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

bool file_read_at(int fd, qint64 at, qint64 count, QByteArray& to) {
    if (at < 0 || count < 0) return false;
    to.resize(count);
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, to.data() + done, size_t(count - done), off_t(at + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

bool file_sync(int fd, int& error) {
    if (::fsync(fd) == 0) return true;
    error = errno;
    return false;
}

bool file_truncate(int fd, qint64 length) {
    return ::ftruncate(fd, off_t(length)) == 0;
}

bool file_size(int fd, qint64& size, int& error) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = errno;
        return false;
    }
    size = qint64(st.st_size);
    return true;
}

bool file_is_regular(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool file_writable(int fd) {
    struct stat st {};
    const int mode = ::fcntl(fd, F_GETFL);
    return mode >= 0 && (mode & O_ACCMODE) != O_RDONLY && ::fstat(fd, &st) == 0 &&
           (st.st_mode & 0222) != 0;
}

int file_lock(int fd, int timeoutMs, bool shared) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        // A file system without locks cannot be shared safely anyway; it is written unlocked.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return 0;
        if (errno != EWOULDBLOCK) return errno;
        if (waited.elapsed() >= timeoutMs) return EBUSY; // another copy appends
        ::usleep(20 * 1000);
    }
}

bool path_exists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool path_remove(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

bool path_move_new(const QString& from, const QString& to, int& error) {
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    error = errno;
    // A file system without the no-replace rename: a second name made exclusively, then the
    // first removed (not for a directory, which cannot have two names).
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return false;
    if (::linkat(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), 0) != 0) {
        error = errno;
        return false;
    }
    ::unlink(a.constData());
    return true;
}

qint64 path_size(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return qint64(st.st_size);
}

void sync_folder(const QString& path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
