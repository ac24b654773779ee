// SPDX-License-Identifier: GPL-3.0-or-later
// The scan's fused decode-and-fold over arbitrary catalogue bytes. What must hold, for every
// folding: it gives exactly what decoding then folding gives, twice alike, says whether the
// bytes hold "&", and the bytes it marks for the last unit of the folded text are among them
// (the scan skips a name without such a byte).
#include "core/codepage.h"
#include "core/fold.h"
#include "fuzz_support.h"
#include "search/folded_decoder.h"
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString decoded = decode_cp932(bytes);
    std::vector<char16_t> out(2 * size_t(size) + 1);
    for (const bool narrow : {false, true})
        for (const bool lower : {false, true}) {
            const FoldedDecoder d(narrow, lower);
            bool amp = false;
            char16_t* e = d.decode(bytes, out.data(), amp);
            const QStringView fused(out.data(), e - out.data());
            QString folded;
            fold_text(decoded, folded, narrow, lower);
            FUZZ_CHECK(fused == folded, folded);
            FUZZ_CHECK(amp == bytes.contains('&'), QStringLiteral("ampersand"));
            if (folded.isEmpty()) continue;
            bool marked[256] = {};
            d.mark_bytes_of(folded.back().unicode(), marked);
            const auto isMarked = [&marked](char b) { return marked[uint8_t(b)]; };
            FUZZ_CHECK(std::any_of(bytes.begin(), bytes.end(), isMarked), folded);
        }
    return 0;
}
