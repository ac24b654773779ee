#pragma once
// set_screen: fonts and stored geometry of a screen on load (codes 1..8), its top and
// left recorded on leave (-1..-8), and the settings file (100 load, 200 save).
#include <cstdint>

void set_screen(int16_t& code);
