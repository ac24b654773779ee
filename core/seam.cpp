// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/seam.h"
#include <cstdlib>

namespace {
// Before a seam is installed (or in a tool that never shows anything) messages are lost
// and questions answered No: nothing irreversible happens by default.
class SilentSeam : public Seam {
  public:
    int16_t message(const QString&, bool yesNo) override { return yesNo ? AnswerNo : AnswerOk; }
    [[noreturn]] void terminate() override { std::exit(0); }
};
SilentSeam silentSeam;
Seam* current = &silentSeam;
PendingProgress* innermost = nullptr;
} // namespace

PendingProgress::PendingProgress(std::function<void()> write)
    : write_(std::move(write)), outer_(innermost) {
    innermost = this;
}

PendingProgress::~PendingProgress() {
    innermost = outer_;
}

void PendingProgress::write_current() {
    if (innermost) innermost->write_();
}

Seam& seam() {
    return *current;
}
void set_seam(Seam* s) {
    current = s ? s : &silentSeam;
}
