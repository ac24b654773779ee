// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/disk_file.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
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
    case FileOpen::Create:
        fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        break;
    case FileOpen::Read:
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        break;
    case FileOpen::WriteNoWait:
        fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
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

qsizetype file_read(int fd, char* to, qsizetype max) {
    const ssize_t n = ::read(fd, to, size_t(max));
    return n > 0 ? qsizetype(n) : 0;
}

bool file_byte_at(int fd, qint64 at, char& c) {
    return ::pread(fd, &c, 1, off_t(at)) == 1;
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

int file_lock(int fd, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        // A file system without locks cannot be shared safely anyway; it is written unlocked.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return 0;
        if (errno != EWOULDBLOCK) return errno;
        if (waited.elapsed() >= timeoutMs) return EBUSY; // another copy appends
        ::usleep(20 * 1000);
    }
}

bool path_exists(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), F_OK) == 0;
}

bool path_remove(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0;
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
