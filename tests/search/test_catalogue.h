#pragma once
// Test catalogues written line by line in code page 932, and the state a scan needs.
#include "core/state.h"
#include "test_env.h"
#include <QString>
#include <QStringList>

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

inline QStringList catalogue(std::initializer_list<TestBlock> blocks) {
    QStringList l;
    for (const TestBlock& b : blocks)
        l << b.lines();
    return l;
}

// Points G at `dir`/tobrin.dat and sizes the tables as start-up would.
inline void use_catalogue(const QString& dir, const QStringList& lines) {
    G.DataDir = dir + u'/';
    G.DataFileName = QStringLiteral("tobrin.dat");
    G.DataFilePath = G.DataDir + G.DataFileName;
    write_cp932_file(G.DataFilePath, lines);
    G.HeaderTable.redim(G.MaxHeaderBlocks);
    G.DirPaths.redim(G.MaxDirCount);
    G.ResultLines.redim(G.MaxResultLines);
    G.ResultLineKinds.redim(G.MaxResultLines);
}
