// SPDX-License-Identifier: GPL-3.0-or-later
// The plain build of a fuzz target: feeds it each file named on the command line, and
// every file of each directory named, in name order.
#include "fuzz_support.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

int main(int argc, char** argv) {
    int inputs = 0;
    auto run = [&](const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            std::exit(2);
        }
        const QByteArray bytes = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               size_t(bytes.size()));
        ++inputs;
    };
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            const QDir d(arg);
            for (const QString& name : d.entryList(QDir::Files, QDir::Name))
                run(d.filePath(name));
        } else {
            run(arg);
        }
    }
    if (inputs == 0) {
        std::fprintf(stderr, "no input replayed\n");
        return 1;
    }
    std::printf("%d inputs replayed\n", inputs);
    return 0;
}
