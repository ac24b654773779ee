// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration reader over arbitrary bytes. What must hold: the drive map's reading, which
// applies nothing, stops where the applying one stops, with the same pins; no file name or
// folder applied holds a control character.
#include "core/config.h"
#include "core/state.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    reset_state();
    QMap<QChar, QString> tested, applied;
    const bool testedOk = read_config_bytes(bytes, false, tested);
    FUZZ_CHECK(read_config_bytes(bytes, true, applied) == testedOk && tested == applied,
               QStringLiteral("the drive map's reading stops elsewhere"));
    for (const QString& v : {G.DataFileName, G.DataDir, G.BackupFileName, G.BackupDir})
        for (QChar c : v)
            FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F, v);
    return 0;
}
