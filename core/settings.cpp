// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"
#include "core/codepage.h"
#include "core/number.h"
#include "core/paths.h"
#include "core/platform.h"
#include "core/save_file.h"
#include "core/state.h"
#include "core/text_file.h"
#include <QDir>
#include <QSaveFile>

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
    double d = 0;
    int32_t n = 0;
    if (!whole_number(field, d) || !round_into(d, -32768, 32767, n)) return false;
    out = static_cast<int16_t>(n);
    return true;
}

// " 0 " for 0, "-5 " for -5: the list-printing format.
QString number_text(int16_t n) {
    return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n) + QStringLiteral(" ");
}

// The 29 lines the reader needs (fewer when the file is shorter); whatever follows them
// is never read.
bool read_head(ByteLineReader& in, QStringList& lines) {
    in.set_line_limit(MaxTextLineBytes);
    QByteArrayView bytes;
    while (lines.size() < 29 && in.next(bytes))
        lines.append(decode_cp932(bytes));
    return !in.failed();
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

// Any failure gives the full defaults.
void load_from(ByteLineReader& in, bool opened, int16_t& code) {
    QStringList lines;
    if (opened && read_head(in, lines) && apply(lines)) return;
    int16_t result = 0;
    set_default_settings(result);
    code = 1;
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
    ByteLineReader in;
    const bool opened = in.open(to_local_file(G.IniFilePath));
    load_from(in, opened, code);
}

void load_settings_bytes(const QByteArray& bytes, int16_t& code) {
    ByteLineReader in;
    in.open_bytes(bytes);
    load_from(in, true, code);
}

QByteArray settings_bytes() {
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
    return bytes;
}

void save_settings() {
    const QString path = to_local_file(G.IniFilePath);
    // A link stands for the file it names; only a writable regular file is replaced.
    const int attr = file_attributes(path);
    if (attr >= 0 && (attr & (AttrReadOnly | AttrDirectory | AttrSystem))) return;
    const QByteArray bytes = settings_bytes();
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
