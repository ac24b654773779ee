// SPDX-License-Identifier: GPL-3.0-or-later
// The settings reader over arbitrary bytes. What must hold: a file it takes is written
// back by the writer to one it reads as the same values; a file it refuses leaves the
// full defaults; either way the search options read from it are usable.
#include "core/settings.h"
#include "search/search_rules.h"
#include "core/state.h"
#include "fuzz_support.h"

namespace {
struct Values {
    Fixed2<int16_t, 8, 4> pos;
    Fixed1<QString, 20> saved;
    bool operator==(const Values&) const = default;
};
Values values() {
    return {G.FormPos, G.SavedSettings};
}
QString describe(const Values& v) {
    QStringList l;
    for (int n = 1; n <= 8; ++n)
        for (int k = 1; k <= 4; ++k)
            l << QString::number(v.pos(n, k));
    for (int i = 1; i <= 20; ++i)
        l << v.saved(i);
    return l.join(u'|');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    reset_state();
    G.DriveLetters = QStringLiteral("cq");
    G.CurrentDrive = QStringLiteral("c");
    G.IniFilePath = scratch_file(QStringLiteral("tobrin.ini"), bytes);
    int16_t code = 0;
    load_settings(code);
    Values read = values();
    if (code == 1) {
        int16_t r = 0;
        set_default_settings(r);
        FUZZ_CHECK(values() == read, describe(read));
    } else {
        // Bytes that decode to nothing were already lost on reading; they are written as "?".
        for (int i = 1; i <= 20; ++i)
            read.saved(i).replace(QChar(0xFFFD), u'?');
        save_settings();
        const QString path = G.IniFilePath;
        reset_state();
        G.IniFilePath = path;
        G.DriveLetters = QStringLiteral("cq");
        G.CurrentDrive = QStringLiteral("c");
        int16_t again = 0;
        load_settings(again);
        FUZZ_CHECK(again == 0, QStringLiteral("the written file is refused: "));
        FUZZ_CHECK(values() == read,
                   describe(read) + QStringLiteral("\nread back as\n") + describe(values()));
    }
    SearchControls c;
    search_options(1, c);
    FUZZ_CHECK(!(c.Option2_1 && c.Option2_2) && !(c.Option4_1 && c.Option4_2),
               QStringLiteral("option buttons"));
    for (int16_t v : {c.Check1, c.Check2, c.Check3, c.Check4, c.Check5})
        FUZZ_CHECK(v >= 0 && v <= 2, QString::number(v));
    return 0;
}
