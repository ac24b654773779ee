// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration reader over arbitrary bytes. What must hold afterwards: every preset
// list holds as many entries as its count says, the capacities lie in their ranges and the
// tables are sized to them, and any line that stopped the reading was reported.
#include "core/config.h"
#include "core/state.h"
#include "fuzz_support.h"
#include <QDate>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    reset_state();
    G.DriveLetters = QStringLiteral("cq");
    set_preset_lists(QDate(2026, 12, 6));
    G.CfgFilePath = scratch_file(QStringLiteral("tobrin.cfg"), bytes);
    QuietSeam s;
    set_seam(&s);
    read_config();
    set_seam(nullptr);

    const QString counts = QStringLiteral("titles %1/%2/%3 publishers %4/%5 months %6/%7")
                               .arg(G.MagazineCount)
                               .arg(G.MagazineTitles.size())
                               .arg(G.MagazinePublishers.size())
                               .arg(G.PublisherCount)
                               .arg(G.PublisherNames.size())
                               .arg(G.MonthCount)
                               .arg(G.MonthNames.size());
    FUZZ_CHECK(G.MagazineCount == G.MagazineTitles.size(), counts);
    FUZZ_CHECK(G.MagazineCount == G.MagazinePublishers.size(), counts);
    FUZZ_CHECK(G.PublisherCount == G.PublisherNames.size(), counts);
    FUZZ_CHECK(G.MonthCount == G.MonthNames.size(), counts);
    FUZZ_CHECK(G.YearCount == G.YearNames.size(), counts);
    FUZZ_CHECK(G.HeaderLabelCaptions.size() == 4, counts);

    FUZZ_CHECK(G.MaxDirCount >= 101 && G.MaxDirCount <= 19999, QString::number(G.MaxDirCount));
    FUZZ_CHECK(G.MaxEntryCount >= 101 && G.MaxEntryCount <= 19999,
               QString::number(G.MaxEntryCount));
    FUZZ_CHECK(G.MaxHeaderBlocks >= 101 && G.MaxHeaderBlocks <= 9999,
               QString::number(G.MaxHeaderBlocks));
    FUZZ_CHECK(G.MaxResultLines >= 101 && G.MaxResultLines <= 19999,
               QString::number(G.MaxResultLines));
    FUZZ_CHECK(G.DirPaths.size() == G.MaxDirCount && G.EntryNames.size() == G.MaxEntryCount &&
                   G.EntryParentIndex.size() == G.MaxEntryCount &&
                   G.HeaderTable.rows() == G.MaxHeaderBlocks &&
                   G.ResultLines.size() == G.MaxResultLines &&
                   G.ResultLineKinds.size() == G.MaxResultLines,
               QStringLiteral("tables not sized to the capacities"));
    FUZZ_CHECK(G.FontSize >= 8 && G.FontSize <= 12 && G.SmallFontSize >= 6 && G.SmallFontSize <= 12,
               QStringLiteral("font sizes %1 %2").arg(G.FontSize).arg(G.SmallFontSize));
    FUZZ_CHECK(G.CurrentDrive.isEmpty() || G.DriveLetters.contains(G.CurrentDrive), G.CurrentDrive);
    // File names and folders never carry a control character.
    for (const QString& v : {G.DataFileName, G.DataDir, G.BackupFileName, G.BackupDir})
        for (QChar c : v)
            FUZZ_CHECK(c.unicode() >= 0x20, v);
    FUZZ_CHECK(s.messages.size() <= 1, s.messages.join(u'\n'));
    return 0;
}
