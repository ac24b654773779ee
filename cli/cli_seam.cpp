// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_seam.h"
#include <cstdio>
#include <cstdlib>

int16_t CliSeam::message(const QString& text, bool yesNo) {
    ++messagesShown;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::fprintf(stderr, "%s\n", t.toUtf8().constData());
    std::fflush(stderr);
    if (!yesNo) return AnswerOk;
    return answerYes_ ? AnswerYes : AnswerNo;
}

void CliSeam::terminate() {
    std::fflush(stdout);
    std::exit(1);
}
