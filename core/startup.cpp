// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/startup.h"
#include "core/backup.h"
#include "core/config.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/state.h"
#include <QDir>
#include <QFileInfo>

void startup(const QString& argument) {
    const QString cwd = QDir::currentPath();
    // The drive map reads the configuration file's drive pins, so it is built before
    // anything asks for a drive; it shows nothing.
    platform_map_drives(argument.isEmpty() ? QDir(cwd).filePath(QStringLiteral("tobrin.cfg"))
                                           : argument);

    G.VersionText = QStringLiteral("Ver." TOBRIN_VERSION);
    G.WindowTitle = QStringLiteral("Tobrin  ") + G.VersionText;
    G.MsgBoxTitle = G.WindowTitle;
    G.DirAttribute = 16;
    G.CrLf = QStringLiteral("\r\n");
    G.CurrentDrive = QString(drive_of_path(cwd)).toLower();
    G.DriveLetters.clear();
    G.ProgressFlags = 0;

    QString here = cwd;
    G.DataDir = add_backslash(here);
    G.DataFileName = QStringLiteral("tobrin.dat");
    G.CfgDir = G.DataDir;
    G.CfgFileName = QStringLiteral("tobrin.cfg");
    if (!argument.isEmpty()) {
        G.CfgDir.clear();
        G.CfgFileName = argument;
    }
    G.IniDir = G.DataDir;
    G.IniFileName = QStringLiteral("tobrin.ini");
    G.BackupDir = G.DataDir;
    G.BackupFileName = QStringLiteral("tobrin.$$$");

    G.BackupMode = 0;
    G.DataFileState = G.BackupFileState = G.CfgFileState = G.IniFileState = 0;
    G.DataFileReadOnly = G.BackupFileReadOnly = G.CfgFileReadOnly = G.IniFileReadOnly = -1;

    G.VolumeLabel.clear();
    G.SelectedDirPath.clear();
    G.SelectedDirIndex = 0;
    G.FontName = QStringLiteral("ＭＳ ゴシック");
    G.FontSize = 10;
    G.SmallFontSize = 9;
    G.BeepEnabled = 1;
    G.BlockSearchMode = 0;
    G.SortResults = 0;
    for (int k = 1; k <= 9; ++k)
        G.HeaderFieldSearched(k) = 1;
    G.HeaderFieldSearched(10) = 0;

    G.CfgFilePath = add_backslash(G.CfgDir) + G.CfgFileName;
    if (!argument.isEmpty()) G.CfgFilePath = argument;
    G.IniFilePath = add_backslash(G.IniDir) + G.IniFileName;

    int16_t code = 100;
    load_settings(code);

    enum_drives();
    const QString saved = G.SavedSettings(20);
    if (saved.size() == 1 && G.DriveLetters.contains(saved, Qt::CaseInsensitive))
        G.CurrentDrive = saved.toLower();

    set_preset_lists();
    read_config();
    G.HeaderFieldSearched(3) = 1;
    G.HeaderFieldSearched(10) = 0;

    check_file(G.DataDir, G.DataFileName, G.DataFileState, G.DataFileReadOnly);
    check_file(G.BackupDir, G.BackupFileName, G.BackupFileState, G.BackupFileReadOnly);
    // A configuration named by the argument is probed where it lies; its empty directory
    // would send the probe to the root of the drive instead.
    QString cfgDir = G.CfgDir, cfgName = G.CfgFileName;
    if (!argument.isEmpty()) {
        const QFileInfo named(argument);
        cfgDir = named.absolutePath();
        cfgName = named.fileName();
    }
    check_file(cfgDir, cfgName, G.CfgFileState, G.CfgFileReadOnly);
    check_file(G.IniDir, G.IniFileName, G.IniFileState, G.IniFileReadOnly);
    G.DataFilePath = add_backslash(G.DataDir) + G.DataFileName;
    G.BackupFilePath = add_backslash(G.BackupDir) + G.BackupFileName;
}
