// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"
#include "core/codepage.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/save_file.h"
#include "core/state.h"
#include "core/text_file.h"
#include <QDir>
#include <QSaveFile>
#include <cmath>

namespace {
constexpr int16_t DefaultSizes[8][2] = {{7800, 4248}, {7800, 4248}, {8460, 7152}, {4140, 2844},
                                        {7800, 4248}, {4020, 3336}, {7800, 4248}, {4140, 1536}};

// The first field of a line as a list read takes it: leading blanks skipped, up to the
// first comma; a field in double quotes without them.
QString first_field(const QString& line) {
    qsizetype i = 0;
    while (i < line.size() && (line.at(i) == u' ' || line.at(i) == u'\t'))
        ++i;
    if (i < line.size() && line.at(i) == u'"') {
        const qsizetype end = line.indexOf(u'"', i + 1);
        return end < 0 ? line.mid(i + 1) : line.mid(i + 1, end - i - 1);
    }
    const qsizetype comma = line.indexOf(u',', i);
    QString f = comma < 0 ? line.mid(i) : line.mid(i, comma - i);
    while (f.endsWith(u' ') || f.endsWith(u'\t'))
        f.chop(1);
    return f;
}

// One number field: blanks around it allowed, the whole field a number that rounds
// (half to even) into 16 bits.
bool number_field(const QString& field, int16_t& out) {
    const QString t = field.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return false;
    const double r = std::nearbyint(d);
    if (r < -32768 || r > 32767) return false;
    out = static_cast<int16_t>(r);
    return true;
}

// " 0 " for 0, "-5 " for -5: the list-printing format.
QString number_text(int16_t n) {
    return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n) + QStringLiteral(" ");
}

// The 29 lines the reader needs (fewer when the file is shorter); whatever follows them
// is never read.
bool read_head(QStringList& lines) {
    TextLineReader reader;
    if (!reader.open(to_local_file(G.IniFilePath))) return false;
    QString line;
    while (lines.size() < 29 && reader.read_line(line))
        lines.append(line);
    return !reader.has_error();
}

bool apply(const QStringList& lines) {
    if (lines.isEmpty() || first_field(lines.at(0)) != G.WindowTitle) return false;
    if (lines.size() < 29) return false;
    Fixed2<int16_t, 8, 4> pos;
    for (int n = 1; n <= 8; ++n) {
        const QStringList fields = lines.at(n).split(u',');
        if (fields.size() != 4) return false;
        for (int k = 1; k <= 4; ++k)
            if (!number_field(fields.at(k - 1), pos(n, k))) return false;
    }
    G.FormPos = pos;
    for (int i = 1; i <= 20; ++i)
        G.SavedSettings(i) = lines.at(8 + i);
    return true;
}

// "True"/"False" in any case, or a number (true when not 0).
bool read_bool(const QString& text, bool& out) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok) return false;
    out = d != 0;
    return true;
}

// The leading number of the text (none gives 0, the cleared state); only 0..2 fit a
// check box.
bool read_check(const QString& text, int16_t& out) {
    int32_t v = 0;
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    bool neg = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) neg = text.at(i++) == u'-';
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128 && v < 1000)
        v = v * 10 + (text.at(i++).unicode() - u'0');
    if (neg) v = -v;
    if (v < 0 || v > 2) return false;
    out = static_cast<int16_t>(v);
    return true;
}
} // namespace

Fixed2<int16_t, 8, 4> default_form_pos() {
    Fixed2<int16_t, 8, 4> pos;
    for (int n = 1; n <= 8; ++n) {
        pos(n, 1) = 0;
        pos(n, 2) = 0;
        pos(n, 3) = DefaultSizes[n - 1][0];
        pos(n, 4) = DefaultSizes[n - 1][1];
    }
    return pos;
}

Fixed1<QString, 20> default_saved_settings() {
    return Fixed1<QString, 20>{
        QStringLiteral("True"),  QStringLiteral("False"), QStringLiteral("True"),
        QStringLiteral("False"), QStringLiteral("1"),     QStringLiteral("0"),
        QStringLiteral("1"),     QStringLiteral("0"),     QStringLiteral("0")};
}

