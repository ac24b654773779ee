// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faults a test cannot cause in its own process: a forked child runs the code under a file-size
// limit or as an unprivileged user, and reports through its exit code.
#include <QString>
#include <functional>

// Exit code a child uses when it could not set up its fault (the test is then skipped).
constexpr int ChildCannotSetUp = 77;

// Runs `body` in a forked child and returns its exit code (128 + the signal when killed). With
// `fileSizeLimit` of 0 or more, the child's writes beyond that many bytes of a file fail with
// EFBIG: a full disk for every user.
int run_in_child(const std::function<int()>& body, qint64 fileSizeLimit = -1);

// Writes beyond `bytes` per file fail with EFBIG (SIGXFSZ ignored) inside the child.
void limit_file_size(qint64 bytes);

// In a child that runs as root: becomes nobody, for whom permissions hold.
bool drop_root();
