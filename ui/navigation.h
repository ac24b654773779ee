// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Screens by code: each screen registers a factory, and every navigation goes through
// open_screen, so a screen can open another it knows only by its code (menu1 opens the
// search screen, header_disp the directory viewer) without including it.
#include <cstdint>
#include <functional>

class ScreenWindow;
using ScreenFactory = std::function<ScreenWindow*()>;

// Installs (or replaces) the factory of a screen code.
void register_screen(int16_t code, ScreenFactory factory);
// The loaded instance of a screen, or nullptr.
ScreenWindow* screen_instance(int16_t code);
// The instance, created (not loaded, not shown) when there is none; nullptr for a code
// without a factory.
ScreenWindow* ensure_screen(int16_t code);
// Loads screen `code` (created when needed) and returns it; an already loaded screen is
// only raised.
ScreenWindow* open_screen(int16_t code);

// Book-keeping of ScreenWindow (at most one instance per code).
void note_screen_created(ScreenWindow* w);
void note_screen_gone(ScreenWindow* w);
