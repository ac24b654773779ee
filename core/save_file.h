// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finishing a QSaveFile so that a failed write never replaces the old file. QSaveFile::commit()
// does not report a failing flush of its buffer (a small file on a full disk would become an
// empty one), so the buffer is flushed and the data synced first.
#include <QSaveFile>
#include <QString>

// Flushes, syncs and commits; on failure cancels (the old file stays; the temporary copy goes
// with the QSaveFile) and says why.
bool commit_save_file(QSaveFile& file, QString& why);
