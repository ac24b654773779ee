// SPDX-License-Identifier: GPL-3.0-or-later
// The settings reader over arbitrary bytes. What must hold: the values it leaves (those of the
// bytes, or the defaults when it refuses them), the writer writes as bytes it takes and reads
// back as the same values.
#include "core/settings.h"
#include "core/state.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int16_t code = 0;
    reset_state(); // the defaults take the drive from the current directory, alike each time
    load_settings_bytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), code);
    const auto pos = G.FormPos;
    auto saved = G.SavedSettings;
    QStringList detail;
    for (int i = 1; i <= 20; ++i) // bytes that decode to nothing are written as "?"
        detail << saved(i).replace(QChar(0xFFFD), u'?');
    const QByteArray written = settings_bytes();
    reset_state();
    code = 0;
    load_settings_bytes(written, code);
    FUZZ_CHECK(code == 0 && G.FormPos == pos && G.SavedSettings == saved, detail.join(u'\n'));
    return 0;
}
