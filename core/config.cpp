// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config.h"
#include "core/codepage.h"
#include "core/paths.h"
#include "core/seam.h"
#include "core/state.h"
#include "core/text_file.h"
#include <QMap>
#include <cmath>
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

bool ascii_digit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The longest leading decimal number (sign, digits, fraction, exponent) after leading
// blanks; 0 when there is none.
double leading_number(const QString& s) {
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && (s.at(i) == u' ' || s.at(i) == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-')) ++i;
    qsizetype digits = 0;
    while (i < n && ascii_digit(s.at(i)))
        ++i, ++digits;
    if (i < n && s.at(i) == u'.') {
        ++i;
        while (i < n && ascii_digit(s.at(i)))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    qsizetype end = i;
    if (i < n && (s.at(i) == u'e' || s.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s.at(j) == u'+' || s.at(j) == u'-')) ++j;
        if (j < n && ascii_digit(s.at(j))) {
            while (j < n && ascii_digit(s.at(j)))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double d = s.mid(start, end - start).toDouble(&ok);
    if (ok) return d;
    // The text is a number, so it failed by its size: too small is 0, too large an infinity
    // that no range accepts.
    const qsizetype e = s.indexOf(u'e', start, Qt::CaseInsensitive);
    if (e >= 0 && e < end && e + 1 < end && s.at(e + 1) == u'-') return 0;
    return s.at(start) == u'-' ? -HUGE_VAL : HUGE_VAL;
}

// A name or folder holding a control character (a NUL above all) cannot name a file.
bool usable_path_value(const QString& value) {
    for (QChar c : value)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    return true;
}

// The whole value as a number, blanks around it allowed (keys 20 to 29).
bool whole_number(const QString& s, double& out) {
    const QString t = s.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    out = t.toDouble(&ok);
    return ok && std::isfinite(out);
}

bool round_into(double d, double lo, double hi, int32_t& out) {
    const double r = std::nearbyint(d); // the default rounding mode: halves to even
    if (!std::isfinite(r) || r < lo || r > hi) return false;
    out = static_cast<int32_t>(r);
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

// Key 40, "q=/some/dir": the letter and the folder or image file it stands for. Any other
// value pins nothing.
void take_drive_pin(const QString& value, QMap<QChar, QString>& pins) {
    if (value.size() < 3 || value.at(1) != u'=') return;
    const QChar letter = value.at(0).toLower();
    if (letter < u'a' || letter > u'z') return;
    const QString dir = value.mid(2).trimmed();
    if (!dir.isEmpty()) pins.insert(letter, dir);
}

// Tests one setting and, when r.apply, applies it; false on a value that cannot be
// converted.
bool apply_key(int16_t key, const QString& value, ConfigRun& r) {
    int32_t n = 0;
    switch (key) {
    case 1:
        if (!usable_path_value(value)) return false;
        if (r.apply) G.DataFileName = value;
        break;
    case 2:
        if (!usable_path_value(value)) return false;
        if (!r.apply) break;
        G.DataDir = value;
        add_backslash(G.DataDir);
        break;
    case 3: {
        if (!r.apply) break;
        // One letter only, and only a drive that answered.
        QString v = value;
        if (!v.isEmpty()) v[0] = v.at(0).toLower();
        if (v.size() == 1 && G.DriveLetters.contains(v, Qt::CaseInsensitive)) G.CurrentDrive = v;
        break;
    }
    case 4:
        if (r.apply) G.FontName = value;
        break;
    case 5:
        if (!config_number(value, I16Lo, I16Hi, n)) return false;
        if (r.apply) G.FontSize = (n >= 8 && n <= 12) ? static_cast<int16_t>(n) : 10;
        break;
    case 6:
        if (!config_number(value, I16Lo, I16Hi, n)) return false;
        if (r.apply) G.SmallFontSize = (n >= 6 && n <= 12) ? static_cast<int16_t>(n) : 9;
        break;
    case 10:
        if (!config_number(value, I16Lo, I16Hi, n)) return false;
        if (r.apply) G.BeepEnabled = static_cast<int16_t>(n);
        break;
    case 11:
        if (!usable_path_value(value)) return false;
        if (r.apply) G.BackupFileName = value;
        break;
    case 12:
        if (!usable_path_value(value)) return false;
        if (!r.apply) break;
        G.BackupDir = value;
        add_backslash(G.BackupDir);
        break;
    case 13:
        if (!config_number(value, I16Lo, I16Hi, n)) return false;
        if (r.apply) G.BackupMode = static_cast<int16_t>(n);
        break;
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29: {
        double d = 0;
        if (!whole_number(value, d) || !round_into(d, I16Lo, I16Hi, n)) return false;
        if (r.apply) G.HeaderFieldSearched(key - 19) = static_cast<int16_t>(n);
        break;
    }
    case 31:
    case 32:
    case 33:
        if (r.apply) G.HeaderLabelCaptions(key - 30) = value;
        break;
    case 36:
        if (r.apply) G.HeaderLabelCaptions(4) = value;
        break;
    case 40:
        // A drive pin names a folder or a file, so it takes no control character.
        if (!usable_path_value(value)) return false;
        take_drive_pin(value, r.pins);
        break;
    case 51: {
        if (r.titles >= I16Hi) return false; // the count is a 16-bit number
        const int t = ++r.titles;
        if (!r.apply) break;
        if (t == 1) {
            G.MagazineTitles.redim(1);
            G.MagazinePublishers.redim(1);
        } else {
            G.MagazineTitles.redim_preserve(t);
            G.MagazinePublishers.redim_preserve(t);
        }
        G.MagazineCount = static_cast<int16_t>(t);
        G.MagazineTitles(t) = value;
        G.MagazinePublishers(t) = QString();
        break;
    }
    case 52: {
        if (r.titlePublishers >= I16Hi) return false;
        const int m = ++r.titlePublishers;
        if (r.apply && m <= r.titles) G.MagazinePublishers(m) = value;
        break;
    }
    case 53: {
        if (r.publishers >= I16Hi) return false;
        const int p = ++r.publishers;
        if (!r.apply) break;
        if (p == 1)
            G.PublisherNames.redim(1);
        else
            G.PublisherNames.redim_preserve(p);
        G.PublisherCount = static_cast<int16_t>(p);
        G.PublisherNames(p) = value;
        break;
    }
    case 54: {
        if (r.months >= I16Hi) return false;
        const int q = ++r.months;
        if (!r.apply) break;
        G.MonthNames.redim_preserve(q);
        G.MonthCount = static_cast<int16_t>(q);
        G.MonthNames(q) = value;
        break;
    }
    case 60:
    case 61:
    case 62:
    case 63: {
        if (!config_number(value, I32Lo, I32Hi, n)) return false;
        const int32_t hi = key == 62 ? 9999 : 19999;
        if (!r.apply || n < 101 || n > hi) break;
        if (key == 60) G.MaxDirCount = static_cast<int16_t>(n);
        if (key == 61) G.MaxEntryCount = static_cast<int16_t>(n);
        if (key == 62) G.MaxHeaderBlocks = static_cast<int16_t>(n);
        if (key == 63) G.MaxResultLines = n;
        break;
    }
    default:
        break; // unknown keys
    }
    return true;
}

// Every setting line of the file in order; false when the file cannot be opened or read, or
// at the first line that cannot be applied (the lines after it are not read).
bool read_config_file(const QString& localPath, ConfigRun& r) {
    TextLineReader reader;
    if (!reader.open(localPath)) return false;
    QString line, value;
    int16_t key = 0;
    while (reader.read_line(line)) {
        parse_config_line(line, value, key);
        if (key < 1) continue;
        if (!apply_key(key, value, r)) return false;
    }
    return !reader.has_error();
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
    return round_into(leading_number(value), lo, hi, out);
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
    if (!ok)
        show_message(QStringLiteral("環境設定ファイル[") + G.CfgFilePath +
                     QStringLiteral("]を読み込むことができません。(071)") + G.CrLf + G.CrLf +
                     QStringLiteral("デフォルト値で動作します。"));
    size_tables_from_config();
}
