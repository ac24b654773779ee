#pragma once
// A temporary directory pinned as drive q, with tables sized as start-up sizes them.
#include "core/platform.h"
#include "core/state.h"
#include "test_env.h"
#include <QTemporaryDir>

struct DriveQ {
    QTemporaryDir dir;
    QString root() const { return dir.path(); }
    QString path(const QString& rel) const { return dir.filePath(rel); }
    DriveQ() {
        fresh_state();
        size_lists(G.MaxDirCount, G.MaxEntryCount);
        QTemporaryDir cfgDir;
        const QString cfg = cfgDir.filePath("tobrin.cfg");
        write_cp932_file(cfg, {QStringLiteral("#40:q=") + dir.path()});
        platform_map_drives(cfg);
        G.CurrentDrive = QStringLiteral("q");
    }
    static void size_lists(int16_t dirs, int16_t entries) {
        G.MaxDirCount = dirs;
        G.MaxEntryCount = entries;
        G.DirPaths.redim(dirs);
        G.EntryNames.redim(entries);
        G.EntryParentIndex.redim(entries);
    }
};

// The list as display lines, for compact comparisons.
inline QStringList display_lines() {
    QStringList lines;
    for (int i = 1; i <= G.EntryCount; ++i)
        lines << G.DirPaths(G.EntryParentIndex(i)) + G.EntryNames(i);
    return lines;
}
inline QStringList parent_slots() {
    QStringList slots_;
    for (int i = 1; i <= G.DirCount; ++i)
        slots_ << G.DirPaths(i);
    return slots_;
}
