// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the screen benchmarks share: the desktop program's start-up, with messages on
// stderr answered at once instead of in boxes nobody is there to click.
#include "app/screen_table.h"
#include "catalogue/writer.h"
#include "core/startup.h"
#include "core/state.h"
#include "ui/fonts.h"
#include "ui/gui_seam.h"
#include <cstdio>

class BenchSeam : public GuiSeam {
  public:
    int16_t message(const QString& text, bool yesNo) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return yesNo ? AnswerNo : AnswerOk;
    }
};

// Starts as the desktop program does on configuration `cfg`, without the beeps.
inline void start_gui_bench(const char* cfg) {
    static BenchSeam seam;
    install_font_substitutions();
    set_seam(&seam);
    startup(QString::fromLocal8Bit(cfg));
    settle_at_startup();
    register_standard_screens();
    G.BeepEnabled = 0;
}
