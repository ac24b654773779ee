// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screens of the desktop program by screen code, registered once before the first
// open_screen. A new screen adds its line to screen_table.cpp; the screens that open it
// need only its code.
void register_standard_screens();
