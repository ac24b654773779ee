// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// set_screen: fonts and stored geometry of a screen on load (codes 1..8), its top and
// left recorded on leave (-1..-8), and the settings file (100 load, 200 save).
#include <QStringList>
#include <cstdint>

void set_screen(int16_t& code);

// The controls (by object name) of screen `code` that take the configured font size, and
// those that take the small size (a name in both takes the small one).
struct ScreenFonts {
    QStringList normal;
    QStringList small;
};
ScreenFonts screen_fonts(int code);
