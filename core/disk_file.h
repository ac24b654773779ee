// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The POSIX file operations an append that must never leave half a block needs: plain
// descriptors (-1 for none), errno values for failures, an advisory lock and syncs.
#include <QByteArray>
#include <QString>

enum class FileOpen {
    Append,      // read and write (write only when reading is refused), created, non-blocking
    Create,      // write only, created or emptied
    Read,        // read only
    WriteNoWait, // write only, non-blocking, not created
};
int file_open(const QString& path, FileOpen how, int& error);
void file_close(int fd);
// Every byte, retried on interruption.
bool file_write_all(int fd, const QByteArray& bytes, int& error);
// Up to `max` bytes from the current position; 0 on end or failure.
qsizetype file_read(int fd, char* to, qsizetype max);
// The byte at `at`; false when there is none.
bool file_byte_at(int fd, qint64 at, char& c);
// On disk before it returns.
bool file_sync(int fd, int& error);
bool file_truncate(int fd, qint64 length);
bool file_size(int fd, qint64& size, int& error);
bool file_is_regular(int fd);
// Waits up to `timeoutMs` for the exclusive lock; 0 or the error (EBUSY when it timed
// out). A file system without locks counts as locked.
int file_lock(int fd, int timeoutMs);

bool path_exists(const QString& path);
bool path_remove(const QString& path);
// The size of the file at `path`, following links; -1 when there is none.
qint64 path_size(const QString& path);
// Makes a new or removed name in the folder of `path` survive a power loss.
void sync_folder(const QString& path);
