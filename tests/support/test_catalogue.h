// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test catalogues written line by line in code page 932, the state a scan needs, and
// search options spelt as flags.
#include "core/state.h"
#include "search/search_options.h"
#include "test_env.h"

// Members left out of a designated initialiser keep their defaults, as meant.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// One block; the members follow the file's order, so designated initialisers can name any.
// The default block is the root placeholder ("\" with the entry "1,").
struct TestBlock {
    QString title, publisher, memo, year, month, h6, stamp = QStringLiteral("1999/05/12 10:30:00"),
                                                     volume, drive = QStringLiteral("q"), h10;
    QStringList parents{QStringLiteral("\\")};
    QStringList entries{QStringLiteral("1,")};

    QStringList lines() const {
        QStringList l{QStringLiteral("*01")};
        for (const QString& f :
             {title, publisher, memo, year, month, h6, stamp, volume, drive, h10})
            l << u'"' + f + u'"';
        l << QStringLiteral("*02") << parents << QStringLiteral("*03") << entries;
        return l;
    }
};

// A block with only a title (its header line is title + two blanks), the parents \ and
// \TOOLS\, and `entries`.
inline QStringList disc(const QStringList& entries, const QString& title = QStringLiteral("Disc")) {
    return TestBlock{.title = title, .parents = {"\\", "\\TOOLS\\"}, .entries = entries}.lines();
}

// Points G at `dir`/tobrin.dat (the readers size their tables themselves).
inline void use_catalogue(const QString& dir, const QStringList& lines) {
    G.DataDir = dir + u'/';
    G.DataFileName = QStringLiteral("tobrin.dat");
    G.DataFilePath = G.DataDir + G.DataFileName;
    write_cp932_file(G.DataFilePath, lines);
}

// Options from flags: c case matters, w width matters, * wildcard, h header only,
// u unsorted, d directories shown.
inline SearchOptions options(const QString& f) {
    return {.foldCase = !f.contains(u'c'),
            .foldWidth = !f.contains(u'w'),
            .wildcard = f.contains(u'*'),
            .headerOnly = f.contains(u'h'),
            .showDirs = f.contains(u'd'),
            .sort = !f.contains(u'u')};
}
