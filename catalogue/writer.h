// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue writer: appends the current registration (block 1 of HeaderTable and the
// acquired directory list) to the catalogue file as one block.
#include "core/disk_file.h"
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

// Appends the block; result 1 only when it is on disk whole. Messages 111 (new file),
// 105 (done) or 106 (failed: the file is left exactly as it was). On success ProgressFlags
// becomes 0, the catalogue is probed again and the after-registration backup runs.
// While the block is written, a journal beside the catalogue (its name + ".journal") holds
// the proof that a tail is this append's: the length before it, a hash of the bytes before
// that, and the block. A journal found first is settled as recover_catalogue does.
void write_data(int16_t& result);

// Start-up, under the lock: a journal that proves the catalogue ends in a torn block of its
// own has that tail cut (message 112); one that proves nothing is moved aside to
// "<journal>.unmatched" and the catalogue is left as it is (message 113). Nothing happens
// while another copy holds the lock.
void recover_catalogue();

// The rest of start-up for a run that may write (the desktop program, register): a
// registration cut short is settled before anything reads or copies the catalogue, then the
// start-up backup is made. A run that writes nothing leaves any journal to the next one.
void settle_at_startup();

// The journal an append of `block` to a catalogue holding `catalogue` keeps while it runs.
QByteArray journal_for(const QByteArray& catalogue, const QByteArray& block);

// What recover_catalogue would do with the journal found now, as one sentence; "" when
// there is none. Changes nothing (tobrin-cli config and check).
QString journal_outlook();

// The block's bytes (code page 932, CR LF) for the current state, field 7 as it stands.
QByteArray encode_catalogue_block();

// Field 7: "YYYY/MM/DD HH:MM:SS".
QString registration_stamp(const QDateTime& when);
