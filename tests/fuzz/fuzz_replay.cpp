// SPDX-License-Identifier: GPL-3.0-or-later
// The plain build of a fuzz target: feeds it each file named on the command line, and every
// file of each directory named, in name order.
#include "fuzz_support.h"
#include <QDir>
#include <QFile>

int main(int argc, char** argv) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QDir d(arg);
        for (const QString& name : d.entryList(QDir::Files, QDir::Name))
            files << d.filePath(name);
        if (!d.exists()) files << arg;
    }
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) fuzz_fail("cannot read", path);
        const QByteArray bytes = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               size_t(bytes.size()));
    }
    return files.isEmpty() ? 1 : 0;
}
