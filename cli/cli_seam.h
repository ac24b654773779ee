// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam for tobrin-cli: messages go to stderr as their text; questions are answered
// Yes only when the command says so (there is nobody to ask).
#include "core/seam.h"

class CliSeam : public Seam {
public:
    explicit CliSeam(bool answerYes = false) : answerYes_(answerYes) {}
    int16_t message(const QString& text, bool yesNo) override;
    [[noreturn]] void terminate() override;
    int messagesShown = 0;

private:
    bool answerYes_;
};
