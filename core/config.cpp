// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config.h"
#include "core/codepage.h"
#include "core/messages.h"
#include "core/number.h"
#include "core/paths.h"
#include "core/seam.h"
#include "core/state.h"
#include "core/text_file.h"
#include <QMap>
#include <limits>

namespace {
struct Preset {
    const char16_t* title;
    const char16_t* publisher;
};
const Preset BuiltInTitles[19] = {
    {u"DOS/V magazine", u"ソフトバンク"},
    {u"ASCII", u"アスキー"},
    {u"ASCII DOS/V ISSUE", u"アスキー"},
    {u"Windows Magazeine", u"アスキー"},
    {u"WINDOWS WORLD", u"IDGｺﾐｭﾆｹｰｼｮﾝｽﾞ"},
    {u"DOS/V POWER REPORT", u"インプレス"},
    {u"INTERNET magazine", u"インプレス"},
    {u"The Windows", u"ソフトバンク"},
    {u"TECH Win", u"アスキー"},
    {u"WinPC", u"日経BP"},
    {u"Internet user", u"ソフトバンク"},
    {u"Oh! PC", u"ソフトバンク"},
    {u"CODE FORGE MONTHLY", u"翔泳社"},
    {u"EYE-COM for KIDS", u"アスキー"},
    {u"PCing", u"学習研究社"},
    {u"FMVファミリー", u"ソフトバンク"},
    {u"internet@ ASCII", u"アスキー"},
    {u"HDD DRIVE C:", u"Directory Backup"},
    {u"FDD DRIVE A:", u"Directory Backup"},
};
const char16_t* const BuiltInPublishers[9] = {
    u"アスキー", u"ソフトバンク", u"インプレス",    u"IDGｺﾐｭﾆｹｰｼｮﾝｽﾞ", u"日経BP",
    u"翔泳社",   u"学習研究社",   u"HDD Directory", u"FDD Directory"};

// A name or folder holding a control character (a NUL above all) cannot name a file.
bool usable_path_value(const QString& value) {
    for (QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    return true;
}

constexpr double I16Lo = std::numeric_limits<int16_t>::min();
constexpr double I16Hi = std::numeric_limits<int16_t>::max();
constexpr double I32Lo = std::numeric_limits<int32_t>::min();
constexpr double I32Hi = std::numeric_limits<int32_t>::max();

// One reading of the file: the list counters, and whether the settings are applied or only
// tested (the drive map's reading, which must stop where the real one stops).
struct ConfigRun {
    bool apply = true;
    int titles = 0;
    int titlePublishers = 0;
    int publishers = 0;
    int months = 12; // the built-in months come first
    QMap<QChar, QString> pins;
};

// Keys 1 to 3, 11 and 12: the catalogue's and the backup's file names and folders, and the
// current drive.
bool apply_file_key(int16_t key, const QString& value, ConfigRun& r) {
    if (key == 3) {
        if (!r.apply) return true;
        // One letter only, and only a drive that answered.
        QString v = value;
        if (!v.isEmpty()) v[0] = v.at(0).toLower();
        if (v.size() == 1 && G.DriveLetters.contains(v, Qt::CaseInsensitive)) G.CurrentDrive = v;
        return true;
    }
    if (!usable_path_value(value)) return false;
    if (!r.apply) return true;
    QString& to = key == 1    ? G.DataFileName
                  : key == 2  ? G.DataDir
                  : key == 11 ? G.BackupFileName
                              : G.BackupDir;
    to = value;
    if (key == 2 || key == 12) add_backslash(to);
    return true;
}

// Keys 5, 6, 10 and 13: the font sizes (out of their range: the default), the beep and the
// backup mode.
bool apply_number_key(int16_t key, const QString& value, ConfigRun& r) {
    int32_t n = 0;
    if (!config_number(value, I16Lo, I16Hi, n)) return false;
    if (!r.apply) return true;
    const auto v = static_cast<int16_t>(n);
    if (key == 5) G.FontSize = (n >= 8 && n <= 12) ? v : 10;
    if (key == 6) G.SmallFontSize = (n >= 6 && n <= 12) ? v : 9;
    if (key == 10) G.BeepEnabled = v;
    if (key == 13) G.BackupMode = v;
    return true;
}

// Keys 20 to 29: whether a search reads header field 1 to 10, the whole value a number; 31 to
// 33 and 36: the captions of header labels 1 to 4.
bool apply_header_key(int16_t key, const QString& value, ConfigRun& r) {
    if (key <= 29) {
        double d = 0;
        int32_t n = 0;
        if (!whole_number(value, d) || !round_into(d, I16Lo, I16Hi, n)) return false;
        if (r.apply) G.HeaderFieldSearched(key - 19) = static_cast<int16_t>(n);
    } else if (r.apply && ((key >= 31 && key <= 33) || key == 36)) {
        G.HeaderLabelCaptions(key == 36 ? 4 : key - 30) = value;
    }
    return true;
}

// Key 40, "q=/some/dir": the letter and the folder or image file it stands for. Any other
// value pins nothing; one with a control character names no folder or file and fails.
bool take_drive_pin(const QString& value, QMap<QChar, QString>& pins) {
    if (!usable_path_value(value)) return false;
    if (value.size() < 3 || value.at(1) != u'=') return true;
    const QChar letter = value.at(0).toLower();
    if (letter < u'a' || letter > u'z') return true;
    const QString dir = value.mid(2).trimmed();
    if (!dir.isEmpty()) pins.insert(letter, dir);
    return true;
}

// Keys 51 to 54, an entry each: a magazine title, the publisher of the title of its rank, a
// publisher, a month. The first title or publisher replaces the built-in list (the entry
// overwrites the one it keeps); months follow the built-in ones.
bool apply_list_key(int16_t key, const QString& value, ConfigRun& r) {
    int& count = key == 51   ? r.titles
                 : key == 52 ? r.titlePublishers
                 : key == 53 ? r.publishers
                             : r.months;
    if (count >= I16Hi) return false; // the count is a 16-bit number
    const int n = ++count;
    if (!r.apply) return true;
    const auto add = [&value, n](Array1<QString>& list, int16_t& size) {
        list.redim_preserve(n);
        list(n) = value;
        size = static_cast<int16_t>(n);
    };
    if (key == 51) {
        add(G.MagazineTitles, G.MagazineCount);
        G.MagazinePublishers.redim_preserve(n);
        G.MagazinePublishers(n) = QString();
    }
    if (key == 52 && n <= r.titles) G.MagazinePublishers(n) = value;
    if (key == 53) add(G.PublisherNames, G.PublisherCount);
    if (key == 54) add(G.MonthNames, G.MonthCount);
    return true;
}

// Keys 60 to 63: the capacities; a value out of its range keeps the default, silently.
bool apply_capacity_key(int16_t key, const QString& value, ConfigRun& r) {
    int32_t n = 0;
    if (!config_number(value, I32Lo, I32Hi, n)) return false;
    const int32_t hi = key == 62 ? 9999 : 19999;
    if (!r.apply || n < 101 || n > hi) return true;
    if (key == 60) G.MaxDirCount = static_cast<int16_t>(n);
    if (key == 61) G.MaxEntryCount = static_cast<int16_t>(n);
    if (key == 62) G.MaxHeaderBlocks = static_cast<int16_t>(n);
    if (key == 63) G.MaxResultLines = n;
    return true;
}

// Tests one setting (key 1 or above) and, when r.apply, applies it; false on a value that
// cannot be converted. Unknown keys are passed over.
bool apply_key(int16_t key, const QString& value, ConfigRun& r) {
    if (key <= 3 || key == 11 || key == 12) return apply_file_key(key, value, r);
    if (key == 4) {
        if (r.apply) G.FontName = value;
        return true;
    }
    if (key == 5 || key == 6 || key == 10 || key == 13) return apply_number_key(key, value, r);
    if (key >= 20 && key <= 36) return apply_header_key(key, value, r);
    if (key == 40) return take_drive_pin(value, r.pins);
    if (key >= 51 && key <= 54) return apply_list_key(key, value, r);
    if (key >= 60 && key <= 63) return apply_capacity_key(key, value, r);
    return true;
}

// Every setting line in order; false on a read error or at the first line that cannot be
// applied (the lines after it are not read).
bool read_config_lines(ByteLineReader& in, ConfigRun& r) {
    in.set_line_limit(MaxTextLineBytes);
    QByteArrayView bytes;
    QString line, value;
    int16_t key = 0;
    while (in.next(bytes)) {
        line.clear();
        decode_cp932_append(bytes, line);
        parse_config_line(line, value, key);
        if (key < 1) continue;
        if (!apply_key(key, value, r)) return false;
    }
    return !in.failed();
}

// The file's lines; false also when it cannot be opened.
bool read_config_file(const QString& localPath, ConfigRun& r) {
    ByteLineReader in;
    return in.open(localPath) && read_config_lines(in, r);
}

void size_tables_from_config() {
    G.DirPaths.redim(G.MaxDirCount);
    G.EntryNames.redim(G.MaxEntryCount);
    G.EntryParentIndex.redim(G.MaxEntryCount);
    G.HeaderTable.redim(G.MaxHeaderBlocks);
    G.ResultLineKinds.redim(G.MaxResultLines);
    G.ResultLines.redim(G.MaxResultLines);
}
} // namespace

bool config_number(const QString& value, double lo, double hi, int32_t& out) {
    return round_into(leading_number(value.toLatin1()), lo, hi, out);
}

bool read_config_bytes(const QByteArray& bytes, bool apply, QMap<QChar, QString>& pins) {
    ConfigRun r;
    r.apply = apply;
    r.months = G.MonthCount;
    ByteLineReader in;
    in.open_bytes(bytes);
    const bool ok = read_config_lines(in, r);
    pins = r.pins;
    return ok;
}

QMap<QChar, QString> read_drive_pins(const QString& localPath) {
    ConfigRun r;
    r.apply = false;
    if (!localPath.isEmpty()) read_config_file(localPath, r);
    return r.pins;
}

void set_preset_lists(const QDate& today) {
    G.HeaderLabelCount = 4;
    G.HeaderLabelCaptions = Array1<QString>(4);
    G.MagazineCount = 19;
    G.MagazineTitles.redim(19);
    G.MagazinePublishers.redim(19);
    for (int i = 1; i <= 19; ++i) {
        G.MagazineTitles(i) = QString::fromUtf16(BuiltInTitles[i - 1].title);
        G.MagazinePublishers(i) = QString::fromUtf16(BuiltInTitles[i - 1].publisher);
    }
    G.PublisherCount = 9;
    G.PublisherNames.redim(9);
    for (int i = 1; i <= 9; ++i)
        G.PublisherNames(i) = QString::fromUtf16(BuiltInPublishers[i - 1]);
    G.YearCount = 10;
    G.YearNames.redim(10);
    const int base = today.year() + (today.month() >= 11 ? 1 : 0);
    for (int i = 1; i <= 10; ++i)
        G.YearNames(i) = QString::number(base - (i - 1));
    G.MonthCount = 12;
    G.MonthNames.redim(12);
    for (int i = 1; i <= 12; ++i)
        G.MonthNames(i) = QString::number(i);
}

void set_preset_lists() {
    set_preset_lists(QDate::currentDate());
}

void parse_config_line(const QString& line, QString& value, int16_t& key) {
    value.clear();
    key = 0;
    if (line.size() < 5) return;
    if (line.at(3) != u':') return;
    int32_t k = 0;
    if (!config_number(line.mid(1, 2), I16Lo, I16Hi, k) || k <= 0) return;
    key = static_cast<int16_t>(k);
    const QChar prefix = line.at(0);
    if (prefix == u'#')
        value = line.mid(4);
    else if (prefix == u'%')
        value = line.mid(4, 1);
    else if (prefix == u'$')
        value = (line.mid(4) + QString(12, u' ')).left(12);
}

void read_config() {
    G.DirCount = 1;
    G.MaxDirCount = 1000;
    G.EntryCount = 1;
    G.MaxEntryCount = 2000;
    G.HeaderBlockCount = 0;
    G.MaxHeaderBlocks = 200;
    G.ResultLineCount = 0;
    G.MaxResultLines = 5000;
    ConfigRun r;
    r.months = G.MonthCount;
    const bool ok = read_config_file(to_local_file(G.CfgFilePath), r);
    if (!ok) show_message(message_071(G.CfgFilePath));
    size_tables_from_config();
}
