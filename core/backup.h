// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The catalogue backup: a whole copy of the catalogue file at the moments that
// BackupMode enables (1 start-up, 2 exit, 4 after a registration).
#include <cstdint>

// Copies DataFilePath to BackupFilePath when `moment` is enabled and the catalogue file
// exists. The copy is written beside the backup and renamed over it only when complete,
// so a failure never destroys the previous backup. A read-only backup shows message 020,
// any other failure message 021; the caller carries on either way.
void backup_data(int16_t moment);
