// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_support.h"
#include "core/state.h"
#include "search/read_data.h"
#include "search/search_run.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <limits>

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

SearchOutcome search_outcome(const QString (&words)[3], int preset, const SearchOptions& options,
                             bool split, qsizetype partSize) {
    ScanParallelFrom = split ? 0 : std::numeric_limits<qint64>::max();
    // Below two threads the scan takes the single path: a one-CPU machine splits too.
    QThreadPool::globalInstance()->setMaxThreadCount(split ? 4 : QThread::idealThreadCount());
    ScanPartSize = partSize;
    QuietSeam s;
    set_seam(&s);
    SearchDisplay d;
    run_string_search(words, preset, options, d);
    set_seam(nullptr);
    SearchOutcome out;
    out.messages = s.messages;
    for (int i = 1; i <= G.ResultLineCount; ++i)
        out.results << QString::number(G.ResultLineKinds(i)) + u' ' + G.ResultLines(i);
    out.blocks = G.HeaderBlockCount;
    for (int b = 1; b <= G.HeaderBlockCount; ++b)
        for (int f = 1; f <= 10; ++f)
            out.headers << G.HeaderTable(b, f);
    for (int p = 1; p <= G.DirCount; ++p)
        out.parents << G.DirPaths(p);
    return out;
}
