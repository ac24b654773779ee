// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue writer: appends the current registration (block 1 of HeaderTable and the
// acquired directory list) to the catalogue file as one block.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

// Appends the block; result 1 only when it is on disk whole. Messages 111 (new file),
// 105 (done) or 106 (failed: the file is left exactly as it was). On success ProgressFlags
// becomes 0, the catalogue is probed again and the after-registration backup runs.
// While the block is written, a journal beside the catalogue (its name + ".journal") holds
// the length before it; a journal left behind by an append that was killed is undone first.
void write_data(int16_t& result);

// Start-up: a journal left behind cuts the catalogue back to the length before the append that
// never finished (message 112). Nothing happens while another copy holds the lock.
void recover_catalogue();

// The block's bytes (code page 932, CR LF) for the current state, field 7 as it stands.
QByteArray encode_catalogue_block();

// Field 7: "YYYY/MM/DD HH:MM:SS".
QString registration_stamp(const QDateTime& when);

// How long write_data waits for another copy of the program to finish its append.
extern int CatalogueLockTimeoutMs;
