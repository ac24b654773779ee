// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/confirm.h"
#include "core/backup.h"
#include "core/messages.h"
#include "core/seam.h"
#include "core/settings.h"

void confirm(int16_t& kind) {
    if (kind == 1) {
        if (ask_question(message_001()) != AnswerYes) {
            kind = 0;
            return;
        }
        // No file is held open between procedures, so there is nothing to close here.
        save_settings();
        backup_data(2);
        seam().terminate();
    } else if (kind == 2) {
        kind = ask_question(message_002());
    }
}
