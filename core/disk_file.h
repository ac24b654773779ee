// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The POSIX file operations an append that must never leave half a block needs: plain
// descriptors (-1 for none), errno values for failures, an advisory lock and syncs.
#include <QByteArray>
#include <QString>

enum class FileOpen {
    Append,    // read and write (write only when reading is refused), created, non-blocking
    Update,    // read and write (read only when writing is refused), not created, non-blocking
    Read,      // read only, non-blocking
    ReadName,  // read only, non-blocking, a final link not followed (fails with ELOOP)
    CreateNew, // write only, created exclusively: never through an existing name or link
};
int file_open(const QString& path, FileOpen how, int& error);
void file_close(int fd);
// Every byte, retried on interruption.
bool file_write_all(int fd, const QByteArray& bytes, int& error);
// Exactly `count` bytes from `at` into `to`; false when the file holds fewer or reading fails.
bool file_read_at(int fd, qint64 at, qint64 count, QByteArray& to);
// On disk before it returns.
bool file_sync(int fd, int& error);
bool file_truncate(int fd, qint64 length);
bool file_size(int fd, qint64& size, int& error);
bool file_is_regular(int fd);
// Open for writing and carrying a write permission bit: a file made read-only on purpose is
// never written, even by root.
bool file_writable(int fd);
// Waits up to `timeoutMs` for the lock (exclusive for a writer, shared for a reader that
// must not see half an append); 0 or the error (EBUSY when it timed out). A file system
// without locks counts as locked.
int file_lock(int fd, int timeoutMs, bool shared = false);


// Whether the name exists at all, a link (dangling or not) as itself.
bool path_exists(const QString& path);
bool path_remove(const QString& path);
// Renames `from` (whatever it is, a link as itself) to `to` unless `to` exists.
bool path_move_new(const QString& from, const QString& to, int& error);
// The size of the file at `path`, following links; -1 when there is none.
qint64 path_size(const QString& path);
// Makes a new or removed name in the folder of `path` survive a power loss.
void sync_folder(const QString& path);
