// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share. Each defines LLVMFuzzerTestOneInput: libFuzzer drives it in the
// fuzz build, fuzz_replay.cpp feeds it the seed corpus in the plain one.
#include "core/seam.h"
#include "search/search_options.h"
#include <QByteArray>
#include <QStringList>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Answers every message with OK (No to a question) and keeps the texts.
struct QuietSeam : Seam {
    QStringList messages;
    int16_t message(const QString& text, bool yesNo) override {
        messages << text;
        return yesNo ? AnswerNo : AnswerOk;
    }
    [[noreturn]] void terminate() override { std::abort(); }
};

// A broken invariant: says which and aborts, so that the fuzzer keeps the input.
[[noreturn]] void fuzz_fail(const char* what, const QString& detail = QString());
#define FUZZ_CHECK(cond, detail) ((cond) ? void() : fuzz_fail(#cond, detail))

// One string search as the search screen runs it, on the catalogue and capacities G holds,
// scanned by one thread or split into parts of `partSize` bytes over two threads: every
// message, the result lines ("kind text"), the header fields of the blocks read, and the
// parent lines left in G.DirPaths.
struct SearchOutcome {
    QStringList messages, results, headers, parents;
    int blocks = 0;
    bool operator==(const SearchOutcome&) const = default;
};
SearchOutcome search_outcome(const QString (&words)[3], int preset, const SearchOptions& options,
                             bool split, qsizetype partSize);
