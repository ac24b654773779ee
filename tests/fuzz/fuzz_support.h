// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share. Each target defines LLVMFuzzerTestOneInput; built with
// libFuzzer it is driven by the fuzzer, otherwise replay_main (fuzz_replay.cpp) feeds it
// every file of the corpus, so the suite replays the corpus without clang.
#include "core/seam.h"
#include "search/search_options.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Answers every message with OK and keeps the texts; terminate() must never be reached
// from a reader.
struct QuietSeam : Seam {
    QStringList messages;
    int16_t message(const QString& text, bool yesNo) override {
        messages << text;
        return yesNo ? AnswerNo : AnswerOk;
    }
    [[noreturn]] void terminate() override { std::abort(); }
};

// A file in a directory of this process, rewritten for each input (the readers take paths).
QString scratch_file(const QString& name, const QByteArray& bytes);

// A broken invariant: says which and aborts, so the fuzzer keeps the input.
[[noreturn]] void fuzz_fail(const char* what, const QString& detail = QString());
#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond)) fuzz_fail(#cond, detail);                                                     \
    } while (0)

// One string search as the search screen runs it, on the catalogue and capacities G holds,
// scanned by one thread or split into parts of `partSize` bytes over the threads: every
// message, the result lines ("kind text"), the blocks read and their header fields, and the
// parent lines left in G.DirPaths.
struct SearchOutcome {
    QStringList messages, results, headers, parents;
    int blocks = 0;
    bool operator==(const SearchOutcome&) const = default;
};
SearchOutcome search_outcome(const QString (&words)[3], int preset, const SearchOptions& options,
                             bool split, qsizetype partSize);
