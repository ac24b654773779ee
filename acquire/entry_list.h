// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the acquisition screen does with the acquired directory list: acquire a drive
// (walk, volume label, sort), sort, and prune directories without files. The screen and
// tobrin-cli both call these; each drives the progress window itself.
#include <QChar>
#include <QString>
#include <cstdint>

// Sorts entries 1 .. EntryCount by their lower-cased display line, compared by UTF-16 code
// unit, equal keys keeping their order (the order of a stable insertion sort). Only the
// entries move; DirPaths stays. Shows its progress in the open progress window.
void sort_entries();

// Removes every entry whose directory holds no file, in passes until a pass removes
// nothing (a directory holding only subdirectories counts as empty). Opens and closes the
// progress window itself.
void prune_entries();

// The acquisition: opens the progress window, sets ProgressFlags bit 1, empties the list
// and VolumeLabel, walks the root of `drive` (CurrentDrive becomes it); after a successful
// walk reads the volume label, installs the root placeholder when nothing was found or
// sorts the list otherwise; closes the progress window. k: the walk's success flag
// (1 success, 0 failure: the list keeps what was collected). Beeps as the screen does
// when BeepEnabled is 1.
void acquire_drive(QChar drive, int16_t& k);

// Pins the image or archive `file` to the first free letter for this run and adds that
// letter to DriveLetters; the letter, or a null QChar when no letter is free.
QChar pin_image_for_run(const QString& file);
