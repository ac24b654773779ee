#include "fuzz_support.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QString scratchDir;
}

QString scratch_file(const QString& name, const QByteArray& bytes) {
    // /dev/shm when there is one: the fuzzer rewrites these files millions of times.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/tobrin-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tobrin-fuzz-XXXXXX"));
    scratchDir = dir.path();
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fuzz_fail("scratch file not written", path);
    return path;
}

void fuzz_fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "broken: %s\n%s\n", what, detail.toLocal8Bit().constData());
    std::fflush(stderr);
    if (!scratchDir.isEmpty()) QDir(scratchDir).removeRecursively();
    std::abort();
}
