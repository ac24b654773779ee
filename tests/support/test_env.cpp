// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_env.h"
#include "core/codepage.h"
#include "core/state.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

void fresh_state() {
    reset_state();
}

void write_cp932_file(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& l : lines)
        encode_cp932_append(l + QStringLiteral("\r\n"), bytes);
    write_bytes(path, bytes);
}

QByteArray read_bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_bytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

void make_dirs(const QString& root, const QStringList& relativeDirs) {
    for (const QString& d : relativeDirs)
        QDir(root).mkpath(d);
}

void touch(const QString& path, const QByteArray& content) {
    write_bytes(path, content);
}

QStringList result_lines() {
    QStringList l;
    for (int i = 1; i <= G.ResultLineCount; ++i)
        l << QString::number(G.ResultLineKinds(i)) + u' ' + G.ResultLines(i);
    return l;
}
