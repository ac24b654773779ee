// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide state that every screen and procedure shares. One instance, `G`;
// tests reset it with `reset_state()` so each starts from the initial values below.
#include "core/arrays.h"
#include "core/platform.h"
#include <QByteArray>
#include <QString>
#include <cstdint>

// Screen codes.
enum ScreenCode : int16_t {
    ScreenHeaderDisp = 1,
    ScreenHeaderInput = 2,
    ScreenSearchData = 3,
    ScreenMenu1 = 4,
    ScreenSearchDir = 5,
    ScreenDelDir = 6,
    ScreenDispDirectory = 7,
    ScreenDispStatus = 8,
};

// Header fields of a catalogue block.
constexpr int HeaderFieldCount = 10;

// The defaults of the settings file (core/settings.cpp), also the initial values.
Fixed2<int16_t, 8, 4> default_form_pos();
Fixed1<QString, 20> default_saved_settings();

// The four files. The directories are ordinary local paths ending in "/".
struct CatalogueFiles {
    QString DataDir, DataFileName = QStringLiteral("tobrin.dat"), DataFilePath;
    QString BackupDir, BackupFileName = QStringLiteral("tobrin.$$$"), BackupFilePath;
    QString CfgDir, CfgFileName = QStringLiteral("tobrin.cfg"), CfgFilePath;
    QString IniDir, IniFileName = QStringLiteral("tobrin.ini"), IniFilePath;
    int16_t DataFileState = 0, BackupFileState = 0, CfgFileState = 0, IniFileState = 0;
    int16_t DataFileReadOnly = -1, BackupFileReadOnly = -1, CfgFileReadOnly = -1,
            IniFileReadOnly = -1;
    int16_t BackupMode = 0;
};

// What a search writes: every block's header, the result lines, and the parent lines of
// the block it read last (the table the acquisition fills too), with their capacities.
struct SearchTables {
    int16_t MaxHeaderBlocks = 200;
    Table2<QString, HeaderFieldCount> HeaderTable; // HeaderTable(block, field)
    int16_t HeaderBlockCount = 0;
    int32_t MaxResultLines = 5000;
    int32_t ResultLineCount = 0;
    Array1<int16_t> ResultLineKinds;
    Array1<QString> ResultLines;
    int16_t DirCount = 1;
    int16_t MaxDirCount = 1000;
    Array1<QString> DirPaths;
};

// What a search looks for: the words typed, the match mode and words made of them
// (check_match_status), and which header fields are searched.
struct SearchQuery {
    Fixed1<QString, 3> SearchWords;
    int16_t MatchMode = 0;
    QString MatchWord1;
    QString MatchWord2;
    QString MatchWord3;
    Fixed1<int16_t, 10> HeaderFieldSearched{1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
};

// The groups keep their names in G (G.DataDir, G.HeaderTable); the search takes them as
// arguments.
struct State : CatalogueFiles, SearchTables, SearchQuery {
    // Titles, line break and screens.
    QString VersionText = QStringLiteral("Ver." TOBRIN_VERSION);
    QString WindowTitle = QStringLiteral("Tobrin  Ver." TOBRIN_VERSION);
    QString MsgBoxTitle = WindowTitle;
    QString CrLf = QStringLiteral("\r\n");
    int16_t CurrentScreen = 0;
    int16_t PreviousScreen = 0;

    // Acquisition tables.
    int32_t DirAttribute = 16;
    // DirCount, MaxDirCount and DirPaths: see SearchTables.
    int16_t EntryCount = 1;
    int16_t MaxEntryCount = 2000;
    Array1<QString> EntryNames;
    Array1<int16_t> EntryParentIndex;
    // The same directories as the disk spells them (bytes; DirDiskPaths relative to the
    // drive's directory, "/" first and last), kept by the walk so that pruning and the
    // deletion screen open the very directory whatever its name's encoding.
    Array1<QByteArray> DirDiskPaths;
    Array1<QByteArray> EntryDiskNames;
    QString CurrentDrive;
    QString DriveLetters;
    QString VolumeLabel;
    QString SelectedDirPath;
    int16_t SelectedDirIndex = 0;
    int16_t BeepEnabled = 1;

    // Preset lists for the header entry screen (filled by set_preset_lists).
    int16_t MagazineCount = 19;
    Array1<QString> MagazineTitles;
    Array1<QString> MagazinePublishers;
    int16_t PublisherCount = 9;
    Array1<QString> PublisherNames;
    int16_t YearCount = 10;
    Array1<QString> YearNames;
    int16_t MonthCount = 12;
    Array1<QString> MonthNames;
    int16_t HeaderLabelCount = 4;
    Array1<QString> HeaderLabelCaptions{QString(), QString(), QString(), QString()};

    // The search (see SearchTables and SearchQuery).
    int16_t HeaderOnlySearch = 0;
    int16_t BlockSearchMode = 0;
    int16_t SortResults = 0;
    int16_t HeaderViewFromSearch = 0;
    QString SelectedResultLine;
    int16_t SelectedBlockNo = 0;
    int16_t ProgressFlags = 0;

    // Screen appearance and persistence.
    QString FontName = QStringLiteral("ＭＳ ゴシック");
    int16_t FontSize = 10;
    int16_t SmallFontSize = 9;
    // FormPos(screen, 1 top | 2 left | 3 width | 4 height), twips
    Fixed2<int16_t, 8, 4> FormPos = default_form_pos();
    // search options 1..9, 20 the acquisition drive
    Fixed1<QString, 20> SavedSettings = default_saved_settings();

    // The drive letters of this run (platform_map_drives, pin_image_drive).
    DriveMap Drives;
    // How long a writer or a backup waits for another copy of the program to finish its
    // append, in milliseconds.
    int CatalogueLockTimeoutMs = 3000;
    // How often the walk, the sort and the pruning update the progress window and yield, in
    // milliseconds; 0 updates after every entry (tests use it to act between directories).
    int ListProgressIntervalMs = 50;
};

extern State G;

// Back to the initial values (tests; never during a run).
void reset_state();
