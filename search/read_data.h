#pragma once
// The catalogue scan: one sequential read of the whole file that loads every block's
// header into G.HeaderTable, tests each block's header text and each subdirectory path
// with the current search (check_match_status first), and collects the result lines.
#include <QByteArrayView>
#include <QString>

// Runs one scan with the options given to check_match_status (matching, header-only,
// sort). Stops with messages 301-307 and 311 keeping what was collected (unsorted),
// fails with 310 keeping nothing, ends with 309 when nothing matched.
void read_data();

// Undoes the memo escape in place: i = 1 turns every "$RET$" into CR, i = 2 every "$LF$"
// into LF; any other i leaves `A` alone.
void data_change(QString& A, int i);

// The leading number of the text before a subdirectory line's comma: blanks skipped, an
// optional sign, then digits up to the first non-digit (none gives 0). False when it does
// not fit in 16 bits.
bool parse_parent_number(QByteArrayView text, int& value);