void set_default_settings(int16_t& result) {
    G.FormPos = default_form_pos();
    const QString drive = G.SavedSettings(20);
    G.SavedSettings = default_saved_settings();
    G.SavedSettings(20) = drive;
    const bool known =
        !G.CurrentDrive.isEmpty() && G.DriveLetters.contains(G.CurrentDrive, Qt::CaseInsensitive);
    if (!known) {
        G.CurrentDrive = QString(drive_of_path(QDir::currentPath())).toLower();
        G.SavedSettings(20) = G.CurrentDrive;
    }
    result = 1;
}

void load_settings(int16_t& code) {
    QStringList lines;
    if (read_head(lines) && apply(lines)) return;
    int16_t result = 0;
    set_default_settings(result);
    code = 1;
}

void save_settings() {
    const QString path = to_local_file(G.IniFilePath);
    // A link stands for the file it names; only a writable regular file is replaced.
    const int attr = file_attributes(path);
    if (attr >= 0 && (attr & (AttrReadOnly | AttrDirectory | AttrSystem))) return;
    QByteArray bytes;
    const auto line = [&bytes](const QString& text) {
        encode_cp932_append(text, bytes);
        bytes.append("\r\n");
    };
    line(G.WindowTitle);
    for (int n = 1; n <= 8; ++n) {
        QStringList nums;
        for (int k = 1; k <= 4; ++k)
            nums.append(number_text(G.FormPos(n, k)));
        line(nums.join(QStringLiteral(" , ")));
    }
    for (int i = 1; i <= 20; ++i)
        line(G.SavedSettings(i));
    QSaveFile f(path);
    // In a folder the user cannot write, the file itself is overwritten in place.
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly)) return;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return;
    }
    QString why;
    commit_save_file(f, why);
}

void search_options(int16_t code, SearchControls& o) {
    if (code == -1) {
        const auto b = [](bool v) { return v ? QStringLiteral("True") : QStringLiteral("False"); };
        const auto digit = [](int16_t v) {
            return QString(QChar(char16_t(u'0' + (v < 0 || v > 9 ? 0 : v))));
        };
        G.SavedSettings(1) = b(o.Option2_1);
        G.SavedSettings(2) = b(o.Option2_2);
        G.SavedSettings(3) = b(o.Option4_1);
        G.SavedSettings(4) = b(o.Option4_2);
        G.SavedSettings(5) = digit(o.Check1);
        G.SavedSettings(6) = digit(o.Check2);
        G.SavedSettings(7) = digit(o.Check3);
        G.SavedSettings(8) = digit(o.Check4);
        G.SavedSettings(9) = digit(o.Check5);
    } else if (code == 1) {
        const SearchControls d;
        SearchControls n;
        if (!read_bool(G.SavedSettings(1), n.Option2_1)) n.Option2_1 = d.Option2_1;
        if (!read_bool(G.SavedSettings(2), n.Option2_2)) n.Option2_2 = d.Option2_2;
        if (!read_bool(G.SavedSettings(3), n.Option4_1)) n.Option4_1 = d.Option4_1;
        if (!read_bool(G.SavedSettings(4), n.Option4_2)) n.Option4_2 = d.Option4_2;
        // Option buttons of one frame exclude each other: selecting the second one
        // clears the first.
        if (n.Option2_1 && n.Option2_2) n.Option2_1 = false;
        if (n.Option4_1 && n.Option4_2) n.Option4_1 = false;
        int16_t* checks[5] = {&n.Check1, &n.Check2, &n.Check3, &n.Check4, &n.Check5};
        const int16_t defaults[5] = {d.Check1, d.Check2, d.Check3, d.Check4, d.Check5};
        for (int i = 0; i < 5; ++i)
            if (!read_check(G.SavedSettings(5 + i), *checks[i])) *checks[i] = defaults[i];
        o = n;
        G.HeaderOnlySearch = o.Check5;
    }
}
